<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_US">
<context>
    <name>Axes</name>
    <message>
        <source>Выборки</source>
        <translation>Samples</translation>
    </message>
    <message>
        <source>единицы АЦП</source>
        <translation>ADC units</translation>
    </message>
    <message>
        <source>Время, мкс</source>
        <translation>Time, µs</translation>
    </message>
    <message>
        <source>Время, мс</source>
        <translation>Time, ms</translation>
    </message>
    <message>
        <source>Время, с</source>
        <translation>Time, s</translation>
    </message>
    <message>
        <source>Ускорение, см/с/c</source>
        <translation>Acceleration, cm/s/s</translation>
    </message>
</context>
<context>
    <name>Board</name>
    <message>
        <source>ПЕРЕДАЧА МАССИВА, %1с</source>
        <translation>DATA TRANSFER, %1 s</translation>
    </message>
    <message>
        <source>Передача данных %1%</source>
        <translation>Data transfer %1%</translation>
    </message>
    <message>
        <source>Построение графика</source>
        <translation>Drawing the chart</translation>
    </message>
</context>
<context>
    <name>FileError</name>
    <message>
        <source>Приложение открывает файлы *.d8c, записанные АЦП.</source>
        <translation>The program opens only *.d8c files written by the ADC.</translation>
    </message>
    <message>
        <source>Файл %1 не записан: не показан ни один канал.</source>
        <translation>File %1 not saved: no channel is shown.</translation>
    </message>
    <message>
        <source>Файл %1 не записан: частоту выборки измерения нельзя записать в звуковой файл WAV.</source>
        <translation>File %1 not saved: the measurement&apos;s sampling frequency cannot be written into a WAV sound file.</translation>
    </message>
    <message>
        <source>Файл %1 не записан: имя файла должно оканчиваться на .d8c, .txt, .csv, .h5, .mat, .npy или .wav (строчными буквами).</source>
        <translation>File %1 not saved: the file name must end in .d8c, .txt, .csv, .h5, .mat, .npy or .wav (lower case).</translation>
    </message>
    <message>
        <source>Файлы HDF5 и MATLAB не могут быть записаны: не загружается модуль %1 (%2).</source>
        <translation>HDF5 and MATLAB files cannot be written: the module %1 does not load (%2).</translation>
    </message>
</context>
<context>
    <name>Link</name>
    <message>
        <source>Пакетов %1, повторено %2 (ошибок суммы %3, обрывков %4, остановок %5); передача %6 с, по линии %7 с</source>
        <translation>Packets %1, asked again %2 (bad checksums %3, fragments %4, stalls %5); transfer %6 s, on the line %7 s</translation>
    </message>
    <message>
        <source>Плохая связь: повторено %1 из %2 пакетов</source>
        <translation>Poor link: %1 of %2 packets asked again</translation>
    </message>
</context>
<context>
    <name>QObject</name>
    <message>
        <source>Ошибка печати на принтере %1</source>
        <translation>Printing failed on printer %1</translation>
    </message>
    <message>
        <source>Недостаточно памяти</source>
        <translation>Out of memory</translation>
    </message>
    <message>
        <source>Неизвестная ошибка</source>
        <translation>Unknown error</translation>
    </message>
</context>
<context>
    <name>Sampling</name>
    <message>
        <source>Fвыборки,Гц=%1</source>
        <translation>Fsample, Hz=%1</translation>
    </message>
    <message>
        <source>Tизмерения,мc=%1</source>
        <translation>Tmeas, ms=%1</translation>
    </message>
    <message>
        <source>или %1 мин %2 c %3 мс</source>
        <translation>or %1 min %2 s %3 ms</translation>
    </message>
    <message>
        <source>Fвыборки, Гц&gt;%1</source>
        <translation>Fsample, Hz&gt;%1</translation>
    </message>
    <message>
        <source>Fвыборки, Гц&lt;%1</source>
        <translation>Fsample, Hz&lt;%1</translation>
    </message>
    <message>
        <source>Tизмерения, мс&gt;%1</source>
        <translation>Tmeas, ms&gt;%1</translation>
    </message>
    <message>
        <source>Tизмерения, мс&lt;%1</source>
        <translation>Tmeas, ms&lt;%1</translation>
    </message>
</context>
<context>
    <name>Series</name>
    <message>
        <source>Серия: %1 из %2</source>
        <translation>Series: %1 of %2</translation>
    </message>
    <message>
        <source>Серия: %1</source>
        <translation>Series: %1</translation>
    </message>
    <message>
        <source>Серия: %1 из %2, пуск через %3 с</source>
        <translation>Series: %1 of %2, start in %3 s</translation>
    </message>
    <message>
        <source>Серия: %1, пуск через %2 с</source>
        <translation>Series: %1, start in %2 s</translation>
    </message>
    <message>
        <source>Серия остановлена: снято измерений %1 из %2, все они сохранены.</source>
        <translation>Series stopped: %1 of %2 measurements taken, every one of them kept.</translation>
    </message>
    <message>
        <source>Серия остановлена: снято измерений %1, все они сохранены.</source>
        <translation>Series stopped: %1 measurements taken, every one of them kept.</translation>
    </message>
</context>
<context>
    <name>Spectrum</name>
    <message>
        <source>F,Гц=%1;  Max=%2</source>
        <translation>F, Hz=%1;  Max=%2</translation>
    </message>
</context>
<context>
    <name>zarvik::AnalysisActions</name>
    <message>
        <source>Должен быть показан хотя бы один график!</source>
        <translation>At least one channel must be shown!</translation>
    </message>
</context>
<context>
    <name>zarvik::ChartPanel</name>
    <message>
        <source>График</source>
        <translation>Chart</translation>
    </message>
    <message>
        <source>Оси графика</source>
        <translation>Chart axes</translation>
    </message>
    <message>
        <source>ось Y:        ось X:</source>
        <translation>Y axis:          X axis:</translation>
    </message>
    <message>
        <source>ЗНАЧЕНИЯ, ВРЕМЯ</source>
        <translation>VALUES,      TIME</translation>
    </message>
    <message>
        <source>ед.АЦП,      ВЫБОРКИ</source>
        <translation>ADC units,  SAMPLES</translation>
    </message>
    <message>
        <source>ЗНАЧЕНИЯ, ВЫБОРКИ</source>
        <translation>VALUES,      SAMPLES</translation>
    </message>
    <message>
        <source>ед.АЦП,      ВРЕМЯ</source>
        <translation>ADC units,  TIME</translation>
    </message>
    <message>
        <source>Интегрирование</source>
        <translation>Smoothing</translation>
    </message>
    <message>
        <source>выполнить</source>
        <translation>on</translation>
    </message>
    <message>
        <source>по</source>
        <translation>over</translation>
    </message>
    <message>
        <source>точкам</source>
        <translation>points</translation>
    </message>
    <message>
        <source>Нулевые уровни</source>
        <translation>Zero levels</translation>
    </message>
    <message>
        <source>Вычислить для выбранных каналов</source>
        <translation>Measure for the selected channels</translation>
    </message>
    <message>
        <source>восстанавливать параметры</source>
        <translation>restore the settings</translation>
    </message>
    <message>
        <source>Восстановить выбранные каналы, Fвыборки, параметры интегрирования...</source>
        <translation>Restore the selected channels, Fsample, smoothing settings...</translation>
    </message>
    <message>
        <source>Смещение в ед.АЦП (данные    для файла scales.scl)</source>
        <translation>Offset in ADC units (data for the file scales.scl)</translation>
    </message>
    <message>
        <source>Канал %1=0</source>
        <translation>Channel %1=0</translation>
    </message>
    <message>
        <source>Сохранить в файл scales.scl</source>
        <translation>Save to scales.scl</translation>
    </message>
    <message>
        <source>Загрузить файл scales.scl</source>
        <translation>Load scales.scl</translation>
    </message>
    <message>
        <source>Курсоры и опорные файлы</source>
        <translation>Cursors and references</translation>
    </message>
    <message>
        <source>Курсоры (F8)</source>
        <translation>Cursors (F8)</translation>
    </message>
    <message>
        <source>Два курсора на графике и таблица значений между ними</source>
        <translation>Two cursors on the chart and a table of the values between them</translation>
    </message>
    <message>
        <source>Наложить файл…</source>
        <translation>Overlay file…</translation>
    </message>
    <message>
        <source>Наложить на график опорный файл данных (до трёх)</source>
        <translation>Overlay a reference data file on the chart (up to three)</translation>
    </message>
    <message>
        <source>Убрать</source>
        <translation>Remove</translation>
    </message>
</context>
<context>
    <name>zarvik::ChartView</name>
    <message>
        <source>Недостаточно памяти для построения графика</source>
        <translation>Not enough memory to draw the chart</translation>
    </message>
    <message>
        <source>Выполняется построение графика</source>
        <translation>Drawing the chart</translation>
    </message>
    <message>
        <source>Сглаживание по </source>
        <translation>Smoothing over </translation>
    </message>
    <message>
        <source> точкам</source>
        <translation> points</translation>
    </message>
</context>
<context>
    <name>zarvik::ClipboardPrint</name>
    <message>
        <source>Копировать график в формате Windows MetaFile в буфер обмена</source>
        <translation>Copy the chart to the clipboard as a Windows metafile</translation>
    </message>
    <message>
        <source>Копировать</source>
        <translation>Copy</translation>
    </message>
    <message>
        <source>Принтер по умолчанию не установлен</source>
        <translation>No default printer is set up</translation>
    </message>
</context>
<context>
    <name>zarvik::CommentBrowser</name>
    <message>
        <source>Для открытия файла выполните двойной щелчок по любому слову в комментарии, относящемся к выбираемому файлу:</source>
        <translation>To open a file, double-click any word of its comment:</translation>
    </message>
    <message>
        <source>ИСКАТЬ </source>
        <translation>FIND </translation>
    </message>
    <message>
        <source>регистр</source>
        <translation>match case</translation>
    </message>
    <message>
        <source>Поиск</source>
        <translation>Search</translation>
    </message>
    <message>
        <source>Открыть файл</source>
        <translation>Open file</translation>
    </message>
    <message>
        <source>Папка</source>
        <translation>Folder</translation>
    </message>
    <message>
        <source>Отменить</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>Выберите путь, содержащий файлы </source>
        <translation>Choose the folder with the files </translation>
    </message>
</context>
<context>
    <name>zarvik::CursorTable</name>
    <message>
        <source>с опорным</source>
        <translation>with reference</translation>
    </message>
    <message>
        <source>Строки наложенных файлов под строками каналов</source>
        <translation>Rows of the overlaid files under the rows of the channels</translation>
    </message>
    <message>
        <source>Копировать</source>
        <translation>Copy</translation>
    </message>
    <message>
        <source>Копировать таблицу в буфер обмена</source>
        <translation>Copy the table to the clipboard</translation>
    </message>
    <message>
        <source>Канал</source>
        <translation>Channel</translation>
    </message>
    <message>
        <source>точек</source>
        <translation>points</translation>
    </message>
    <message>
        <source>мин</source>
        <translation>min</translation>
    </message>
    <message>
        <source>макс</source>
        <translation>max</translation>
    </message>
    <message>
        <source>размах</source>
        <translation>p-p</translation>
    </message>
    <message>
        <source>среднее</source>
        <translation>mean</translation>
    </message>
    <message>
        <source>СКЗ</source>
        <translation>RMS</translation>
    </message>
    <message>
        <source>СКО</source>
        <translation>std</translation>
    </message>
    <message>
        <source>мкс</source>
        <translation>µs</translation>
    </message>
    <message>
        <source>мс</source>
        <translation>ms</translation>
    </message>
    <message>
        <source>с</source>
        <translation>s</translation>
    </message>
    <message>
        <source>Гц</source>
        <translation>Hz</translation>
    </message>
    <message>
        <source>точек: %1</source>
        <translation>points: %1</translation>
    </message>
</context>
<context>
    <name>zarvik::DataFileHandlers</name>
    <message>
        <source>ФАЙЛ </source>
        <translation>FILE </translation>
    </message>
    <message>
        <source>Fвыборки=</source>
        <translation>Fsample=</translation>
    </message>
    <message>
        <source>Файл %1 не может быть открыт: массив данных %2 байт больше допустимых %3 байт.</source>
        <translation>File %1 cannot be opened: its data block of %2 bytes exceeds the limit of %3 bytes.</translation>
    </message>
    <message>
        <source>Файл HDF5</source>
        <translation>HDF5 file</translation>
    </message>
    <message>
        <source>Файл MATLAB</source>
        <translation>MATLAB file</translation>
    </message>
    <message>
        <source>Массив NumPy</source>
        <translation>NumPy array</translation>
    </message>
    <message>
        <source>Звуковой файл WAV</source>
        <translation>WAV sound file</translation>
    </message>
</context>
<context>
    <name>zarvik::FTPanel</name>
    <message>
        <source>Частота выборки / Время измерения</source>
        <translation>Sampling frequency / Measurement time</translation>
    </message>
    <message>
        <source>Отобразить КАНАЛЫ</source>
        <translation>Show CHANNELS</translation>
    </message>
    <message>
        <source>Fвыборки, Гц</source>
        <translation>Fsample, Hz</translation>
    </message>
    <message>
        <source>Частота выборки сигналов</source>
        <translation>Sampling frequency per channel</translation>
    </message>
    <message>
        <source>Тизмерения, мс</source>
        <translation>Tmeas, ms</translation>
    </message>
    <message>
        <source>Время измерения</source>
        <translation>Measurement time</translation>
    </message>
    <message>
        <source>Число выборок в серии</source>
        <translation>Samples per run</translation>
    </message>
    <message>
        <source>От 30000 до 240000, шаг изменения 30000</source>
        <translation>From 30000 to 240000 in steps of 30000</translation>
    </message>
    <message>
        <source>ПУСК ИЗМЕРЕНИЯ</source>
        <translation>START</translation>
    </message>
    <message>
        <source>ИСТИННЫЕ ЗНАЧЕНИЯ:</source>
        <translation>ACTUAL VALUES:</translation>
    </message>
    <message>
        <source>Серия измерений</source>
        <translation>Series of measurements</translation>
    </message>
    <message>
        <source>Измерений</source>
        <translation>Measurements</translation>
    </message>
    <message>
        <source>до остановки</source>
        <translation>until stopped</translation>
    </message>
    <message>
        <source>Число измерений серии, 0 - до остановки</source>
        <translation>Measurements in the series, 0: until stopped</translation>
    </message>
    <message>
        <source>Пауза, с</source>
        <translation>Pause, s</translation>
    </message>
    <message>
        <source>Пауза от конца передачи до следующего пуска, до 24 часов</source>
        <translation>Pause from the end of a transfer to the next start, up to 24 hours</translation>
    </message>
    <message>
        <source>Папка...</source>
        <translation>Folder...</translation>
    </message>
    <message>
        <source>Папка, в которую сохраняется каждое измерение серии</source>
        <translation>The folder each measurement of the series is saved in</translation>
    </message>
    <message>
        <source>имя файлов</source>
        <translation>file name</translation>
    </message>
    <message>
        <source>Файлы серии: ИМЯ_0001.d8c, ИМЯ_0002.d8c...</source>
        <translation>Files of the series: NAME_0001.d8c, NAME_0002.d8c...</translation>
    </message>
    <message>
        <source>Серия</source>
        <translation>Series</translation>
    </message>
    <message>
        <source>Запуск серии измерений с текущими параметрами</source>
        <translation>Start a series of measurements with the current settings</translation>
    </message>
</context>
<context>
    <name>zarvik::FolderWalk</name>
    <message>
        <source>ФАЙЛ </source>
        <translation>FILE </translation>
    </message>
    <message>
        <source>Больше нет файлов</source>
        <translation>No more files</translation>
    </message>
</context>
<context>
    <name>zarvik::HelpViewer</name>
    <message>
        <source>Справка</source>
        <translation>Help</translation>
    </message>
    <message>
        <source>Назад</source>
        <translation>Back</translation>
    </message>
    <message>
        <source>Вперёд</source>
        <translation>Forward</translation>
    </message>
    <message>
        <source>Содержание</source>
        <translation>Contents</translation>
    </message>
</context>
<context>
    <name>zarvik::HistoryModel</name>
    <message>
        <source>(нулевые уровни) </source>
        <translation>(zero levels) </translation>
    </message>
    <message>
        <source>(серия %1 из %2) </source>
        <translation>(series %1 of %2) </translation>
    </message>
    <message>
        <source>(серия %1) </source>
        <translation>(series %1) </translation>
    </message>
    <message>
        <source>Закреплённое измерение не удаляется, когда журнал занимает всё отведённое ему место</source>
        <translation>A pinned measurement is never removed when the history has taken all the space allowed to it</translation>
    </message>
    <message>
        <source>Дата и время</source>
        <translation>Date and time</translation>
    </message>
    <message>
        <source>Каналы</source>
        <translation>Channels</translation>
    </message>
    <message>
        <source>F, Гц</source>
        <translation>F, Hz</translation>
    </message>
    <message>
        <source>Выборок</source>
        <translation>Samples</translation>
    </message>
    <message>
        <source>Длительность, с</source>
        <translation>Duration, s</translation>
    </message>
    <message>
        <source>Комментарий</source>
        <translation>Comment</translation>
    </message>
    <message>
        <source>Сохранено как</source>
        <translation>Saved as</translation>
    </message>
</context>
<context>
    <name>zarvik::HistoryWindow</name>
    <message>
        <source>Журнал измерений</source>
        <translation>Measurement history</translation>
    </message>
    <message>
        <source>Найти в комментариях:</source>
        <translation>Find in comments:</translation>
    </message>
    <message>
        <source>Открыть</source>
        <translation>Open</translation>
    </message>
    <message>
        <source>Закрепить</source>
        <translation>Pin</translation>
    </message>
    <message>
        <source>Удалить</source>
        <translation>Delete</translation>
    </message>
    <message>
        <source>Предыдущее</source>
        <translation>Previous</translation>
    </message>
    <message>
        <source>Следующее</source>
        <translation>Next</translation>
    </message>
    <message>
        <source>Папка журнала</source>
        <translation>History folder</translation>
    </message>
    <message>
        <source>Закрыть</source>
        <translation>Close</translation>
    </message>
    <message>
        <source>Открепить</source>
        <translation>Unpin</translation>
    </message>
    <message>
        <source>Открыть измерение, сделанное раньше выбранного</source>
        <translation>Open the measurement taken before the selected one</translation>
    </message>
    <message>
        <source>Открыть измерение, сделанное позже выбранного</source>
        <translation>Open the measurement taken after the selected one</translation>
    </message>
    <message>
        <source>Закреплённое измерение не удаляется, когда журнал занимает всё отведённое ему место</source>
        <translation>A pinned measurement is never removed when the history has taken all the space allowed to it</translation>
    </message>
    <message>
        <source>Измерение %1 закреплено. </source>
        <translation>The measurement %1 is pinned. </translation>
    </message>
    <message>
        <source>Удалить измерение %1 из журнала? Его файл будет удалён с диска.</source>
        <translation>Delete the measurement %1 from the history? Its file will be deleted from the disk.</translation>
    </message>
    <message>
        <source>Измерений: %1. Занято %2 МБ из %3 МБ.</source>
        <translation>Measurements: %1. %2 MB used of %3 MB.</translation>
    </message>
    <message>
        <source>Журнал читается...</source>
        <translation>Reading the history...</translation>
    </message>
</context>
<context>
    <name>zarvik::LinkSupervisor</name>
    <message>
        <source>USB-устройство в реестре не обнаружено</source>
        <translation>The USB device was not found in the system</translation>
    </message>
    <message>
        <source>Если необходимо выполнить измерения, подключите АЦП. Для просмотра записанных файлов подключение АЦП не обязательно.</source>
        <translation>Connect the ADC to take measurements. Saved files can be viewed without it.</translation>
    </message>
    <message>
        <source>USB: нет связи</source>
        <translation>USB: no link</translation>
    </message>
    <message>
        <source>USB: Связь установлена</source>
        <translation>USB: connected</translation>
    </message>
    <message>
        <source>Для восстановления связи просто подключите устройство</source>
        <translation>To restore the link, just plug the device in</translation>
    </message>
    <message>
        <source>Проверьте кабель USB. Программа ищет АЦП по коду USB %1 (имена %2 и /dev/serial/by-id/…); другой порт можно указать в переменной окружения ZARVIK_PORT.</source>
        <translation>Check the USB cable. The program looks for the ADC by its USB code %1 (names %2 and /dev/serial/by-id/…); another port can be named in the environment variable ZARVIK_PORT.</translation>
    </message>
    <message>
        <source>Проверьте права на этот файл устройства: ls -l %1</source>
        <translation>Check the permissions of this device file: ls -l %1</translation>
    </message>
    <message>
        <source>Права порта не позволяют открыть его обычному пользователю (группа «%1»). Установите правило udev, затем выполните «sudo udevadm control --reload-rules» и переподключите АЦП.</source>
        <translation>The port&apos;s permissions do not let an ordinary user open it (group “%1”). Install the udev rule, then run “sudo udevadm control --reload-rules” and plug the ADC in again.</translation>
    </message>
    <message>
        <source>Пользователь %1 входит в группу «%2», которой порт открыт; доступ запрещён чем-то другим (списки ACL, политика безопасности). Проверьте: ls -l %3</source>
        <translation>User %1 is in the group “%2”, which may open the port; something else denies access (ACLs, a security policy). Check: ls -l %3</translation>
    </message>
    <message>
        <source>Пользователь %1 уже внесён в группу «%2», но этот сеанс начат раньше. Выйдите из системы и войдите снова.</source>
        <translation>User %1 has been added to the group “%2”, but this session began earlier. Log out and log in again.</translation>
    </message>
    <message>
        <source>Порт принадлежит группе «%1», а пользователь %2 в неё не входит. Добавьте его в группу командой

    sudo usermod -aG %1 %2

и войдите в систему заново.</source>
        <translation>The port belongs to the group “%1”, and user %2 is not in it. Add the user to the group with

    sudo usermod -aG %1 %2

and log in again.</translation>
    </message>
    <message>
        <source>Нет доступа к порту АЦП %1: %2.</source>
        <translation>No access to the ADC port %1: %2.</translation>
    </message>
    <message>
        <source>Правило udev %1 (входит в пакет программы; без пакета его копируют в /etc/udev/rules.d) отдаёт порт АЦП группе «dialout» с правами 0660 и даёт ему постоянное имя %2.</source>
        <translation>The udev rule %1 (part of the program&apos;s package; without the package, copy it to /etc/udev/rules.d) gives the ADC port to the group “dialout” with mode 0660 and the stable name %2.</translation>
    </message>
    <message>
        <source>USB: нет доступа к порту</source>
        <translation>USB: no access to the port</translation>
    </message>
</context>
<context>
    <name>zarvik::LinkView</name>
    <message>
        <source>Связь</source>
        <translation>Link</translation>
    </message>
    <message>
        <source>Последняя передача</source>
        <translation>Last transfer</translation>
    </message>
    <message>
        <source>С начала работы</source>
        <translation>Since start</translation>
    </message>
    <message>
        <source>Передач</source>
        <translation>Transfers</translation>
    </message>
    <message>
        <source>Пакетов принято</source>
        <translation>Packets received</translation>
    </message>
    <message>
        <source>Повторено пакетов (r)</source>
        <translation>Packets asked again (r)</translation>
    </message>
    <message>
        <source>Ошибок контрольной суммы</source>
        <translation>Bad checksums</translation>
    </message>
    <message>
        <source>Обрывков отброшено</source>
        <translation>Fragments dropped</translation>
    </message>
    <message>
        <source>Остановок</source>
        <translation>Stalls</translation>
    </message>
    <message>
        <source>Время передачи, с</source>
        <translation>Transfer time, s</translation>
    </message>
    <message>
        <source>Время по линии, с</source>
        <translation>Line time, s</translation>
    </message>
    <message>
        <source>Переподключений</source>
        <translation>Reconnections</translation>
    </message>
</context>
<context>
    <name>zarvik::MeasurementCycle</name>
    <message>
        <source>Связь с платой АЦП прервалась во время измерения.</source>
        <translation>The link to the ADC board was lost during the measurement.</translation>
    </message>
    <message>
        <source>Передача массива прервана: получено пакетов %1 из %2. Массив остался в памяти платы АЦП: после восстановления связи его можно считать снова кнопкой &quot;Повтор чтения&quot;.</source>
        <translation>Data transfer interrupted: %1 of %2 packets received. The data are still in the ADC board&apos;s memory: once the link is back, read them again with &quot;Read again&quot;.</translation>
    </message>
    <message>
        <source>Нет связи с платой АЦП. Подключите АЦП к компьютеру и повторите.</source>
        <translation>No link to the ADC board. Connect the ADC to the computer and try again.</translation>
    </message>
    <message>
        <source>Должен быть выбран хотя бы один канал!</source>
        <translation>At least one channel must be selected!</translation>
    </message>
    <message>
        <source>Частота выборки %1 Гц не может быть задана плате АЦП: наименьшая частота - 225 Гц.</source>
        <translation>The ADC board cannot sample at %1 Hz: the lowest frequency is 225 Hz.</translation>
    </message>
    <message>
        <source>Выбор F/T</source>
        <translation>Set F/T</translation>
    </message>
    <message>
        <source>ОЖИДАНИЕ ПЕРЕДАЧИ ДАННЫХ</source>
        <translation>WAITING FOR DATA</translation>
    </message>
    <message>
        <source>ИЗМЕРЕНИЕ</source>
        <translation>MEASURING</translation>
    </message>
    <message>
        <source>Плата АЦП не сообщила об окончании измерения.</source>
        <translation>The ADC board did not report the end of the measurement.</translation>
    </message>
    <message>
        <source>Комментарий</source>
        <translation>Comment</translation>
    </message>
    <message>
        <source>Прежняя передача прервана</source>
        <translation>Previous transfer abandoned</translation>
    </message>
</context>
<context>
    <name>zarvik::MeasurementHistory</name>
    <message>
        <source>Журнал измерений занял отведённые ему %1 МБ: самые старые незакреплённые измерения удалены из него (%2). Измерения, которые нужно сохранить, закрепите в журнале или увеличьте его предел в панели &quot;Опции&quot;. До следующего запуска программы это сообщение больше не появится.</source>
        <translation>The measurement history has taken the %1 MB allowed to it: its oldest measurements that were not pinned have been removed (%2). Pin the measurements you want to keep in the history, or raise its limit on the &quot;Options&quot; panel. This message will not appear again until the program is started anew.</translation>
    </message>
    <message>
        <source>Журнал измерений не может писать в папку %1:
%2

Текущее измерение осталось в программе: сохраните его кнопкой &quot;Сохранить данные в файл&quot;. Освободите место на диске или дайте право записи в эту папку; другую папку журнала задаёт ключ Folder раздела [History] файла Zarvik.ini. До следующего запуска программы это сообщение больше не появится.</source>
        <translation>The measurement history cannot write to the folder %1:
%2

The current measurement is still in the program: save it with the &quot;Save the data to a file&quot; button. Free some space on the disk or allow writing to this folder; another history folder is set by the key Folder of the section [History] in Zarvik.ini. This message will not appear again until the program is started anew.</translation>
    </message>
</context>
<context>
    <name>zarvik::MeasurementSeries</name>
    <message>
        <source>Задайте имя файлов серии: без знаков \ / : * ? &quot; &lt; &gt; | и без точки или пробела в конце.</source>
        <translation>Give the series a file name without \ / : * ? &quot; &lt; &gt; | and without a dot or blank at its end.</translation>
    </message>
    <message>
        <source>Серия: остановка после этого измерения</source>
        <translation>Series: stops after this measurement</translation>
    </message>
    <message>
        <source>Стоп серии</source>
        <translation>Stop series</translation>
    </message>
    <message>
        <source>Серия</source>
        <translation>Series</translation>
    </message>
</context>
<context>
    <name>zarvik::OptionsPanel</name>
    <message>
        <source>Опции</source>
        <translation>Options</translation>
    </message>
    <message>
        <source>ЦВЕТ канала</source>
        <translation>Channel COLOUR</translation>
    </message>
    <message>
        <source>Ед.ВРЕМЕНИ</source>
        <translation>TIME units</translation>
    </message>
    <message>
        <source>мкс</source>
        <translation>µs</translation>
    </message>
    <message>
        <source>мс</source>
        <translation>ms</translation>
    </message>
    <message>
        <source>с</source>
        <translation>s</translation>
    </message>
    <message>
        <source>csv и txt файлы</source>
        <translation>csv and txt files</translation>
    </message>
    <message>
        <source>не сохранять</source>
        <translation>no X column</translation>
    </message>
    <message>
        <source>сохранять</source>
        <translation>with X column</translation>
    </message>
    <message>
        <source>HELP - файл</source>
        <translation>HELP</translation>
    </message>
    <message>
        <source>загружать</source>
        <translation>show</translation>
    </message>
    <message>
        <source>не загружать</source>
        <translation>do not show</translation>
    </message>
    <message>
        <source>при старте приложения</source>
        <translation>when the program starts</translation>
    </message>
    <message>
        <source>Дискретность изменения</source>
        <translation>Step size</translation>
    </message>
    <message>
        <source>Язык</source>
        <translation>Language</translation>
    </message>
    <message>
        <source>системный</source>
        <translation>system</translation>
    </message>
    <message>
        <source>Диапазон АЦП</source>
        <translation>ADC range</translation>
    </message>
    <message>
        <source>0...2,5В</source>
        <translation>0...2.5 V</translation>
    </message>
    <message>
        <source>0...5,0В</source>
        <translation>0...5.0 V</translation>
    </message>
    <message>
        <source>Журнал измерений</source>
        <translation>Measurement history</translation>
    </message>
    <message>
        <source>Не более, МБ</source>
        <translation>At most, MB</translation>
    </message>
</context>
<context>
    <name>zarvik::SamplingPanel</name>
    <message>
        <source>Выбор F/T</source>
        <translation>Set F/T</translation>
    </message>
    <message>
        <source>Закрыть</source>
        <translation>Close</translation>
    </message>
</context>
<context>
    <name>zarvik::StartModeButton</name>
    <message>
        <source>Внешний запуск: после нажатия кнопки ПУСК ИЗМЕРЕНИЯ должна сработать схема запуска, подключенная к плате АЦП</source>
        <translation>External start: after START the trigger circuit connected to the ADC board starts the measurement</translation>
    </message>
    <message>
        <source>Запуск по нажатию кнопки ПУСК ИЗМЕРЕНИЯ</source>
        <translation>Start on pressing START</translation>
    </message>
</context>
<context>
    <name>zarvik::TForm1</name>
    <message>
        <source>АЦП 12 бит 8 каналов</source>
        <translation>ADC 12 bit 8 channels</translation>
    </message>
    <message>
        <source>Щелкните по незанятой части окна для разворачивания/сворачивания окна</source>
        <translation>Click a free part of the window to maximise/restore it</translation>
    </message>
    <message>
        <source>Файл</source>
        <translation>File</translation>
    </message>
    <message>
        <source>Управление контроллером</source>
        <translation>Board control</translation>
    </message>
    <message>
        <source>Опции</source>
        <translation>Options</translation>
    </message>
    <message>
        <source>Сохранить данные в файл</source>
        <translation>Save the data to a file</translation>
    </message>
    <message>
        <source>Открыть файл данных</source>
        <translation>Open a data file</translation>
    </message>
    <message>
        <source>Копировать комментарий в буфер обмена</source>
        <translation>Copy the comment to the clipboard</translation>
    </message>
    <message>
        <source>Просмотреть комментарии ко всем  файлам в папке</source>
        <translation>Browse the comments of all files in the folder</translation>
    </message>
    <message>
        <source>Предыдущий файл в папке</source>
        <translation>Previous file in the folder</translation>
    </message>
    <message>
        <source>Следующий файл в папке</source>
        <translation>Next file in the folder</translation>
    </message>
    <message>
        <source>Печать графика</source>
        <translation>Print the chart</translation>
    </message>
    <message>
        <source>Подключить АЦП к компьютеру</source>
        <translation>Connect the ADC to the computer</translation>
    </message>
    <message>
        <source>Выбор F/T</source>
        <translation>Set F/T</translation>
    </message>
    <message>
        <source>Выбрать частоту выборки / время измерения</source>
        <translation>Choose the sampling frequency / measurement time</translation>
    </message>
    <message>
        <source>Закрыть</source>
        <translation>Close</translation>
    </message>
    <message>
        <source>ПУСК ИЗМЕРЕНИЯ</source>
        <translation>START</translation>
    </message>
    <message>
        <source>Запуск измерения</source>
        <translation>Start a measurement</translation>
    </message>
    <message>
        <source>Спектр</source>
        <translation>Spectrum</translation>
    </message>
    <message>
        <source>Построение спектра</source>
        <translation>Compute the spectrum</translation>
    </message>
    <message>
        <source>Тренд</source>
        <translation>Trend</translation>
    </message>
    <message>
        <source>Определение тренда</source>
        <translation>Fit a trend</translation>
    </message>
    <message>
        <source>График</source>
        <translation>Chart</translation>
    </message>
    <message>
        <source>Параметры графика</source>
        <translation>Chart settings</translation>
    </message>
    <message>
        <source>Цвет графика, единицы времени...</source>
        <translation>Channel colours, time units...</translation>
    </message>
    <message>
        <source>ОПЦИИ</source>
        <translation>OPTIONS</translation>
    </message>
    <message>
        <source>Повтор чтения</source>
        <translation>Read again</translation>
    </message>
    <message>
        <source>Повторное считывание массива из памяти платы АЦП</source>
        <translation>Read the data again from the ADC board&apos;s memory</translation>
    </message>
    <message>
        <source>Boot</source>
        <translation>Boot</translation>
    </message>
    <message>
        <source>Внешний генератор</source>
        <translation>External generator</translation>
    </message>
    <message>
        <source>Комментарий</source>
        <translation>Comment</translation>
    </message>
    <message>
        <source>Увеличение: протяните мышь с левой кнопкой вправо-вниз; возврат: влево-вверх; сдвиг: правой кнопкой</source>
        <translation>Zoom: drag right and down with the left button; back: drag left and up; pan: right button</translation>
    </message>
    <message>
        <source>Продолжительность:</source>
        <translation>Duration:</translation>
    </message>
    <message>
        <source>Прошло:</source>
        <translation>Elapsed:</translation>
    </message>
    <message>
        <source>Осталось:</source>
        <translation>Remaining:</translation>
    </message>
    <message>
        <source>Щелкнуть для отображения/скрытия X,Y и цифровых сигналов</source>
        <translation>Click to show/hide X, Y and the digital signals</translation>
    </message>
    <message>
        <source>Язык интерфейса сменится при следующем запуске программы.</source>
        <translation>The interface language changes at the next start of the program.</translation>
    </message>
    <message>
        <source>Щелчок открывает сводку связи</source>
        <translation>Click for the link figures</translation>
    </message>
    <message>
        <source>Папка серии</source>
        <translation>Series folder</translation>
    </message>
    <message>
        <source>Стоп серии</source>
        <translation>Stop series</translation>
    </message>
    <message>
        <source>Идёт серия измерений: снято %1. Остановить серию и закрыть программу?</source>
        <translation>A series of measurements is running: %1 taken. Stop the series and close the program?</translation>
    </message>
    <message>
        <source>Журнал измерений (Ctrl+H)</source>
        <translation>Measurement history (Ctrl+H)</translation>
    </message>
</context>
<context>
    <name>zarvik::TForm2</name>
    <message>
        <source>Спектр/Тренд сигнала</source>
        <translation>Signal spectrum/trend</translation>
    </message>
    <message>
        <source>Копировать график в формате Windows MetaFile в буфер обмена</source>
        <translation>Copy the chart to the clipboard as a Windows metafile</translation>
    </message>
    <message>
        <source>Шаг выборки:</source>
        <translation>Sample step:</translation>
    </message>
    <message>
        <source>Fmax,Гц</source>
        <translation>Fmax, Hz</translation>
    </message>
    <message>
        <source>Огибающая</source>
        <translation>Envelope</translation>
    </message>
    <message>
        <source>Спектр</source>
        <translation>Spectrum</translation>
    </message>
    <message>
        <source>Тренд</source>
        <translation>Trend</translation>
    </message>
    <message>
        <source>СПЕКТР в буфер</source>
        <translation>SPECTRUM to clipboard</translation>
    </message>
    <message>
        <source>ГЕРЦЫ</source>
        <translation>Frequency, Hz</translation>
    </message>
    <message>
        <source>Амплитуда</source>
        <translation>Amplitude</translation>
    </message>
    <message>
        <source>Без окна</source>
        <translation>No window</translation>
    </message>
    <message>
        <source>Окно Ханна</source>
        <translation>Hann window</translation>
    </message>
    <message>
        <source>Окно Хэмминга</source>
        <translation>Hamming window</translation>
    </message>
    <message>
        <source>Окно Блэкмана</source>
        <translation>Blackman window</translation>
    </message>
    <message>
        <source>Плоская вершина</source>
        <translation>Flat top</translation>
    </message>
    <message>
        <source>Оконная функция; амплитуды поделены на её когерентное усиление</source>
        <translation>Window function; the amplitudes are divided by its coherent gain</translation>
    </message>
    <message>
        <source>Число сегментов с перекрытием наполовину, по которым усредняется спектр (среднее квадратичное)</source>
        <translation>The number of half-overlapping segments whose spectra are averaged (root mean square)</translation>
    </message>
    <message>
        <source> сегм.</source>
        <translation> segm.</translation>
    </message>
    <message>
        <source>дБ</source>
        <translation>dB</translation>
    </message>
    <message>
        <source>Амплитуды в децибелах относительно единицы оси Y</source>
        <translation>Amplitudes in decibels relative to one unit of the Y axis</translation>
    </message>
    <message>
        <source>Амплитуда, дБ</source>
        <translation>Amplitude, dB</translation>
    </message>
    <message>
        <source>%1: КУ %2; ЭШП %3 бин = %4 Гц; %5 сегм. × %6 отсч.; Δf %7 Гц</source>
        <translation>%1: CG %2; ENBW %3 bins = %4 Hz; %5 segm. × %6 samples; Δf %7 Hz</translation>
    </message>
    <message>
        <source>Усреднение по %1 сегментам оставляет в сегменте меньше %2 точек: уменьшите число сегментов или шаг выборки либо увеличьте участок графика</source>
        <translation>Averaging over %1 segments leaves fewer than %2 points in a segment: average fewer segments, take a smaller sample step or a longer stretch of the chart</translation>
    </message>
</context>
<context>
    <name>zarvik::ZeroLevels</name>
    <message>
        <source>Канал %1=</source>
        <translation>Channel %1=</translation>
    </message>
</context>
</TS>
