#include "backup/frmFileCompare.h"
#include "BackupTestSupport.h"
#include "foundation/NumberText.h"
#include "support/OpenedDocuments.h"
#include "support/ScriptedBoxes.h"

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QHelpEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QScreen>
#include <QToolTip>
#include <QTreeWidget>

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <QTest>
#include <memory>

namespace {
class FinderTest : public ::testing::Test {
protected:
    void SetUp() override {
        UseProgramFolderOf(env);
        original = env.path("work/docs/a.txt");
        dest = env.path("dest");
        WriteBytes(original, "original");
    }
    // The finder as the last-backup window fills it.
    frmFileCompare& open(const QString& copy) {
        finder = std::make_unique<frmFileCompare>();
        finder->txtOrigFile->setText(original);
        finder->txtDestFile->setText(copy);
        finder->lblRootPath->setText(dest);
        finder->BackupTime = BackupTestNow();
        finder->RefreshFileInfo();
        finder->GetBackupFiles_Quick();
        finder->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(finder.get()));
        return *finder;
    }
    // A copy with its own bytes and modification time.
    void makeCopy(const QString& path, const QByteArray& bytes, const QDateTime& modified) {
        WriteBytes(path, bytes);
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::ReadWrite));
        ASSERT_TRUE(f.setFileTime(modified, QFileDevice::FileModificationTime));
    }
    QStringList rowTexts() const {
        QStringList rows;
        for (int i = 0; i < finder->lvwFiles->topLevelItemCount(); ++i)
            rows << finder->lvwFiles->topLevelItem(i)->text(0);
        return rows;
    }
    void clickRow(int i) {
        QTreeWidget* list = finder->lvwFiles;
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->topLevelItem(i)).center());
    }
    TestEnvironment env;
    ScriptedBoxes boxes;
    OpenedDocuments opened;
    QString original, dest;
    std::unique_ptr<frmFileCompare> finder;
};
}  // namespace

TEST_F(FinderTest, QuickSearchFindsTheFlatCopyOfTypeZeroAndShowsBothFiles) {
    makeCopy(dest + "/a.txt", "copy of a", QDateTime(QDate(2003, 4, 27), QTime(8, 0, 0)));
    frmFileCompare& f = open(dest + "/a.txt");
    EXPECT_EQ(f.lblFilename->text(), "  a.txt");
    EXPECT_EQ(f.lblSourcePath->text(), env.path("work/docs/"));
    EXPECT_EQ(f.lblDestPath->text(), dest + "/");
    EXPECT_EQ(f.lblOrigSize->text(), "8");
    EXPECT_EQ(f.lblBackupSize->text(), "9");
    EXPECT_EQ(f.Label3[3]->text(), QLocale::system().toString(QDateTime(QDate(2003, 4, 27), QTime(8, 0, 0)),
                                                              QStringLiteral("ddd, dd-MMM-yyyy HH:mm:ss")));
    EXPECT_FALSE(f.Label3[4]->text().isEmpty());
    ASSERT_EQ(rowTexts(), QStringList{dest + "/"});
    EXPECT_EQ(f.lvwFiles->topLevelItem(0)->text(1), "9");
    EXPECT_EQ(f.lvwFiles->topLevelItem(0)->text(2), "2003-04-27 08:00:00");
    EXPECT_FALSE(f.cmdRestore->isEnabled());
    clickRow(0);
    EXPECT_EQ(f.lvwFiles->toolTip(), "All Files into the above directory [all files in one folder]");
    EXPECT_TRUE(f.cmdRestore->isEnabled());
    EXPECT_EQ(boxes.count(), 0);
}

TEST_F(FinderTest, QuickSearchOrderAndCopiesItCannotSee) {
    // Type 1 of the backup time, with the source folders kept; type 0 flat;
    // a FIFO of the name in the monthly folder is no copy.
    makeCopy(dest + "/20030428" + env.path("work/docs/a.txt"), "dated", BackupTestNow());
    makeCopy(dest + "/a.txt", "flat", BackupTestNow());
    const QString month = dest + "/" + QLocale::system().monthName(4, QLocale::ShortFormat) + "/";
    QDir().mkpath(month);
    ASSERT_EQ(::mkfifo(QFile::encodeName(month + "a.txt").constData(), 0644), 0);
    open(dest + "/a.txt");
    EXPECT_EQ(rowTexts(), (QStringList{dest + "/", dest + "/20030428" + env.path("work/docs/")}));
    clickRow(1);
    EXPECT_EQ(finder->lvwFiles->toolTip(), "todays date as appended [keep original filenames]");
}

TEST_F(FinderTest, FindAllListsEveryFolderInWalkOrderAndWarnsAfterwards) {
    for (const char* folder : {"", "/x", "/y/z", "/20030101"}) makeCopy(dest + folder + "/a.txt", "c", BackupTestNow());
    QDir().mkpath(dest + "/p");
    ASSERT_EQ(::mkfifo(QFile::encodeName(dest + "/p/a.txt").constData(), 0644), 0);
    frmFileCompare& f = open(dest + "/a.txt");

    int rowsWhenWarned = -1;
    platform::BoxRequest warning;
    platform::SetBoxResponder([&](const platform::BoxRequest& r) {
        rowsWhenWarned = f.lvwFiles->topLevelItemCount();
        warning = r;
        return platform::BoxReply{};
    });
    f.chkFindAll->setChecked(true);
    QStringList walked;
    for (int i = 0; i < f.lstBk->count(); ++i) walked << f.lstBk->item(i)->text() + "/";
    EXPECT_EQ(rowTexts(), walked);
    EXPECT_EQ(rowTexts().size(), 4);
    EXPECT_EQ(rowTexts().first(), dest + "/") << "the destination itself comes first";
    EXPECT_EQ(rowsWhenWarned, 4);
    EXPECT_EQ(warning.title, "Be careful of Duplicate Filenames");
    EXPECT_EQ(warning.icon, platform::Icon::Exclamation);
    EXPECT_EQ(warning.text,
              "This will search ALL subfolders in the destination folder \r\nfor the filename a.txt\r\n\r\n"
              "Be careful that the backup file you are looking at is the\r\nsame size/date as the original folder.");
    clickRow(2);
    EXPECT_EQ(f.lvwFiles->toolTip(), "");
    EXPECT_TRUE(f.cmdRestore->isEnabled());

    f.chkFindAll->setChecked(false);  // back to the quick search
    EXPECT_EQ(rowTexts(), QStringList{dest + "/"});
}

TEST_F(FinderTest, AHiddenOriginalFindsItsHiddenCopies) {
    original = env.path("work/docs/.profile");
    WriteBytes(original, "original");
    for (const char* folder : {"", "/x"}) makeCopy(dest + folder + "/.profile", "c", BackupTestNow());
    makeCopy(dest + "/x/a.txt", "c", BackupTestNow());
    frmFileCompare& f = open(dest + "/.profile");
    EXPECT_EQ(rowTexts(), QStringList{dest + "/"});
    boxes.answer(platform::Answer::OK);
    f.chkFindAll->setChecked(true);
    EXPECT_EQ(rowTexts(), (QStringList{dest + "/", dest + "/x/"}));
}

TEST_F(FinderTest, RestoreBringsBackTheSelectedCopyWithItsTimeAndMode) {
    const QDateTime older(QDate(2003, 4, 20), QTime(10, 0, 0));
    makeCopy(dest + "/a.txt", "flat copy", BackupTestNow());
    makeCopy(dest + "/20030428/a.txt", "dated copy", older);
    QFile::setPermissions(dest + "/20030428/a.txt", QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup);
    frmFileCompare& f = open(dest + "/a.txt");
    ASSERT_EQ(rowTexts(), (QStringList{dest + "/", dest + "/20030428/"}));

    clickRow(1);
    boxes.answer(platform::Answer::OK);
    f.cmdRestore->click();
    EXPECT_EQ(ReadBytes(original), "dated copy") << "the chosen copy, not the derived one";
    EXPECT_EQ(QFileInfo(original).lastModified(), older);
    EXPECT_EQ(QFile::permissions(original), QFile::permissions(dest + "/20030428/a.txt"));
    ASSERT_EQ(boxes.count(), 1);
    EXPECT_EQ(boxes.last().title, "File Restored");
    EXPECT_EQ(boxes.last().text, "The file has been restored to the original location");
    EXPECT_FALSE(f.cmdRestore->isEnabled());
    EXPECT_EQ(QDir(env.path("work/docs")).entryList(QDir::Files | QDir::Hidden), QStringList{"a.txt"});
}

TEST_F(FinderTest, AnOriginalThatIsALinkStaysALink) {
    const QString target = env.path("elsewhere/real.txt");
    WriteBytes(target, "changed");
    QFile::remove(original);
    ASSERT_TRUE(QFile::link(target, original));
    makeCopy(dest + "/a.txt", "backed up", BackupTestNow());
    frmFileCompare& f = open(dest + "/a.txt");
    clickRow(0);
    boxes.answer(platform::Answer::OK);
    f.cmdRestore->click();
    EXPECT_EQ(boxes.last().title, "File Restored");
    EXPECT_TRUE(QFileInfo(original).isSymLink());
    EXPECT_EQ(ReadBytes(target), "backed up");
}

// A copy that is a link puts the link back, also over an original that is
// now a link to another file, which stays untouched.
TEST_F(FinderTest, ACopyThatIsALinkPutsBackTheLink) {
    const QString named = env.path("elsewhere/real.txt");
    const QString other = env.path("elsewhere/other.txt");
    WriteBytes(named, "what the link named");
    WriteBytes(other, "another file");
    QDir().mkpath(dest);
    ASSERT_TRUE(QFile::link(named, dest + "/a.txt"));
    QFile::remove(original);
    ASSERT_TRUE(QFile::link(other, original));
    frmFileCompare& f = open(dest + "/a.txt");
    clickRow(0);
    boxes.answer(platform::Answer::OK);
    f.cmdRestore->click();
    EXPECT_EQ(boxes.last().title, "File Restored");
    EXPECT_EQ(QFile::symLinkTarget(original), named);
    EXPECT_EQ(ReadBytes(other), "another file");
}

TEST_F(FinderTest, AFailedRestoreSaysWhyAndLeavesTheOriginalAlone) {
    // A folder stands where the original file should go.
    QFile::remove(original);
    WriteBytes(original + "/inside.txt", "kept");
    makeCopy(dest + "/a.txt", "copy", BackupTestNow());
    frmFileCompare& f = open(dest + "/a.txt");
    boxes.answer(platform::Answer::OK);
    clickRow(0);
    f.cmdRestore->click();
    const platform::BoxRequest& box = boxes.last();
    EXPECT_EQ(box.title, "Cannot restore this file - it may be in use");
    EXPECT_EQ(box.icon, platform::Icon::Critical);
    EXPECT_TRUE(box.text.startsWith("An error occurred restoring the file\r\n" + dest +
                                    "/a.txt\r\nto the original file"
                                    "\r\n\r\nThe error number was 21= "))
        << box.text.toStdString();
    EXPECT_EQ(ReadBytes(original + "/inside.txt"), "kept");
    EXPECT_EQ(QDir(env.path("work/docs")).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
              QStringList{"a.txt"});
    EXPECT_TRUE(env.readFile("corvex.log").contains("Cannot restore '" + dest + "/a.txt'"));
    EXPECT_FALSE(f.cmdRestore->isEnabled());
}

TEST_F(FinderTest, FoldersOpenOnlyForWhatIsThere) {
    makeCopy(dest + "/a.txt", "copy", BackupTestNow());
    frmFileCompare& f = open(dest + "/a.txt");
    f.Command3->click();
    EXPECT_TRUE(opened.opened.isEmpty()) << "no candidate selected";
    clickRow(0);
    f.Command3->click();
    f.Command1->click();
    EXPECT_EQ(opened.opened, (QStringList{dest + "/", env.path("work/docs/")}));
}

TEST_F(FinderTest, MissingCopyAndEmptyOriginal) {
    WriteBytes(original, "");
    makeCopy(env.path("other/a.txt"), "12345", BackupTestNow());
    open(env.path("other/a.txt"));
    EXPECT_EQ(finder->lblOrigSize->text(), "") << "no digits for zero";
    EXPECT_EQ(finder->lblBackupSize->text(), "5");

    // The next file's copy is missing: nothing of the earlier copy stays shown.
    boxes.answer(platform::Answer::OK);
    finder->txtDestFile->setText(dest + "/a.txt");
    finder->RefreshFileInfo();
    EXPECT_EQ(boxes.last().text, "Can't open the file");
    EXPECT_EQ(finder->lblBackupSize->text(), "0 Bytes");
    EXPECT_EQ(finder->Label3[3]->text(), "0 Bytes");
    EXPECT_EQ(finder->Label3[4]->text(), "");
}

// A long name in the band above both files keeps its start and its
// distinguishing end in sight, and its tool tip is the whole name.
TEST_F(FinderTest, ALongNameIsShortenedInTheMiddleWithTheWholeNameAsToolTip) {
    const QString name =
        "quarterly-report-of-the-northern-region-with-all-appendices-" + QString(60, 'x') + "-final-version-7.txt";
    original = env.path("work/docs/" + name);
    WriteBytes(original, "original");
    makeCopy(dest + "/" + name, "copy", QDateTime(QDate(2003, 4, 27), QTime(8, 0, 0)));
    frmFileCompare& f = open(dest + "/" + name);
    EXPECT_EQ(f.lblFilename->text(), "  " + name);
    EXPECT_LE(f.width(), f.screen()->availableGeometry().width());
    const QString shown = f.lblFilename->shownText();
    EXPECT_LT(shown.size(), f.lblFilename->text().size());
    EXPECT_TRUE(shown.startsWith("  quarterly")) << qPrintable(shown);
    EXPECT_TRUE(shown.endsWith("-final-version-7.txt")) << qPrintable(shown);
    EXPECT_TRUE(shown.contains(QChar(0x2026))) << qPrintable(shown);

    QHelpEvent help(QEvent::ToolTip, QPoint(5, 5), f.lblFilename->mapToGlobal(QPoint(5, 5)));
    QApplication::sendEvent(f.lblFilename, &help);
    EXPECT_EQ(QToolTip::text(), "  " + name);
    QToolTip::hideText();
}
