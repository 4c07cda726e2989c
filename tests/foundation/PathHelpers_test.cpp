#include "foundation/PathHelpers.h"
#include "foundation/ShellLauncher.h"
#include "platform/Process.h"
#include "support/OpenedDocuments.h"
#include "support/ScriptedBoxes.h"
#include "support/TestEnvironment.h"

#include <gtest/gtest.h>
#include <QDir>

TEST(PathHelpers, SplitAndJoin) {
    EXPECT_EQ(GetFileNameFromPath("/a/b.txt"), "b.txt");
    EXPECT_EQ(GetFileNameFromPath("b.txt"), "");
    EXPECT_EQ(GetFileNameFromPath("/a/"), "");
    EXPECT_EQ(GetFolderFromPath("/a/b.txt"), "/a/");
    EXPECT_EQ(GetFolderFromPath("b.txt"), "");
    QString folder;
    EXPECT_EQ(JoinPath(folder, "x.txt"), "/x.txt");
    EXPECT_EQ(folder, "/");
    QString f2 = "/data/";
    EXPECT_EQ(JoinPath(f2, "x.txt"), "/data/x.txt");
    EXPECT_EQ(f2, "/data/");
}

TEST(PathHelpers, TrimNullAndPadRight) {
    EXPECT_EQ(TrimNull(QString("abc") + QChar(0) + "def"), "abc");
    EXPECT_EQ(TrimNull("abc"), "abc");
    QString s = "abc";
    EXPECT_EQ(PadRight(s, 5), "abc   ");
    EXPECT_EQ(s, "abc   ");
    QString longer = "abcdefg";
    EXPECT_EQ(PadRight(longer, 5), "abcdefg");
    QString empty;
    EXPECT_EQ(PadRight(empty, 0), " ");
}

namespace {
class LauncherTest : public ::testing::Test {
protected:
    TestEnvironment env;
    ScriptedBoxes boxes;
    OpenedDocuments docs;
};
}  // namespace

TEST_F(LauncherTest, EmptyNameDoesNothing) {
    LaunchFile("");
    EXPECT_TRUE(docs.opened.isEmpty());
    EXPECT_EQ(boxes.count(), 0);
    EXPECT_FALSE(QFile::exists(env.path("corvex.log")));
}

TEST_F(LauncherTest, SuccessIsQuiet) {
    LaunchFile(env.path("corvex.html"));
    EXPECT_EQ(docs.opened, QStringList{env.path("corvex.html")});
    EXPECT_EQ(boxes.count(), 0);
    EXPECT_FALSE(QFile::exists(env.path("corvex.log")));
}

TEST_F(LauncherTest, FailuresAreLoggedAndShown) {
    const struct {
        int code;
        QString text;
    } cases[] = {{2, "File not found\r\n/x/doc.txt"},
                 {11, "Invalid EXE file or error in EXE image"},
                 {31, "No association for file extension"},
                 {0, "Unknown error"}};
    for (const auto& c : cases) {
        docs.result = c.code;
        boxes.answer(platform::Answer::OK);
        LaunchFile("/x/doc.txt");
        EXPECT_EQ(boxes.last().text, c.text);
        EXPECT_EQ(boxes.last().icon, platform::Icon::None);
    }
    EXPECT_EQ(env.readLines("corvex.log").size(), 4);
    EXPECT_TRUE(env.readLines("corvex.log").value(0).endsWith(",Failed to ShellExecute '/x/doc.txt'"));
}

TEST(OpenDocument, MissingFileAndProgramStart) {
    EXPECT_EQ(platform::OpenDocument("/no/such/file.txt"), platform::OpenResult::FileNotFound);
    TestEnvironment env;
    // A program file that cannot be executed (not a valid binary or script).
    WriteBytes(env.path("broken"), QByteArray("\x7f"
                                              "ELF garbage"));
    QFile(env.path("broken")).setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    EXPECT_EQ(platform::OpenDocument(env.path("broken")), platform::OpenResult::BadExecutable);
    // A real program starts.
    WriteBytes(env.path("ok.sh"), "#!/bin/sh\nexit 0\n");
    QFile(env.path("ok.sh")).setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    EXPECT_EQ(platform::OpenDocument(env.path("ok.sh")), platform::OpenResult::Started);
}

TEST(CanWriteToFolder, WritesTheTestFileAndAddsTheSeparator) {
    TestEnvironment env;
    ScriptedBoxes boxes;
    QString folder = env.folder();
    EXPECT_TRUE(CanWriteToFolder(folder));
    EXPECT_EQ(folder, env.folder() + "/");
    EXPECT_EQ(env.readFile("corvex.tmp"),
              "this is a temp file to check the datapath   \r\n"
              "You can delete it to save space (wow - 100 bytes!)\r\n\r\n");
    QString blank = "   ";
    EXPECT_FALSE(CanWriteToFolder(blank));
    EXPECT_EQ(boxes.count(), 0);
}

TEST(CanWriteToFolder, FailureIsLoggedAndShown) {
    TestEnvironment env;
    ScriptedBoxes boxes;
    boxes.answer(platform::Answer::OK);
    env.writeFile("afile", "x");
    QString folder = env.path("afile");  // a path under a regular file cannot hold files
    EXPECT_FALSE(CanWriteToFolder(folder));
    ASSERT_EQ(boxes.count(), 1);
    EXPECT_EQ(boxes.last().title, "Problem writing to Directory");
    EXPECT_EQ(boxes.last().icon, platform::Icon::Critical);
    EXPECT_EQ(boxes.last().text, "There was an error writing to the directory '" + folder +
                                     "' \r\nIt may not exist, or you may not have write permissions to it.\r\n"
                                     "Another reason could be that the temporary file \r\n(" +
                                     folder + "corvex.tmp)\r\n is in use by another application.");
    EXPECT_TRUE(
        env.readFile("corvex.log").contains("There was an error creating the file in the directory '" + folder + "' "));
}

TEST(BrowseForFolder, GoesThroughTheFolderDialogSeam) {
    ScriptedBoxes boxes;
    boxes.reply("/chosen");
    EXPECT_EQ(BrowseForFolder(nullptr, "Pick one", 0, 19), "/chosen");
    EXPECT_EQ(boxes.last().kind, platform::BoxRequest::Kind::Folder);
    EXPECT_EQ(boxes.last().text, "Pick one");
    boxes.reply("");
    EXPECT_EQ(BrowseForFolder(nullptr, "Pick one", 0, 0), "");
    EXPECT_EQ(boxes.last().defaultText, "/");
}
