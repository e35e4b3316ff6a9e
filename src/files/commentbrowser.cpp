#include "files/commentbrowser.h"

#include "files/d8cfile.h"
#include "files/folderlisting.h"
#include "files/saveformat.h"
#include "ui/operatormessages.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextBlock>

namespace zarvik {
namespace {

const QString kFileMark = QStringLiteral("=v=");

} // namespace

QStringList commentListLines(const QString& folder, const QStringList& names) {
    QStringList lines;
    for (const QString& name : names) {
        const D8cSummary s = scanD8cFile(inFolder(folder, name).toStdString());
        if (s.status != D8cSummary::Status::Ok)
            continue;
        lines << kFileMark + name + kFileMark;
        for (const std::string& line : s.Comment)
            lines << QString::fromStdString(line);
    }
    return lines;
}

CommentBrowser::CommentBrowser(const Controls& controls, TMeasurement& measurement, QObject* parent)
    : QObject(parent), m_c(controls), m_m(measurement) {
    m_c.gbAllCmnt->setTitle(tr("Для открытия файла выполните двойной щелчок по любому слову в "
                               "комментарии, относящемся к выбираемому файлу:"));
    // The group covers the chart while it is shown.
    m_c.gbAllCmnt->setAutoFillBackground(true);
    m_c.MAllCmnt->move(m_c.MAllCmnt->x(), m_c.gbAllCmnt->fontMetrics().height() + 8);
    buildSearchPanel();

    connect(btFind, &QPushButton::clicked, this, &CommentBrowser::btFindClick);
    connect(btOpenFind, &QPushButton::clicked, this, &CommentBrowser::btOpenFindClick);
    connect(btPath, &QPushButton::clicked, this, &CommentBrowser::btPathClick);
    connect(btCancel, &QPushButton::clicked, this, &CommentBrowser::btCancelClick);
    m_c.MAllCmnt->installEventFilter(this);
    m_c.MAllCmnt->viewport()->installEventFilter(this);
}

void CommentBrowser::buildSearchPanel() {
    QWidget* p = m_c.pSearch;
    auto* row = new QHBoxLayout(p);
    row->setContentsMargins(4, 2, 4, 2);
    row->setSpacing(6);
    lbFind = new QLabel(tr("ИСКАТЬ "), p);
    eFind = new QLineEdit(p);
    eFind->setObjectName("eFind");
    chkCaps = new QCheckBox(tr("регистр"), p);
    chkCaps->setObjectName("chkCaps");
    btFind = new QPushButton(tr("Поиск"), p);
    btFind->setObjectName("btFind");
    btOpenFind = new QPushButton(tr("Открыть файл"), p);
    btOpenFind->setObjectName("btOpenFind");
    btPath = new QPushButton(tr("Папка"), p);
    btPath->setObjectName("btPath");
    btCancel = new QPushButton(tr("Отменить"), p);
    btCancel->setObjectName("btCancel");
    row->addWidget(lbFind);
    row->addWidget(eFind, 1);
    row->addWidget(chkCaps);
    row->addWidget(btFind);
    row->addSpacing(12);
    row->addWidget(btOpenFind);
    row->addWidget(btPath);
    row->addWidget(btCancel);
}

void CommentBrowser::btShowCmntClick() {
    showComments(false);
}

void CommentBrowser::btPathClick() {
    showComments(true);
}

void CommentBrowser::showComments(bool askForFolder) {
    if (closeSamplingPanel)
        closeSamplingPanel();
    if (layout)
        layout();
    m_c.gbAllCmnt->show();
    m_c.gbAllCmnt->raise();
    m_c.MAllCmnt->clear();

    // The list follows its own folder: FileName changes only when a file is read, so that the
    // export and the copied comment never name a file the measurement did not come from.
    const QString current = QString::fromStdString(m_m.FileName);
    QString folder = folderOf(current);
    QString extension = QString::fromStdString(fileExtension(m_m.FileName));
    QStringList names;
    if (!askForFolder)
        names = listFolder(folder, "*" + extension);
    if (names.isEmpty()) {
        const QString chosen = chooseDataFile ? chooseDataFile() : QString();
        if (!chosen.isEmpty()) {
            folder = folderOf(chosen);
            extension = QString::fromStdString(fileExtension(chosen.toStdString()));
            names = listFolder(folder, "*" + extension);
        }
    }
    if (names.isEmpty()) {
        operatorMessages().information(tr("Выберите путь, содержащий файлы ") + extension);
        return;
    }

    m_folder = folder;
    m_c.MAllCmnt->setPlainText(commentListLines(folder, names).join('\n'));
    QTextCursor caret(m_c.MAllCmnt->document()->firstBlock());
    caret.movePosition(QTextCursor::EndOfBlock);
    m_c.MAllCmnt->setTextCursor(caret);
    m_c.MAllCmnt->ensureCursorVisible();
}

void CommentBrowser::MAllCmntDblClick() {
    QTextBlock block = m_c.MAllCmnt->textCursor().block();
    while (block.isValid() && !block.text().startsWith(kFileMark))
        block = block.previous();
    if (!block.isValid())
        return;
    const QString line = block.text();
    const QString name = line.mid(kFileMark.size(), line.size() - 2 * kFileMark.size());
    if (name.isEmpty())
        return;
    m_m.FileName = inFolder(m_folder, name).toStdString();
    m_c.gbAllCmnt->hide();
    if (readFileName)
        readFileName();
}

void CommentBrowser::btOpenFindClick() {
    MAllCmntDblClick();
}

void CommentBrowser::btFindClick() {
    const QString wanted = eFind->text();
    if (wanted.isEmpty())
        return;
    const bool exact = chkCaps->isChecked();
    const QLocale locale = QLocale::system();
    auto comparable = [&](const QString& s) { return exact ? s : locale.toUpper(s); };
    const QString needle = comparable(wanted);
    if (!comparable(m_c.MAllCmnt->toPlainText()).contains(needle))
        return;

    const QTextDocument* doc = m_c.MAllCmnt->document();
    const int lines = doc->blockCount();
    if (SearchLine < 0 || SearchLine >= lines)
        SearchLine = 0;
    for (int tested = 0; tested < lines; ++tested) {
        const QTextBlock block = doc->findBlockByNumber(SearchLine);
        SearchLine = SearchLine + 1 < lines ? SearchLine + 1 : 0;
        if (comparable(block.text()).contains(needle)) {
            QTextCursor selection(block);
            selection.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
            m_c.MAllCmnt->setFocus();
            m_c.MAllCmnt->setTextCursor(selection);
            return;
        }
    }
}

void CommentBrowser::btCancelClick() {
    m_c.gbAllCmnt->hide();
}

bool CommentBrowser::eventFilter(QObject* watched, QEvent* event) {
    // The event's type is looked at first: the filter also sees the events of the list's own
    // destruction, when it is no longer a scroll area whose viewport could be asked for.
    if (event->type() == QEvent::MouseButtonDblClick && watched == m_c.MAllCmnt->viewport()) {
        // The double-click puts the caret on the clicked word first.
        auto* mouse = static_cast<QMouseEvent*>(event);
        m_c.MAllCmnt->setTextCursor(m_c.MAllCmnt->cursorForPosition(mouse->position().toPoint()));
        MAllCmntDblClick();
        return true;
    }
    if (event->type() == QEvent::KeyPress && watched == m_c.MAllCmnt) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            MAllCmntDblClick();
            return true;
        }
    }
    return QObject::eventFilter(watched, event);
}

} // namespace zarvik
