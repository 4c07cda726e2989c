// The link rule for the settings file and the folder lists: run as root, a
// link root does not own, on the file's own chain or on a folder on the way,
// is neither read from nor saved through; root's own links are followed, and
// an ordinary user's run follows every link.
#include "foundation/IniFile.h"
#include "foundation/ListFiles.h"
#include "support/AsOrdinaryUser.h"
#include "support/TestEnvironment.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {


const QByteArray kSettings = "[general]\r\nbackupTo=/b/\r\n";
const QByteArray kList = "/home/anna/\r\n";

QByteArray encoded(const QString& path) { return QFile::encodeName(path); }

// Where the link stands on the way to the file.
enum class Place {
    TheFileItself,      // program/corvex.ini is a link to kept/corvex.ini
    AFolderOnTheWay,    // via is a link to kept, the file read as via/corvex.ini
    RootsLinkIntoHers,  // program/corvex.ini is root's link to home/corvex.ini, a link to kept/corvex.ini
};

// A folder tree every user may enter and write, with the real files in kept/.
class Area {
public:
    Area() {
        ::chmod(encoded(dir.path()).constData(), 0777);
        for (const char* folder : {"kept", "program", "home"}) {
            QDir().mkpath(path(folder));
            ::chmod(encoded(path(folder)).constData(), 0777);
        }
        ::chown(encoded(path("home")).constData(), kAnna, kAnna);
    }
    QString path(const QString& relative) const { return dir.path() + '/' + relative; }

    // Puts name in kept/ holding data and gives the path that reaches it with
    // the link at place owned by owner; refused names that link.
    QString reach(Place place, const QString& name, const QByteArray& data, uid_t owner, QString& refused) {
        WriteBytes(path("kept/" + name), data);
        ::chmod(encoded(path("kept/" + name)).constData(), 0666);
        switch (place) {
        case Place::TheFileItself:
            refused = link(path("kept/" + name), path("program/" + name), owner);
            return path("program/" + name);
        case Place::AFolderOnTheWay:
            // The second file reached this way finds the link in place.
            if (!QFileInfo(path("via")).isSymLink()) link(path("kept"), path("via"), owner);
            refused = path("via");
            return path("via/" + name);
        case Place::RootsLinkIntoHers:
            refused = link(path("kept/" + name), path("home/" + name), owner);
            link(path("home/" + name), path("program/" + name), 0);
            return path("program/" + name);
        }
        return {};
    }

private:
    static QString link(const QString& target, const QString& at, uid_t owner) {
        EXPECT_EQ(::symlink(encoded(target).constData(), encoded(at).constData()), 0) << at.toStdString();
        EXPECT_EQ(::lchown(encoded(at).constData(), owner, owner), 0);
        return at;
    }
    QTemporaryDir dir;
};

// What one run did with the settings file and the list: each read and save
// that went through the links sets its bit.
enum Reached { SettingsRead = 1, SettingsSaved = 2, ListRead = 4, ListSaved = 8, AllReached = 15 };

int readAndSave(const QString& settings, const QString& list) {
    int reached = 0;
    if (ReadIni(settings, "general", "backupTo") == "/b/") reached |= SettingsRead;
    if (WriteIniChecked("general", "backupTo", "/new/", settings)) reached |= SettingsSaved;
    QStringList lines;
    if (ReadListFile(list, lines) == ListFileLoad::Loaded && lines == QStringList{"/home/anna/"}) reached |= ListRead;
    QString why;
    if (WriteListFile(list, {"/new/"}, &why, platform::LinkRule::SaveThrough)) reached |= ListSaved;
    return reached;
}

}  // namespace

TEST(SettingsLinkRule, RootFollowsOnlyItsOwnLinksAndAnOrdinaryUserEveryLink) {
    if (::geteuid() != 0) GTEST_SKIP() << "needs root: the rule refuses links only for a run as root";
    for (const Place place : {Place::TheFileItself, Place::AFolderOnTheWay, Place::RootsLinkIntoHers}) {
        for (const LinkRun& run : kLinkRuns) {
            SCOPED_TRACE(std::string(run.name) + ", place " + std::to_string(int(place)));
            TestEnvironment env;
            Area area;
            QString settingsLink;
            QString listLink;
            const QString settings = area.reach(place, "corvex.ini", kSettings, run.owner, settingsLink);
            const QString list = area.reach(place, "MyPaths.txt", kList, run.owner, listLink);
            const int reached = run.runner == 0
                                    ? readAndSave(settings, list)
                                    : ExitStatusAs(run.runner, run.runner, [&] { return readAndSave(settings, list); });
            EXPECT_EQ(reached, run.followed ? int(AllReached) : 0);
            EXPECT_EQ(ReadBytes(area.path("kept/corvex.ini")),
                      run.followed ? QByteArray("[general]\r\nbackupTo=/new/\r\n") : kSettings);
            EXPECT_EQ(ReadBytes(area.path("kept/MyPaths.txt")), run.followed ? QByteArray("/new/\r\n") : kList);
            if (run.followed) continue;
            // Each refusal is a level-0 line that names the link and its owner.
            const QString owner = " is a link owned by " + QString::number(run.owner);
            const QString log = env.readFile("corvex.log");
            EXPECT_TRUE(
                log.contains(",ReadIni : Cant read the settings file '" + settings + "' - " + settingsLink + owner))
                << log.toStdString();
            EXPECT_TRUE(log.contains(",Cant write the setting [general] backupTo to the settings file '" + settings +
                                     "' - " + settingsLink + owner));
            EXPECT_TRUE(log.contains(",LoadFileToListBox : cant read " + list + " - " + listLink + owner));
        }
    }
}

TEST(SettingsLinkRule, SettingsThatRootMayNotReadAreToldOnce) {
    if (::geteuid() != 0) GTEST_SKIP() << "needs root: the rule refuses links only for a run as root";
    TestEnvironment env;
    Area area;
    QString refused;
    const QString settings = area.reach(Place::TheFileItself, "corvex.ini", kSettings, kAnna, refused);
    EXPECT_TRUE(SettingsFileRefused(settings));
    for (const char* key : {"backupTo", "backupType", "keepPaths"}) EXPECT_EQ(ReadIni(settings, "general", key), "");
    // The start's line, then one for the reads: not one for every value.
    const QString why = refused + " is a link owned by " + QString::number(kAnna);
    const QString log = env.readFile("corvex.log");
    EXPECT_EQ(log.count("Cant use the settings file '" + settings + "' - " + why), 1);
    EXPECT_EQ(log.count(why), 2);
    // Root's own settings file is no refusal.
    EXPECT_FALSE(SettingsFileRefused(area.reach(Place::TheFileItself, "root.ini", kSettings, 0, refused)));
}
