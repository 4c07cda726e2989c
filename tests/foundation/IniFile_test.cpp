#include "foundation/IniFile.h"
#include "support/TestEnvironment.h"

#include <gtest/gtest.h>
#include <QDir>

namespace {
class IniFileTest : public ::testing::Test {
protected:
    TestEnvironment env;
    QString ini = env.ini();
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

TEST_F(IniFileTest, MissingFileIsCreatedAndMissingFolderIsNotReported) {
    const QString fresh = env.path("sub/new.ini");
    EXPECT_EQ(WriteIni("general", "a", "1", fresh), 0);  // folder missing: nothing written, no error
    EXPECT_FALSE(QFile::exists(fresh));
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
    EXPECT_TRUE(ReadBytes(ini).startsWith("[general]\r\nbackupTo=/c/\r\n"));
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
