#include "foundation/ShellLauncher.h"
#include "platform/Process.h"
#include "support/OpenedDocuments.h"
#include "support/ScriptedBoxes.h"
#include "support/TestEnvironment.h"

#include <gtest/gtest.h>
#include <QDir>

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
