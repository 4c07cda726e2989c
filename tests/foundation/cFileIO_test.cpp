#include "foundation/cFileIO.h"
#include "platform/ByteText.h"
#include "platform/Clock.h"
#include "support/FullDisk.h"
#include "support/ScriptedBoxes.h"
#include "support/TestEnvironment.h"

#include <gtest/gtest.h>
#include <QDir>

namespace {
class FileIOTest : public ::testing::Test {
protected:
    TestEnvironment env;
    ScriptedBoxes boxes;
};
}  // namespace

TEST_F(FileIOTest, ReadingGivesEveryLineThenOneEmptyRead) {
    env.writeFile("three.txt", "a\r\nb\nc\r\n");
    cFileIO f;
    f.init(env.path("three.txt"));
    f.openFile("input");  // the mode word is not case-sensitive
    QStringList got;
    while (f.moreData()) got << f.getLine();
    f.closeFile();
    EXPECT_EQ(got, QStringList({"a", "b", "c", ""}));
    EXPECT_FALSE(f.isOpen());
}

TEST_F(FileIOTest, OutputWritesCrLfLinesAndAppendAdds) {
    cFileIO f;
    f.init(env.path("out.txt"));
    f.openFile("OUTPUT");
    f.printLine("one");
    f.appendLine("two");
    f.closeFile();
    f.openFile("APPEND");
    f.printLine("three");
    f.closeFile();
    EXPECT_EQ(env.readFile("out.txt"), "one\r\ntwo\r\nthree\r\n");
    f.openFile("OUTPUT");
    f.closeFile();
    EXPECT_EQ(env.readFile("out.txt"), "");
}

TEST_F(FileIOTest, AppendLineOnAClosedObjectOpensAndClosesAroundIt) {
    cFileIO f;
    f.init(env.path("new.txt"));
    f.appendLine("first");
    f.appendLine("second");
    EXPECT_FALSE(f.isOpen());
    EXPECT_EQ(env.readFile("new.txt"), "first\r\nsecond\r\n");
}

TEST_F(FileIOTest, InvalidModeShowsMessageAndSetsBothFlags) {
    boxes.answer(platform::Answer::OK);
    cFileIO f;
    f.init(env.path("x.txt"));
    f.openFile("READ");
    ASSERT_EQ(boxes.count(), 1);
    EXPECT_EQ(boxes.last().text, "Invalid method of opening file");
    EXPECT_TRUE(f.isOpen());
    EXPECT_TRUE(f.moreData());
    f.closeFile();
    EXPECT_FALSE(f.isOpen());
    EXPECT_EQ(boxes.count(), 1);
    EXPECT_FALSE(QFile::exists(env.path("x.txt")));
}

TEST_F(FileIOTest, MissingInputFileLogsOnceAndLeavesFlagsFalse) {
    cFileIO f;
    f.init(env.path("missing.txt"));
    f.openFile("INPUT");
    EXPECT_FALSE(f.isOpen());
    EXPECT_FALSE(f.moreData());
    const QStringList log = env.readLines("corvex.log");
    ASSERT_EQ(log.size(), 2);  // the message holds a line break
    EXPECT_TRUE(log[0].endsWith("cFileIO - An error occurred opening the file " + env.path("missing.txt")));
    EXPECT_TRUE(log[1].startsWith("Err = "));
    f.openFile("INPUT", true);  // ignored errors add nothing
    EXPECT_EQ(env.readLines("corvex.log").size(), 2);
}

TEST_F(FileIOTest, FailedAppendReportsOpenAndWrite) {
    QDir().mkpath(env.path("dir.txt"));  // a folder where the file should be
    boxes.answer(platform::Answer::OK);
    cFileIO f;
    f.init(env.path("dir.txt"));
    f.appendLine("x");
    ASSERT_EQ(boxes.count(), 1);
    EXPECT_TRUE(
        boxes.last().text.startsWith("An error occurred appending to file " + env.path("dir.txt") + "\r\nErr = "));
    EXPECT_TRUE(env.readFile("corvex.log").contains("cFileIO - An error occurred opening the file"));
    f.appendLine("y", true);  // silent: no further message
    EXPECT_EQ(boxes.count(), 1);
}

TEST_F(FileIOTest, ReadErrorAsksAbortRetryIgnore) {
    cFileIO f;
    f.init(env.path("w.txt"));
    f.openFile("OUTPUT");
    boxes.answer(platform::Answer::Ignore);
    EXPECT_EQ(f.getLine(), "");
    ASSERT_EQ(boxes.count(), 1);
    EXPECT_EQ(boxes.last().title, "Error reading from File");
    EXPECT_EQ(boxes.last().buttons, platform::Buttons::AbortRetryIgnore);
    EXPECT_TRUE(boxes.last().text.endsWith("Click OK to resume"));
    boxes.answer(platform::Answer::Abort);
    f.getLine();
    EXPECT_EQ(env.endCalls(), 1);
    f.closeFile();
}

TEST_F(FileIOTest, LoadFileToStringEndsWithOneExtraSeparator) {
    env.writeFile("ab.txt", "a\r\nb\r\n");
    cFileIO f;
    f.init(env.path("ab.txt"));
    EXPECT_EQ(f.LoadFileToString("|"), "a|b||");
    EXPECT_TRUE(f.isOpen());  // left open, as callers expect
    f.closeFile();
}

TEST_F(FileIOTest, ExistsAndClear) {
    env.writeFile("plain.txt", "x");
    env.writeFile(".hidden", "x");
    QDir().mkpath(env.path("folder"));
    cFileIO f;
    f.init(env.path("plain.txt"));
    EXPECT_TRUE(f.Exists());
    f.Clear();
    EXPECT_FALSE(f.Exists());
    f.Clear();  // a missing file is no error
    f.init(env.path(".hidden"));
    EXPECT_FALSE(f.Exists());
    f.init(env.path("folder"));
    EXPECT_FALSE(f.Exists());
    f.init("/dev/null");
    EXPECT_FALSE(f.Exists());
}

TEST_F(FileIOTest, WaitUntilFileCanBeOpened) {
    env.writeFile("ready.txt", "x");
    cFileIO f;
    f.init(env.path("ready.txt"));
    EXPECT_TRUE(f.waitUntilFileCanBeOpened(5));

    // A file that never opens: the clock moves on a second per look, so the wait ends.
    QDateTime t(QDate(2024, 1, 1), QTime(23, 59, 58));
    platform::SetClock([&t] { return t = t.addSecs(1); });
    QDir().mkpath(env.path("never"));
    f.init(env.path("never"));
    EXPECT_FALSE(f.waitUntilFileCanBeOpened(3));  // also across midnight
}

TEST_F(FileIOTest, UnknownModeKeepsTheFileItHeld) {
    cFileIO f;
    f.init(env.path("kept.txt"));
    f.openFile("APPEND");
    f.printLine("before");
    boxes.answer(platform::Answer::OK);
    f.openFile("READ");
    f.printLine("after");
    f.closeFile();
    EXPECT_EQ(boxes.count(), 1);
    EXPECT_EQ(env.readFile("kept.txt"), "before\r\nafter\r\n");
}

TEST_F(FileIOTest, LinesThatAreNotUtf8ComeBackAsTheSameBytes) {
    cFileIO f;
    f.init(env.path("latin.txt"));
    f.appendLine(platform::TextFromBytes("caf\xe9 \xff"));
    EXPECT_EQ(ReadBytes(env.path("latin.txt")), QByteArray("caf\xe9 \xff\r\n"));
    f.openFile("INPUT");
    EXPECT_EQ(platform::BytesFromText(f.getLine()), QByteArray("caf\xe9 \xff"));
    f.closeFile();
}

TEST_F(FileIOTest, WriteOnAFullDiskIsLoggedAlsoWhenSilent) {
    FullDisk disk;
    if (!disk.mounted()) GTEST_SKIP() << "a tmpfs cannot be mounted here";
    disk.fill();
    cFileIO f;
    f.init(disk.path("copied.txt"));
    f.appendLine("/home/anna/a.txt", true);
    EXPECT_EQ(boxes.count(), 0);
    EXPECT_TRUE(env.readFile("corvex.log")
                    .contains(",cFileIO - An error occurred writing to the file " + disk.path("copied.txt") + "\r\n"));
}
