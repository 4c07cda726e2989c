#include "settings/DefaultSettings.h"
#include "foundation/cFileIO.h"
#include "platform/SystemInfo.h"
#include "settings/SettingsValues.h"
#include "support/ScriptedBoxes.h"
#include "support/TestEnvironment.h"

#include <gtest/gtest.h>
#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

#include <sys/stat.h>

namespace {

// Points the home folder (and with it the documents folder) at a temporary
// folder for the life of the object.
class FakeHome {
public:
    FakeHome() : m_oldHome(qgetenv("HOME")), m_oldConfig(qgetenv("XDG_CONFIG_HOME")) {
        qputenv("HOME", m_home.path().toUtf8());
        qputenv("XDG_CONFIG_HOME", (m_home.path() + "/.config").toUtf8());
    }
    ~FakeHome() {
        qputenv("HOME", m_oldHome);
        if (m_oldConfig.isEmpty())
            qunsetenv("XDG_CONFIG_HOME");
        else
            qputenv("XDG_CONFIG_HOME", m_oldConfig);
    }
    QString path(const QString& name = {}) const { return name.isEmpty() ? m_home.path() : m_home.path() + '/' + name; }

private:
    QTemporaryDir m_home;
    QByteArray m_oldHome;
    QByteArray m_oldConfig;
};

// The candidates outside our control ("/home", "/opt/tamsel") as this
// machine has them.
QStringList fixedCandidateLines() {
    QStringList lines;
    for (const QString& c : {QStringLiteral("/home"), QStringLiteral("/opt/tamsel")})
        if (QFileInfo(c).isDir()) lines << c + "/*";
    return lines;
}

}  // namespace

TEST(DefaultSettings, NineSettingsInTheirOrder) {
    TestEnvironment env("vantor");
    FakeHome home;
    CreateDefaultIni(env.ini());
    const QString f = env.folder();
    EXPECT_EQ(env.readLines("corvex.ini"),
              QStringList({"[general]", "title=CorvexPro", "runSilently=0", "keepPaths=1", "RecordToPlandel=1",
                           "backupTo=" + home.path() + "/Backup", "backupType=0",
                           "ExcludedPathlist=" + f + "/ExcludedPaths.txt", "pathlist=" + f + "/MyPaths.txt",
                           "[Plandel]", "dataPath=" + f}));
    EXPECT_TRUE(env.readFile("corvex.ini").endsWith("\r\n"));
    EXPECT_EQ(PathListFile, f + "/MyPaths.txt");
    EXPECT_EQ(ExcludedPathListFile, f + "/ExcludedPaths.txt");
    const QStringList log = env.readLines("vantor.log");
    ASSERT_EQ(log.size(), 1);
    EXPECT_TRUE(log[0].endsWith(",Creating Default INI file"));
}

TEST(DefaultSettings, FolderListHoldsTheCandidatesThatExist) {
    TestEnvironment env("vantor");
    FakeHome home;
    EXPECT_EQ(DefaultFolderCandidates(),
              QStringList({home.path("My Documents"), home.path("Documents"), "/home", "/opt/tamsel"}));

    // Only the first candidate of the home folder exists; the documents folder does not.
    QDir().mkpath(home.path("My Documents"));
    CreateDefaultIni(env.ini());
    EXPECT_EQ(env.readLines("MyPaths.txt"), QStringList{home.path("My Documents") + "/*"} + fixedCandidateLines());
    EXPECT_TRUE(env.readFile("MyPaths.txt").endsWith("/*\r\n"));
    EXPECT_EQ(env.readLines("ExcludedPaths.txt"), QStringList({"/tmp/", "/.cache/", "/Trash/"}));
}

TEST(DefaultSettings, ExistingFolderListLeavesBothListsAlone) {
    TestEnvironment env("vantor");
    FakeHome home;
    QDir().mkpath(home.path("Documents"));
    env.writeFile("MyPaths.txt", "/srv/data/*\n");
    CreateDefaultIni(env.ini());
    EXPECT_EQ(env.readFile("MyPaths.txt"), "/srv/data/*\n");
    EXPECT_FALSE(QFileInfo::exists(env.path("ExcludedPaths.txt"))) << "a missing excluded list stays missing";
}

TEST(DefaultSettings, ExistingExcludedListIsKeptWhileFolderListIsWritten) {
    TestEnvironment env("vantor");
    FakeHome home;
    QDir().mkpath(home.path("Documents"));
    env.writeFile("ExcludedPaths.txt", "/mine/\r\n");
    CreateDefaultIni(env.ini());
    EXPECT_EQ(env.readLines("MyPaths.txt"), QStringList{home.path("Documents") + "/*"} + fixedCandidateLines());
    EXPECT_EQ(env.readFile("ExcludedPaths.txt"), "/mine/\r\n");
}

TEST(DefaultSettings, OnlyVisibleFoldersAndFilesCount) {
    TestEnvironment env("vantor");
    ScriptedBoxes boxes;  // any message would abort the test
    QTemporaryDir tree;
    QDir(tree.path()).mkpath("shown");
    QDir(tree.path()).mkpath(".hidden");
    WriteBytes(tree.path() + "/plain.txt", "x");
    ASSERT_EQ(mkfifo(QFile::encodeName(tree.path() + "/pipe").constData(), 0600), 0);

    cFileIO list;
    list.init(env.path("list.txt"));
    AddFolderIfExists(list, tree.path() + "/.hidden");
    AddFolderIfExists(list, tree.path() + "/pipe");
    AddFolderIfExists(list, tree.path() + "/missing");
    AddFolderIfExists(list, tree.path() + "/plain.txt/inside");
    EXPECT_FALSE(QFileInfo::exists(env.path("list.txt"))) << "nothing found, nothing written";

    AddFolderIfExists(list, tree.path() + "/shown");
    AddFolderIfExists(list, tree.path() + "/shown/");
    AddFolderIfExists(list, tree.path() + "/plain.txt");
    list.closeFile();
    EXPECT_EQ(env.readLines("list.txt"),
              QStringList({tree.path() + "/shown/*", tree.path() + "/shown/", tree.path() + "/plain.txt/*"}));
    EXPECT_EQ(boxes.count(), 0);
}
