// Every kind of file the programs write for themselves refuses a link or a
// FIFO planted in its place: the write fails and is reported, the link and
// the file it points to stay as they were, and nothing waits on the FIFO.
// The user's own settings and lists are saved through a link instead.
#include "foundation/FileRoutines.h"
#include "foundation/IniFile.h"
#include "foundation/ListFiles.h"
#include "foundation/Logging.h"
#include "foundation/cFileIO.h"
#include "platform/AppendFile.h"
#include "platform/FileStatus.h"
#include "platform/ProfileFile.h"
#include "platform/SaveFile.h"
#include "support/PlantedFile.h"
#include "support/ScriptedBoxes.h"
#include "support/TestEnvironment.h"

#include <QDir>
#include <QListWidget>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>

namespace {

// A writer of one kind of file: writes a line to the file named and tells
// whether the failure showed (a false result, or a level-0 line somewhere).
struct Writer {
    const char* kind;
    const char* fileName;
    std::function<bool(TestEnvironment&, const QString&)> refused;
};

bool logHas(TestEnvironment& env, const QString& log, const QString& text) { return env.readFile(log).contains(text); }

const Writer kWriters[] = {
    {"an append file (copied.txt)", "copied.txt",
     [](TestEnvironment&, const QString& path) {
         platform::AppendFile f;
         return !f.open(path) && !f.errorString().isEmpty();
     }},
    {"a list emptied first (_files.txt)", "_files.txt",
     [](TestEnvironment&, const QString& path) {
         platform::AppendFile f;
         return !f.open(path, true);
     }},
    {"the program log", "corvex.log",
     [](TestEnvironment& env, const QString&) {
         WriteLog("a line", 0);
         return logHas(env, "error.log", "LOGGING ERROR ");
     }},
    {"the program log kept open for a run", "corvex.log",
     [](TestEnvironment& env, const QString&) {
         const ProgramLogKeptOpen keptOpen;
         WriteLog("a line", 0);
         return logHas(env, "error.log", "LOGGING ERROR ");
     }},
    {"a named log (events.log)", "events.log",
     [](TestEnvironment& env, QString path) {
         WriteLogToFile(path, "a line", 1, 0);
         return logHas(env, "error.log", "PIM LOGGING ERROR ");
     }},
    {"a line appended (planner data)", "data.txt",
     [](TestEnvironment&, const QString& path) { return !AppendLineToFile(path, "a line"); }},
    {"cFileIO OUTPUT", "output.txt",
     [](TestEnvironment& env, const QString& path) {
         cFileIO f;
         f.init(path);
         f.openFile("OUTPUT");
         f.closeFile();
         return logHas(env, "corvex.log", "cFileIO - An error occurred opening the file " + path);
     }},
    {"cFileIO APPEND", "append.txt",
     [](TestEnvironment& env, const QString& path) {
         cFileIO f;
         f.init(path);
         f.appendLine("a line");
         return logHas(env, "corvex.log", "cFileIO - An error occurred opening the file " + path);
     }},
    {"the expanded folder list (folders.lis)", "folders.lis",
     [](TestEnvironment& env, const QString& path) {
         QListWidget list;
         list.addItem("/a/");
         return !SaveListboxToFile(&list, path) && logHas(env, "corvex.log", "while saving '" + path + "'");
     }},
    {"the retry list saved whole (failed.txt)", "failed.txt",
     [](TestEnvironment&, const QString& path) {
         QString why;
         return !platform::ReplaceFile(path, "/a.txt\r\n", &why) && !why.isEmpty();
     }},
};

// The user's own files, saved as a text editor saves them: through a link to
// the file it leads to, which is replaced whole; the link stays.
struct UserFileWriter {
    const char* kind;
    const char* fileName;
    std::function<bool(const QString&)> save;
    const char* saved;  // what the file holds afterwards
};

const UserFileWriter kUserFileWriters[] = {
    {"a setting (corvex.ini)", "corvex.ini",
     [](const QString& path) { return WriteIniChecked("general", "dateOfLastBackup", "2024-05-10 08:00:00", path); },
     "[general]\r\ndateOfLastBackup=2024-05-10 08:00:00\r\n"},
    {"settings saved together (corvex.ini)", "corvex.ini",
     [](const QString& path) {
         return WriteIniValues(path, {{"general", "backupTo", "/b/"}});
     },
     "[general]\r\nbackupTo=/b/\r\n"},
    {"a folder list (MyPaths.txt)", "MyPaths.txt",
     [](const QString& path) {
         QListWidget list;
         list.addItems({"/home/anna/*", "/srv/"});
         return SaveListboxToFile(&list, path, platform::LinkRule::SaveThrough);
     },
     "/home/anna/*\r\n/srv/\r\n"},
};

}  // namespace

TEST(WrittenFiles, ALinkOrFifoInThePlaceOfAnyWrittenFileIsRefused) {
    for (const Writer& writer : kWriters) {
        for (const Planted kind : {Planted::LinkToOutside, Planted::Fifo}) {
            SCOPED_TRACE(std::string(writer.kind) + " with " + PlantedName(kind) + " in its place");
            TestEnvironment env;
            ScriptedBoxes boxes;
            boxes.answerAllWith(platform::Answer::OK);
            const QString path = env.path(writer.fileName);
            PlantedFile planted(path, kind);
            ASSERT_TRUE(planted.made());
            bool refused = false;
            {
                FifoGuard guard(path);
                refused = writer.refused(env, path);
                EXPECT_FALSE(guard.fired()) << "the writer waited on the FIFO";
            }
            EXPECT_TRUE(refused);
            EXPECT_TRUE(planted.untouched());
        }
    }
}

TEST(WrittenFiles, TheUsersOwnFilesAreSavedThroughALinkAndRefuseAFifo) {
    for (const UserFileWriter& writer : kUserFileWriters) {
        SCOPED_TRACE(writer.kind);
        TestEnvironment env;
        ScriptedBoxes boxes;
        boxes.answerAllWith(platform::Answer::OK);
        const QString path = env.path(writer.fileName);
        {
            QTemporaryDir elsewhere;
            const QString target = elsewhere.filePath("kept-here.txt");
            WriteBytes(target, "");
            ASSERT_TRUE(QFile::link(target, path));
            EXPECT_TRUE(writer.save(path));
            EXPECT_TRUE(platform::IsSymbolicLink(path));
            EXPECT_EQ(ReadBytes(target), writer.saved);
            EXPECT_EQ(QDir(elsewhere.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"kept-here.txt"});
        }
        ASSERT_TRUE(QFile::remove(path));
        const PlantedFile planted(path, Planted::Fifo);
        ASSERT_TRUE(planted.made());
        bool saved = true;
        {
            FifoGuard guard(path);
            saved = writer.save(path);
            EXPECT_FALSE(guard.fired()) << "the save waited on the FIFO";
        }
        EXPECT_FALSE(saved);
        EXPECT_TRUE(planted.untouched());
        EXPECT_TRUE(env.readFile("corvex.log").contains(path)) << "the failure names the file";
    }
}

TEST(WrittenFiles, RegularFilesAndTheNullDeviceAreWritten) {
    TestEnvironment env;
    env.writeFile("list.txt", "old\r\n");
    EXPECT_TRUE(AppendLineToFile(env.path("list.txt"), "new"));
    EXPECT_EQ(env.readFile("list.txt"), "old\r\nnew\r\n");
    EXPECT_TRUE(AppendLineToFile(env.path("absent.txt"), "first"));
    EXPECT_EQ(env.readFile("absent.txt"), "first\r\n");
    // A run that lists nothing sends its lines to the null device.
    platform::AppendFile sink;
    ASSERT_TRUE(sink.open(QStringLiteral("/dev/null"), true));
    EXPECT_TRUE(sink.append("discarded\r\n"));
    // Any other device is not a file to write.
    platform::AppendFile device;
    EXPECT_FALSE(device.open(QStringLiteral("/dev/zero")));
    EXPECT_EQ(device.error(), platform::kNotARegularFile);
}

TEST(WrittenFiles, TheWriteTestOfAFolderRemovesALinkInPlaceOfItsFile) {
    TestEnvironment env;
    ScriptedBoxes boxes;
    const PlantedFile planted(env.path("corvex.tmp"), Planted::LinkToOutside);
    ASSERT_TRUE(planted.made());
    QString folder = env.folder();
    EXPECT_TRUE(CanWriteToFolder(folder));
    EXPECT_EQ(planted.outsideContent(), PlantedFile::kOutsideContent);
    EXPECT_TRUE(env.readFile("corvex.tmp").startsWith("this is a temp file"));
    EXPECT_EQ(boxes.count(), 0);
}
