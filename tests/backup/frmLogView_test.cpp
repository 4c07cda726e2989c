// The log viewer: its four views, the caption line, the facts of a file and
// the right-click menu.
#include "backup/frmLogView.h"
#include "foundation/FileListBox.h"
#include "support/OpenedDocuments.h"
#include "support/ScriptedBoxes.h"
#include "support/TestEnvironment.h"

#include <gtest/gtest.h>
#include <QAction>
#include <QApplication>
#include <QFile>
#include <QHeaderView>
#include <QScrollBar>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTreeWidget>

namespace {

const QString kToday = QStringLiteral("20030428");

class LogViewTest : public ::testing::Test {
protected:
    LogViewTest() { env.setNow(QDateTime(QDate(2003, 4, 28), QTime(14, 5, 30))); }

    // Loads the viewer on the program folder, as the menu opens it.
    void open() {
        form.Form_Load();
        form.OpenOnFolder(env.folder());
    }
    void select(const QString& name) {
        const auto items = form.fileLogs->findItems(name, Qt::MatchExactly);
        ASSERT_EQ(items.size(), 1) << qPrintable(name);
        form.fileLogs->setCurrentItem(items.first());
    }
    void view(int index) { QTest::mouseClick(form.optView[index], Qt::LeftButton); }
    QStringList shownLines() const {
        QStringList lines = form.txtLogFile->toPlainText().split(u'\n');
        if (!lines.isEmpty() && lines.last().isEmpty()) lines.removeLast();
        return lines;
    }
    QStringList listed() const {
        QStringList names;
        for (int i = 0; i < form.fileLogs->count(); ++i) names << form.fileLogs->item(i)->text();
        return names;
    }
    QStringList facts() const {
        QStringList rows;
        for (int i = 0; i < form.lvStats->topLevelItemCount(); ++i)
            rows << form.lvStats->topLevelItem(i)->text(0) + "=" + form.lvStats->topLevelItem(i)->text(1);
        return rows;
    }
    void rightClickList() {
        QWidget* viewport = form.fileLogs->viewport();
        const QPointF at(5, 5);
        QMouseEvent press(QEvent::MouseButtonPress, at, viewport->mapToGlobal(at), Qt::RightButton, Qt::RightButton,
                          Qt::NoModifier);
        QApplication::sendEvent(viewport, &press);
    }

    TestEnvironment env;
    ScriptedBoxes boxes;
    frmLogView form;
};

}  // namespace

TEST_F(LogViewTest, OpensOnTheProgramFoldersLogsWithTheWholeFileView) {
    env.writeFile("corvex.log", "20030428,09:00:00,corvex,anna,pc,started\r\nsecond line\r\n");
    env.writeFile("error.log", "");
    env.writeFile("notes.txt", "not a log");
    env.writeFile(".hidden.log", "hidden");
    open();
    EXPECT_EQ(form.txtPath->text(), env.folder());
    EXPECT_EQ(form.CurrentView(), 0);
    EXPECT_EQ(listed(), QStringList({"corvex.log", "error.log"}));
    EXPECT_EQ(form.lblLogFile->text(), "No Log file displayed");

    select("corvex.log");
    EXPECT_EQ(shownLines(), QStringList({"20030428,09:00:00,corvex,anna,pc,started", "second line"}));
    EXPECT_EQ(form.lblLogFile->text(), "Displaying all of corvex.log");
    EXPECT_EQ(form.lblFullFileName->text(), env.path("corvex.log"));
    const QStringList rows = facts();
    ASSERT_EQ(rows.size(), 4);
    EXPECT_EQ(rows[0], "File Name=corvex.log");
    EXPECT_EQ(rows[1], "Path=" + env.folder() + "/");
    EXPECT_EQ(rows[2], "File Size=55 Bytes");
    EXPECT_TRUE(rows[3].startsWith("Date Last Modifed=")) << qPrintable(rows[3]);
    const QDateTime changed = QFileInfo(env.path("corvex.log")).lastModified();
    EXPECT_EQ(rows[3].mid(18), QLocale::system().toString(changed, "ddd, dd-MMM-yyyy HH:mm:ss"));

    // A log of no bytes: the size picture prints no digit.
    select("error.log");
    EXPECT_EQ(facts().value(2), "File Size= Bytes");
}

TEST_F(LogViewTest, FirstHundredLinesOfALongLog) {
    QString text;
    for (int i = 1; i <= 250; ++i) text += QStringLiteral("line %1\r\n").arg(i);
    env.writeFile("long.log", text);
    open();
    view(1);
    select("long.log");
    const QStringList lines = shownLines();
    ASSERT_EQ(lines.size(), 100);
    EXPECT_EQ(lines.first(), "line 1");
    EXPECT_EQ(lines.last(), "line 100");
    EXPECT_EQ(form.lblLogFile->text(), "First 100 lines of long.log");
}

TEST_F(LogViewTest, TodaysEntriesOnlyAndTheCaptionEvenWhenThereAreNone) {
    env.writeFile("mixed.log", "20030427,23:59:59,old\r\n" + kToday + ",08:00:00,new\r\n2003042\r\nx" + kToday +
                                   "\r\n" + kToday + "\r\n");
    env.writeFile("old.log", "20030427,10:00:00,yesterday\r\n20020428,10:00:00,a year ago\r\n");
    open();
    view(2);
    select("mixed.log");
    EXPECT_EQ(shownLines(), QStringList({kToday + ",08:00:00,new", kToday}));
    select("old.log");
    EXPECT_EQ(form.txtLogFile->toPlainText(), "");
    EXPECT_EQ(form.lblLogFile->text(), "Today's Entries of old.log");
}

TEST_F(LogViewTest, AllFilesViewHeadsEveryLogAndAFileClickSwitchesToTodaysEntries) {
    env.writeFile("a.log", kToday + ",1\r\n20030427,old\r\n");
    env.writeFile("b.log", "20030427,old only\r\n");
    env.writeFile("c.log", kToday + ",3\r\n" + kToday + ",4\r\n");
    open();
    view(3);
    const QString rule(56, u'-');
    QStringList expected;
    for (const auto& [name, lines] : QList<QPair<QString, QStringList>>{
             {"a.log", {kToday + ",1"}}, {"b.log", {}}, {"c.log", {kToday + ",3", kToday + ",4"}}}) {
        expected << rule << env.path(name) << rule << lines << "";
    }
    EXPECT_EQ(form.txtLogFile->toPlainText().split(u'\n').mid(0, expected.size()), expected);
    EXPECT_EQ(form.lblLogFile->text(), "Displaying Today's Entries from All Logfiles");

    select("c.log");
    EXPECT_EQ(form.CurrentView(), 2);
    EXPECT_EQ(shownLines(), QStringList({kToday + ",3", kToday + ",4"}));
    EXPECT_EQ(form.lblLogFile->text(), "Today's Entries of c.log");
}

TEST_F(LogViewTest, RefreshListsATypedFolderAndClearsTheView) {
    env.writeFile("corvex.log", "x\r\n");
    env.writeFile("other/Zeta.log", "z\r\n");
    env.writeFile("other/alpha.log", "a\r\n");
    open();
    select("corvex.log");
    form.txtPath->setText(env.path("other"));
    QTest::mouseClick(form.cmdRefresh, Qt::LeftButton);
    EXPECT_EQ(listed(), QStringList({"alpha.log", "Zeta.log"}));  // sorted without regard to case
    EXPECT_EQ(form.txtLogFile->toPlainText(), "");
    EXPECT_EQ(form.lvStats->topLevelItemCount(), 0);
    EXPECT_EQ(form.lblLogFile->text(), "No Log File displayed");
    select("Zeta.log");
    EXPECT_EQ(form.lblFullFileName->text(), env.path("other/Zeta.log"));
    EXPECT_EQ(shownLines(), QStringList({"z"}));
}

TEST_F(LogViewTest, AFileGoneBeforeTheClickShowsEmptyFacts) {
    env.writeFile("gone.log", "text\r\n");
    open();
    QFile::remove(env.path("gone.log"));
    select("gone.log");
    EXPECT_EQ(form.lblLogFile->text(), "No Log file displayed");
    EXPECT_EQ(facts(), QStringList({"File Name=", "Path=", "File Size= Bytes", "Date Last Modifed="}));
    EXPECT_EQ(form.txtLogFile->toPlainText(), "");
}

TEST_F(LogViewTest, DeleteAsksAndCancelKeepsTheLog) {
    env.writeFile("old.log", "text\r\n");
    open();
    select("old.log");
    boxes.answer(platform::Answer::Cancel);
    form.mnuLogDelete->trigger();
    ASSERT_EQ(boxes.count(), 1);
    EXPECT_EQ(boxes.last().title, "Deleting Logfile");
    EXPECT_EQ(boxes.last().text, "Do you want to delete the logfile\r\n" + env.path("old.log"));
    EXPECT_EQ(boxes.last().buttons, platform::Buttons::OKCancel);
    EXPECT_TRUE(QFile::exists(env.path("old.log")));
    EXPECT_EQ(form.fileLogs->fileName(), "old.log");
    EXPECT_EQ(shownLines(), QStringList({"text"}));

    boxes.answer(platform::Answer::OK);
    form.mnuLogDelete->trigger();
    EXPECT_FALSE(QFile::exists(env.path("old.log")));
    EXPECT_EQ(form.fileLogs->count(), 0);
    EXPECT_EQ(form.txtLogFile->toPlainText(), "");
    EXPECT_EQ(form.lvStats->topLevelItemCount(), 0);
    EXPECT_EQ(form.lblLogFile->text(), "No Log File displayed");
}

TEST_F(LogViewTest, TheUninstallLogIsProtectedOnlyByItsExactName) {
    env.writeFile("ST6UNST.LOG", "setup\r\n");
    env.writeFile("st6unst.log", "other\r\n");
    open();
    select("ST6UNST.LOG");
    boxes.answer(platform::Answer::OK);
    form.mnuLogDelete->trigger();
    ASSERT_EQ(boxes.count(), 1);
    EXPECT_EQ(boxes.last().title, "Cannot delete this logfile");
    EXPECT_EQ(boxes.last().text, "This is a system file which is required for the uninstall procedure.");
    EXPECT_EQ(boxes.last().icon, platform::Icon::Critical);
    EXPECT_TRUE(QFile::exists(env.path("ST6UNST.LOG")));

    select("st6unst.log");
    boxes.answer(platform::Answer::OK);
    form.mnuLogDelete->trigger();
    EXPECT_EQ(boxes.last().title, "Deleting Logfile");
    EXPECT_FALSE(QFile::exists(env.path("st6unst.log")));
    EXPECT_TRUE(QFile::exists(env.path("ST6UNST.LOG")));
}

TEST_F(LogViewTest, RightClickShowsTheMenuOnlyForASelectedLogAndOpenHandsItToTheDesktop) {
    env.writeFile("a.log", "1\r\n");
    env.writeFile("b.log", "2\r\n");
    open();
    rightClickList();
    EXPECT_FALSE(form.mnuLogFile->isVisible());
    EXPECT_EQ(form.fileLogs->fileName(), "");

    select("b.log");
    rightClickList();  // over the first row: the selection stays on b.log
    EXPECT_TRUE(form.mnuLogFile->isVisible());
    EXPECT_EQ(form.fileLogs->fileName(), "b.log");
    form.mnuLogFile->hide();

    OpenedDocuments docs;
    form.mnuLogOpen->trigger();
    EXPECT_EQ(docs.opened, QStringList({env.path("b.log")}));
}

// The keyboard reaches the menu too: the Menu key and Shift+F10 on the list,
// for the selected log only; other keys do not.
TEST_F(LogViewTest, MenuKeyAndShiftF10OpenTheMenuForTheSelectedLog) {
    env.writeFile("a.log", "1\r\n");
    env.writeFile("b.log", "2\r\n");
    const struct {
        const char* name;
        bool selected;
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
        bool opens;
    } cases[] = {
        {"Menu key", true, Qt::Key_Menu, Qt::NoModifier, true},
        {"Shift+F10", true, Qt::Key_F10, Qt::ShiftModifier, true},
        {"Menu key, nothing selected", false, Qt::Key_Menu, Qt::NoModifier, false},
        {"F10 alone", true, Qt::Key_F10, Qt::NoModifier, false},
    };
    for (const auto& c : cases) {
        open();
        if (c.selected) select("b.log");
        form.fileLogs->setFocus();
        QTest::keyClick(form.fileLogs, c.key, c.modifiers);
        EXPECT_EQ(form.mnuLogFile->isVisible(), c.opens) << c.name;
        form.mnuLogFile->hide();
    }
    // The menu's entry acts on the selected log, as after a right click.
    select("b.log");
    QTest::keyClick(form.fileLogs, Qt::Key_Menu);
    ASSERT_TRUE(form.mnuLogFile->isVisible());
    OpenedDocuments docs;
    form.mnuLogOpen->trigger();
    EXPECT_EQ(docs.opened, QStringList({env.path("b.log")}));
}

TEST_F(LogViewTest, TheTextFillsTheWindowAsItGrows) {
    open();
    form.resize(700, 500);
    form.show();
    QApplication::processEvents();
    const int before = form.txtLogFile->height();
    form.resize(1000, 800);
    QApplication::processEvents();
    const QRect text = form.txtLogFile->geometry();
    EXPECT_GE(text.right(), form.width() - 20);
    EXPECT_GE(text.bottom(), form.height() - 20);
    EXPECT_GE(form.lvStats->geometry().right(), form.width() - 20);
    EXPECT_GE(form.lblLogFile->geometry().right(), form.width() - 20);
    EXPECT_EQ(text.height(), before + 300);  // all the added height goes to the text
}

// A log in a deep folder: at the window's size, in either font size, the
// facts' rows end inside the view and the path is shortened in the middle.
TEST_F(LogViewTest, TheFactsOfALogInADeepFolderStayInsideTheView) {
    const QString deep = QStringLiteral(
        "Documents/Projects/Quarterly-Financial-Reports-and-Statements-2003/Department-of-Accounting/logs");
    env.writeFile(deep + "/corvex.log", "x\r\n");
    const QFont before = QApplication::font();
    for (const int points : {11, 14}) {
        QFont font = before;
        font.setPointSize(points);
        QApplication::setFont(font);
        frmLogView viewer;
        viewer.Form_Load();
        viewer.OpenOnFolder(env.path(deep));
        viewer.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&viewer));
        viewer.fileLogs->setCurrentRow(0);
        QApplication::processEvents();
        QTreeWidget* facts = viewer.lvStats;
        ASSERT_EQ(facts->topLevelItemCount(), 4);
        EXPECT_EQ(facts->topLevelItem(1)->text(1), env.path(deep) + "/");
        QHeaderView* header = facts->header();
        EXPECT_LE(header->sectionPosition(1) + header->sectionSize(1), facts->viewport()->width()) << points;
        EXPECT_EQ(facts->horizontalScrollBar()->maximum(), 0) << points << " pt: nothing beyond the edge";
        EXPECT_EQ(facts->textElideMode(), Qt::ElideMiddle);
    }
    QApplication::setFont(before);
}

TEST(LogViewer, OneViewerServesEveryOpening) {
    TestEnvironment env;
    env.writeFile("corvex.log", "x\r\n");
    frmLogView* first = ShowLogViewer();
    ASSERT_NE(first, nullptr);
    first->optView[2]->setChecked(true);
    EXPECT_EQ(ShowLogViewer(), first);
    EXPECT_EQ(first->CurrentView(), 0);
    EXPECT_EQ(first->fileLogs->count(), 1);
    QTest::mouseClick(first->cmdClose, Qt::LeftButton);
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    frmLogView* second = ShowLogViewer();
    EXPECT_TRUE(second->isVisible());
    second->close();
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}
