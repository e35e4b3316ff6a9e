#include "filepartsfixture.h"
#include "files/datafilehandlers.h"
#include "files/folderlisting.h"
#include "files/folderwalk.h"

#include <QApplication>
#include <QDir>
#include <QDropEvent>
#include <QFileInfo>
#include <QGroupBox>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QUrl>

namespace zarvik::test {
namespace {

using FolderWalkTest = FilePartsTest;

QString writeWithComment(const QString& fileName, const std::string& comment) {
    DataFileRecipe recipe;
    recipe.comment = {comment};
    return writeDataFile(fileName, recipe);
}

// The process's current folder for one scope.
class CurrentFolder {
public:
    explicit CurrentFolder(const QString& folder) : m_saved(QDir::currentPath()) {
        QDir::setCurrent(folder);
    }
    ~CurrentFolder() { QDir::setCurrent(m_saved); }

private:
    QString m_saved;
};

TEST(FolderListing, FollowsTheNamesWithoutRegardToLetterCaseAndSkipsFolders) {
    QTemporaryDir dir;
    for (const char* name : {"b.d8c", "C.d8c", "a.d8c", "B.d8c", "x.txt"})
        writeBytes(dir.filePath(name), "x");
    QDir(dir.path()).mkdir("folder.d8c");
    EXPECT_EQ(listFolder(dir.path(), "*.d8c"), (QStringList{"a.d8c", "B.d8c", "b.d8c", "C.d8c"}));
    EXPECT_TRUE(listFolder(dir.filePath("absent"), "*.d8c").isEmpty());
}

TEST_F(FolderWalkTest, NextAndPreviousFollowTheListingAndStopAtBothEnds) {
    // In byte order "B" would come before "a"; the walk follows the names as read.
    writeWithComment(dataPath("a.d8c"), "первый");
    writeWithComment(dataPath("B.d8c"), "второй");
    writeWithComment(dataPath("c.d8c"), "третий");
    loadThroughDialog(dataPath("B.d8c"));
    ASSERT_EQ(form->mComment->toPlainText(), "второй");

    form->folderWalk()->btNextFileClick();
    EXPECT_EQ(form->mComment->toPlainText(), "третий");
    EXPECT_EQ(form->gbFile->title(), "ФАЙЛ c.d8c");
    EXPECT_TRUE(messages.isEmpty());
    form->folderWalk()->btNextFileClick();
    EXPECT_EQ(messages, QStringList{"info:Больше нет файлов"});
    EXPECT_EQ(form->mComment->toPlainText(), "третий");

    messages.clear();
    form->folderWalk()->btPrevFileClick();
    EXPECT_EQ(form->mComment->toPlainText(), "второй");
    form->folderWalk()->btPrevFileClick();
    EXPECT_EQ(form->mComment->toPlainText(), "первый");
    EXPECT_EQ(form->Measurement.FileName, dataPath("a.d8c").toStdString());
    EXPECT_TRUE(messages.isEmpty());
    form->folderWalk()->btPrevFileClick();
    EXPECT_EQ(messages, QStringList{"info:Больше нет файлов"});
    EXPECT_EQ(form->mComment->toPlainText(), "первый");
}

TEST_F(FolderWalkTest, TheWalkStaysInTheFolderOfTheFirstFile) {
    QTemporaryDir other;
    writeWithComment(dataPath("a.d8c"), "здесь a");
    writeWithComment(dataPath("b.d8c"), "здесь b");
    writeWithComment(dataPath("c.d8c"), "здесь c");
    writeWithComment(other.filePath("a.d8c"), "там a");
    writeWithComment(other.filePath("b.d8c"), "там b");
    writeWithComment(other.filePath("c.d8c"), "там c");
    {
        // The dialog may answer with a name relative to the current folder.
        CurrentFolder here(dataDir.path());
        loadThroughDialog("b.d8c");
    }
    ASSERT_EQ(form->mComment->toPlainText(), "здесь b");
    CurrentFolder there(other.path());
    form->folderWalk()->btNextFileClick();
    EXPECT_EQ(form->mComment->toPlainText(), "здесь c");
    form->folderWalk()->btPrevFileClick();
    form->folderWalk()->btPrevFileClick();
    EXPECT_EQ(form->mComment->toPlainText(), "здесь a");
    EXPECT_EQ(QFileInfo(QString::fromStdString(form->Measurement.FileName)).absolutePath(),
              QFileInfo(dataDir.path()).absoluteFilePath());
}

TEST_F(FolderWalkTest, TheWalkStepsOverAFileThatIsNotADataFile) {
    writeWithComment(dataPath("a.d8c"), "первый");
    writeBytes(dataPath("b.d8c"), "not a data file at all");
    writeWithComment(dataPath("c.d8c"), "третий");
    loadThroughDialog(dataPath("a.d8c"));
    form->folderWalk()->btNextFileClick();
    EXPECT_EQ(messages.size(), 1);
    EXPECT_EQ(form->mComment->toPlainText(), "первый");
    form->folderWalk()->btNextFileClick();
    EXPECT_EQ(form->mComment->toPlainText(), "третий");
}

TEST_F(FolderWalkTest, ADroppedFileIsReadUnderTheNameItHasOnThisFileSystem) {
    // Two files whose names differ only in letter case: the one dropped is the one read.
    writeWithComment(dataPath("Big.d8c"), "заглавная");
    writeWithComment(dataPath("big.d8c"), "строчная");
    writeWithComment(dataPath("other.d8c"), "другой");
    QMimeData mime;
    mime.setUrls(
        {QUrl::fromLocalFile(dataPath("Big.d8c")), QUrl::fromLocalFile(dataPath("other.d8c"))});
    // A drop goes to the widget that took the drag when it entered.
    QDragEnterEvent enter(QPoint(200, 200), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(form.get(), &enter);
    ASSERT_TRUE(enter.isAccepted());
    QDropEvent drop(QPointF(200, 200), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(form.get(), &drop);
    QApplication::processEvents();

    const bool caseBlind = QFileInfo::exists(dataDir.filePath("BIG.D8C"));
    if (caseBlind) {
        EXPECT_EQ(form->Measurement.FileName, dataPath("big.d8c").toStdString());
    } else {
        EXPECT_EQ(form->Measurement.FileName, dataPath("Big.d8c").toStdString());
        EXPECT_EQ(form->mComment->toPlainText(), "заглавная");
        EXPECT_EQ(form->gbFile->title(), "ФАЙЛ Big.d8c");
    }
    EXPECT_TRUE(messages.isEmpty()) << messages.join('|').toStdString();
}

TEST(DroppedFileName, LowersOnlyWhereTheLoweredNameIsTheSameFile) {
    QTemporaryDir dir;
    writeBytes(dir.filePath("Only.d8c"), "x");
    const QString dropped = dir.filePath("Only.d8c");
    const bool caseBlind = QFileInfo::exists(dir.filePath("ONLY.D8C"));
    const QString expected = caseBlind ? dir.filePath("Only.d8c").toLower() : dropped;
    EXPECT_EQ(droppedFileName(dropped), expected);
    // A name that leads nowhere stays as dropped, for the reader to report.
    EXPECT_EQ(droppedFileName(dir.filePath("Gone.d8c")), dir.filePath("Gone.d8c"));
}

} // namespace
} // namespace zarvik::test
