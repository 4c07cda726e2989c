#include "foundation/IniFile.h"
#include "support/AsOrdinaryUser.h"
#include "support/FullDisk.h"
#include "support/TestEnvironment.h"

#include <gtest/gtest.h>
#include <QDir>

#include <sys/stat.h>

namespace {
class IniFileTest : public ::testing::Test {
protected:
    // The settings file must still hold old, and the program log one level-0
    // line (threshold 0) naming the file and the reason.
    void expectKept(const QString& file, const QByteArray& old, const QString& reason) {
        EXPECT_EQ(ReadBytes(file), old);
        const QStringList log = env.readLines("corvex.log");
        ASSERT_EQ(log.size(), 1);
        EXPECT_TRUE(log[0].contains(",WriteIni : Cant write the settings file '" + file + "' - " + reason))
            << log[0].toStdString();
    }
    TestEnvironment env;
    QString ini = env.ini();
    const QByteArray old = "[general]\r\nbackupTo=/b/\r\ndateOfLastBackup=2003-04-01 08:00:00\r\n";
};
}  // namespace

TEST_F(IniFileTest, WrittenValuesReadBackUnchanged) {
    WriteIni("general", "backupTo", "/home/anna/Backup/", ini);
    WriteIni("general", "backupType", "3", ini);
    WriteIni("Plandel", "dataPath", "/opt/tamsel/plandel", ini);
    EXPECT_EQ(ReadIni(ini, "general", "backupTo"), "/home/anna/Backup/");
    EXPECT_EQ(ReadIni(ini, "general", "backupType"), "3");
    EXPECT_EQ(ReadIni(ini, "Plandel", "dataPath"), "/opt/tamsel/plandel");
    // Every line ends in CR LF.
    EXPECT_EQ(
        env.readFile("corvex.ini"),
        "[general]\r\nbackupTo=/home/anna/Backup/\r\nbackupType=3\r\n[Plandel]\r\ndataPath=/opt/tamsel/plandel\r\n");
}

TEST_F(IniFileTest, NamesMatchWithoutRegardToCase) {
    env.writeFile("corvex.ini", "[Plandel]\r\ndataPath=/data\r\n[General]\r\nRunSilently=1\r\n");
    EXPECT_EQ(ReadIni(ini, "plandel", "datapath"), "/data");
    EXPECT_EQ(ReadIni(ini, "GENERAL", "runSilently"), "1");
    // A write under another spelling replaces the existing key in place.
    WriteIni("general", "RUNSILENTLY", "0", ini);
    EXPECT_EQ(ReadIni(ini, "general", "runSilently"), "0");
    EXPECT_EQ(env.readLines("corvex.ini").size(), 4);
}

TEST_F(IniFileTest, ValuesAreTrimmedAndEmptyValuesReadAsMissing) {
    env.writeFile("corvex.ini", "[general]\nbackupTo =   /b/ c  \nstartupDelay=\nx=a=b\n");
    EXPECT_EQ(ReadIni(ini, "general", "backupTo"), "/b/ c");
    EXPECT_EQ(ReadIni(ini, "general", "startupDelay"), "");
    EXPECT_EQ(ReadIni(ini, "general", "missing"), "");
    EXPECT_EQ(ReadIni(ini, "nosection", "backupTo"), "");
    EXPECT_EQ(ReadIni(ini, "general", "x"), "a=b");  // the value follows the first "="
}

TEST_F(IniFileTest, WritesKeepCommentsUnknownKeysAndLinesOutsideSections) {
    env.writeFile("corvex.ini",
                  "; settings\r\nstray line\r\n[general]\r\n; keep me\r\nunknown=1\r\ntitle=Old\r\n\r\n"
                  "[Plandel]\r\ndataPath=/p\r\n");
    WriteIni("general", "title", "CorvexPro", ini);
    WriteIni("general", "keepPaths", "1", ini);
    WriteIni("Plandel", "extra", "x", ini);
    EXPECT_EQ(
        env.readFile("corvex.ini"),
        "; settings\r\nstray line\r\n[general]\r\n; keep me\r\nunknown=1\r\ntitle=CorvexPro\r\nkeepPaths=1\r\n\r\n"
        "[Plandel]\r\ndataPath=/p\r\nextra=x\r\n");
}

TEST_F(IniFileTest, MissingFileIsCreatedAndMissingFolderIsLogged) {
    const QString fresh = env.path("sub/new.ini");
    EXPECT_EQ(WriteIni("general", "a", "1", fresh), 0);  // folder missing: nothing written
    EXPECT_FALSE(QFile::exists(fresh));
    EXPECT_TRUE(env.readFile("corvex.log").contains(",WriteIni : Cant write the settings file '" + fresh + "' - "));
    EXPECT_EQ(ReadIni(fresh, "general", "a"), "");
    QDir().mkpath(env.path("sub"));
    WriteIni("general", "a", "1", fresh);
    EXPECT_EQ(ReadIni(fresh, "general", "a"), "1");
}

TEST_F(IniFileTest, WriteOverAFolderFailsWithoutHarm) {
    QDir().mkpath(env.path("corvex.ini"));  // a folder where the file should be
    EXPECT_EQ(WriteIni("general", "a", "1", ini), 0);
    EXPECT_EQ(ReadIni(ini, "general", "a"), "");
    EXPECT_TRUE(QFileInfo(ini).isDir());
}

TEST_F(IniFileTest, ByteOrderMarkAndBrokenLinesDoNotHideSettings) {
    WriteBytes(ini,
               "\xEF\xBB\xBF[general]\r\nbackupTo=/b/\r\n[broken\r\n=novalue\r\n\x01\x02garbage\r\nbackupType=2\r\n");
    EXPECT_EQ(ReadIni(ini, "general", "backupTo"), "/b/");
    EXPECT_EQ(ReadIni(ini, "general", "backupType"), "2");
    WriteIni("general", "backupTo", "/c/", ini);
    EXPECT_EQ(ReadIni(ini, "general", "backupTo"), "/c/");
    // The byte-order mark is part of the first line, kept like every other byte.
    EXPECT_TRUE(ReadBytes(ini).startsWith("\xEF\xBB\xBF[general]\r\nbackupTo=/c/\r\n"));
}

TEST_F(IniFileTest, LongValuesAreCutTo31999Characters) {
    const QString big(40000, 'x');
    WriteIni("general", "big", big, ini);
    EXPECT_EQ(ReadIni(ini, "general", "big").size(), 31999);
}

TEST_F(IniFileTest, MissingKeyLeavesNoTraceInTheLog) {
    EXPECT_EQ(ReadIni(ini, "general", "nothing"), "");
    EXPECT_FALSE(QFile::exists(env.path("corvex.log")));
}

// ---- A write that fails keeps the old settings file and says so.

TEST_F(IniFileTest, FullDiskKeepsTheOldFileAndRemovesTheTemporaryFile) {
    FullDisk disk;
    if (!disk.mounted()) GTEST_SKIP() << "a tmpfs cannot be mounted here";
    const QString file = disk.path("corvex.ini");
    WriteBytes(file, old);
    disk.fill();
    WriteIni("general", "dateOfLastBackup", "2003-04-28 14:05:30", file);
    expectKept(file, old, "No space left on device");
    EXPECT_EQ(disk.names(), (QStringList{"corvex.ini", "filler"}));
    EXPECT_EQ(ReadIni(file, "general", "dateOfLastBackup"), "2003-04-01 08:00:00");
}

TEST_F(IniFileTest, ReadOnlySettingsFileIsNeverReplaced) {
    WriteBytes(ini, old);
    ASSERT_EQ(::chmod(QFile::encodeName(ini).constData(), 0444), 0);
    WriteIni("general", "dateOfLastBackup", "2003-04-28 14:05:30", ini);
    expectKept(ini, old, "The file is read-only");
}

TEST_F(IniFileTest, SettingsFileThatCannotBeReadIsNeverReplaced) {
    WriteBytes(ini, old);
    // Only the owner may write it, nobody may read it; the folder is open to all.
    ASSERT_EQ(::chmod(QFile::encodeName(env.folder()).constData(), 0777), 0);
    ASSERT_EQ(::chmod(QFile::encodeName(ini).constData(), 0200), 0);
    {
        AsOrdinaryUser user;
        EXPECT_EQ(ReadIni(ini, "general", "backupTo"), "");
        WriteIni("general", "dateOfLastBackup", "2003-04-28 14:05:30", ini);
    }
    ASSERT_EQ(::chmod(QFile::encodeName(ini).constData(), 0600), 0);
    expectKept(ini, old, "Permission denied");
}

// ---- A rewrite keeps every other line as the bytes it was.

TEST_F(IniFileTest, RewriteKeepsEveryOtherLineByteForByte) {
    const QByteArray before =
        "; caf\xe9 - a comment in Latin-1\r\n"
        "[general]\n"
        "backupTo=/b/caf\xe9/\r\n"
        "unknown = \xff\xfe odd \r\n"
        "dateOfLastBackup=2003-04-01 08:00:00\r\n"
        "\r\n"
        "[Plandel]\r\n"
        "dataPath=/p";
    WriteBytes(ini, before);
    WriteIni("general", "dateOfLastBackup", "2003-04-28 14:05:30", ini);
    WriteIni("Plandel", "extra", "1", ini);
    // A value that is not UTF-8 is read and written back as the same bytes.
    WriteIni("general", "backupTo", ReadIni(ini, "general", "backupTo"), ini);
    EXPECT_EQ(ReadBytes(ini), QByteArray("; caf\xe9 - a comment in Latin-1\r\n"
                                         "[general]\n"
                                         "backupTo=/b/caf\xe9/\r\n"
                                         "unknown = \xff\xfe odd \r\n"
                                         "dateOfLastBackup=2003-04-28 14:05:30\r\n"
                                         "\r\n"
                                         "[Plandel]\r\n"
                                         "dataPath=/p\r\n"
                                         "extra=1\r\n"));
    EXPECT_FALSE(QFile::exists(env.path("corvex.log")));
}

TEST_F(IniFileTest, ManyValuesInOneSaveAsSingleWritesWouldLeaveThem) {
    WriteBytes(ini, "; note\r\n[GENERAL]\r\nbackupTo=/b/\r\nodd=\xff\r\n");
    const std::vector<platform::ProfileEntry> values{{"general", "BACKUPTO", "/c/"},
                                                     {"Plandel", "dataPath", "/p/"},
                                                     {"general", "backupType", "7"},
                                                     {"general", "backupType", "3"}};
    ASSERT_TRUE(WriteIniValues(ini, values));
    EXPECT_EQ(ReadBytes(ini), QByteArray("; note\r\n[GENERAL]\r\nBACKUPTO=/c/\r\nodd=\xff\r\nbackupType=3\r\n"
                                         "[Plandel]\r\ndataPath=/p/\r\n"));
    EXPECT_FALSE(QFile::exists(env.path("corvex.log")));
}
