#include "filepartsfixture.h"
#include "files/commentbrowser.h"
#include "files/d8cformat.h"
#include "files/datafilehandlers.h"

#include <QApplication>
#include <QCheckBox>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QTextBlock>

namespace zarvik::test {
namespace {

class CommentBrowserTest : public FilePartsTest {
protected:
    void SetUp() override {
        FilePartsTest::SetUp();
        DataFileRecipe a;
        a.comment = {"датчик 1 на опоре", "нагрузка 10"};
        writeDataFile(dataPath("a.d8c"), a);
        DataFileRecipe b;
        b.mask = 0x02;
        b.words = {7, 8, 9};
        b.comment = {"без датчика", "ДАТЧИК 2 снят"};
        writeDataFile(dataPath("b.d8c"), b);
        writeBytes(dataPath("bad.d8c"), std::string(40, '\x07'));
        DataFileRecipe c;
        c.comment = {"Датчик 3"};
        writeDataFile(dataPath("c.d8c"), c);
        writeDataFile(dataPath("skip.txt"));
        loadThroughDialog(dataPath("a.d8c"));
        form->show();
        browser = form->commentBrowser();
    }
    QStringList listLines() const { return form->MAllCmnt->toPlainText().split('\n'); }
    int lineOf(const QString& text) const { return static_cast<int>(listLines().indexOf(text)); }
    QString selectedLine() const { return form->MAllCmnt->textCursor().selectedText(); }
    void doubleClickLine(int line) {
        QApplication::processEvents();
        const QTextBlock block = form->MAllCmnt->document()->findBlockByNumber(line);
        QTextCursor at(block);
        at.movePosition(QTextCursor::Right, QTextCursor::MoveAnchor, 2);
        const QPointF pos = form->MAllCmnt->cursorRect(at).center();
        QWidget* viewport = form->MAllCmnt->viewport();
        QMouseEvent click(QEvent::MouseButtonDblClick, pos, viewport->mapToGlobal(pos),
                          Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(viewport, &click);
    }

    CommentBrowser* browser = nullptr;
};

TEST_F(CommentBrowserTest, ListsEveryDataFileOfTheFolderWithItsCommentAndLeavesTheMeasurement) {
    // A fresh measurement on screen: the browser reads other files, never this one.
    TMeasurement& m = form->Measurement;
    m.SampleData = {1, 0, 2, 0, 3, 0, 4, 0};
    m.FormatWord = kFormatLegacy;
    m.LegacyFormat = true;
    m.SamplePeriodUs = 33.0;
    const TMeasurement before = m;
    const QString status = form->statusText(1);

    browser->btShowCmntClick();
    EXPECT_TRUE(form->gbAllCmnt->isVisible());
    EXPECT_TRUE(form->MAllCmnt->isVisible());
    EXPECT_EQ(listLines(), (QStringList{"=v=a.d8c=v=", "датчик 1 на опоре", "нагрузка 10",
                                        "=v=b.d8c=v=", "без датчика", "ДАТЧИК 2 снят",
                                        "=v=c.d8c=v=", "Датчик 3"}));
    const QTextCursor caret = form->MAllCmnt->textCursor();
    EXPECT_EQ(caret.blockNumber(), 0);
    EXPECT_TRUE(caret.atBlockEnd());
    EXPECT_TRUE(messages.isEmpty()) << messages.join('|').toStdString();

    browser->btCancelClick();
    EXPECT_FALSE(form->gbAllCmnt->isVisible());
    EXPECT_EQ(m.SampleData, before.SampleData);
    EXPECT_EQ(m.FormatWord, before.FormatWord);
    EXPECT_TRUE(m.LegacyFormat);
    EXPECT_EQ(m.SamplePeriodUs, before.SamplePeriodUs);
    EXPECT_EQ(m.DataSize, before.DataSize);
    EXPECT_EQ(m.FileName, before.FileName);
    EXPECT_EQ(m.Comment, before.Comment);
    EXPECT_EQ(form->statusText(1), status);
    EXPECT_EQ(encodeD8c(m, {}), encodeD8c(before, {}));
}

TEST_F(CommentBrowserTest, ADoubleClickAnywhereInAFilesBlockOpensThatFile) {
    browser->btShowCmntClick();
    doubleClickLine(lineOf("ДАТЧИК 2 снят"));
    EXPECT_FALSE(form->gbAllCmnt->isVisible());
    EXPECT_EQ(form->Measurement.FileName, dataPath("b.d8c").toStdString());
    EXPECT_EQ(form->mComment->toPlainText(), "без датчика\nДАТЧИК 2 снят");
    EXPECT_EQ(form->gbFile->title(), "ФАЙЛ b.d8c");

    browser->btShowCmntClick();
    doubleClickLine(lineOf("=v=c.d8c=v="));
    EXPECT_EQ(form->Measurement.FileName, dataPath("c.d8c").toStdString());

    browser->btShowCmntClick();
    doubleClickLine(lineOf("нагрузка 10"));
    EXPECT_EQ(form->Measurement.FileName, dataPath("a.d8c").toStdString());
    EXPECT_TRUE(messages.isEmpty()) << messages.join('|').toStdString();
}

TEST_F(CommentBrowserTest, EnterAndTheOpenButtonOpenTheFileUnderTheCaret) {
    browser->btShowCmntClick();
    QTextCursor caret(form->MAllCmnt->document()->findBlockByNumber(lineOf("без датчика")));
    form->MAllCmnt->setTextCursor(caret);
    QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier, "\r");
    QApplication::sendEvent(form->MAllCmnt, &enter);
    EXPECT_EQ(form->Measurement.FileName, dataPath("b.d8c").toStdString());

    browser->btShowCmntClick();
    form->MAllCmnt->setTextCursor(
        QTextCursor(form->MAllCmnt->document()->findBlockByNumber(lineOf("Датчик 3"))));
    browser->btOpenFindClick();
    EXPECT_EQ(form->Measurement.FileName, dataPath("c.d8c").toStdString());
}

TEST_F(CommentBrowserTest, TheSearchSelectsEachMatchingLineInTurnAndWraps) {
    browser->btShowCmntClick();
    browser->eFind->setText("датчик");
    browser->chkCaps->setChecked(true);
    browser->btFindClick();
    EXPECT_EQ(selectedLine(), "датчик 1 на опоре");
    browser->btFindClick();
    EXPECT_EQ(selectedLine(), "без датчика");
    // Exact comparison: "ДАТЧИК" and "Датчик" are other words.
    browser->btFindClick();
    EXPECT_EQ(selectedLine(), "датчик 1 на опоре");

    browser->eFind->setText("=v=");
    browser->SearchLine = 0;
    QStringList headers;
    for (int i = 0; i < 4; ++i) {
        browser->btFindClick();
        headers << selectedLine();
    }
    EXPECT_EQ(headers, (QStringList{"=v=a.d8c=v=", "=v=b.d8c=v=", "=v=c.d8c=v=", "=v=a.d8c=v="}));

    browser->eFind->setText("датчик");
    browser->chkCaps->setChecked(false);
    browser->SearchLine = 0;
    QStringList found;
    for (int i = 0; i < 5; ++i) {
        browser->btFindClick();
        found << selectedLine();
    }
    EXPECT_EQ(found, (QStringList{"датчик 1 на опоре", "без датчика", "ДАТЧИК 2 снят", "Датчик 3",
                                  "датчик 1 на опоре"}));
}

TEST_F(CommentBrowserTest, ASearchForAbsentTextChangesNothingAndReadingAFileRestartsIt) {
    browser->btShowCmntClick();
    browser->eFind->setText("нагрузка");
    browser->btFindClick();
    EXPECT_EQ(selectedLine(), "нагрузка 10");
    EXPECT_EQ(browser->SearchLine, lineOf("нагрузка 10") + 1);

    browser->eFind->setText("ротор");
    browser->btFindClick();
    EXPECT_EQ(browser->SearchLine, lineOf("нагрузка 10") + 1);

    loadDirectly(dataPath("c.d8c"));
    EXPECT_EQ(browser->SearchLine, 0);
}

TEST_F(CommentBrowserTest, AnotherFolderIsListedFromTheDialogAndACancelKeepsFileName) {
    QTemporaryDir other;
    DataFileRecipe recipe;
    recipe.comment = {"из другой папки"};
    writeDataFile(other.filePath("z.d8c"), recipe);
    const std::string current = form->Measurement.FileName;

    form->dataFiles()->OpenDlg.prompt = [](const FileDialog&) { return QString(); };
    browser->btPathClick();
    EXPECT_EQ(messages, QStringList{"info:Выберите путь, содержащий файлы .d8c"});
    EXPECT_TRUE(form->gbAllCmnt->isVisible());
    EXPECT_TRUE(form->MAllCmnt->toPlainText().isEmpty());
    EXPECT_EQ(form->Measurement.FileName, current);

    messages.clear();
    form->dataFiles()->OpenDlg.prompt = [&](const FileDialog&) { return other.filePath("z.d8c"); };
    browser->btPathClick();
    EXPECT_EQ(listLines(), (QStringList{"=v=z.d8c=v=", "из другой папки"}));
    // Only opening a file moves FileName.
    EXPECT_EQ(form->Measurement.FileName, current);
    doubleClickLine(1);
    EXPECT_EQ(form->Measurement.FileName, other.filePath("z.d8c").toStdString());
    EXPECT_EQ(form->mComment->toPlainText(), "из другой папки");
    EXPECT_TRUE(messages.isEmpty()) << messages.join('|').toStdString();
}

} // namespace
} // namespace zarvik::test
