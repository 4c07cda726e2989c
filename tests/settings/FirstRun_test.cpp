// The first start of the system on a new machine: the settings program's
// start-up finds no settings, shows the agreement (accepted here through the
// window's test hook), writes the defaults and the default list files; then
// the built backup program, run silently from the same folder, reads them and
// backs up without asking anything.
#include "foundation/IniFile.h"
#include "foundation/frmEULA.h"
#include "settings/frmConfigureCorvexPro.h"
#include "support/ScriptedBoxes.h"
#include "support/TestEnvironment.h"

#include <gtest/gtest.h>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QPushButton>

#include <algorithm>
#include <memory>

namespace {

// Sets an environment variable for the life of the object.
class ScopedEnv {
public:
    ScopedEnv(const char* name, const QByteArray& value)
        : m_name(name), m_had(qEnvironmentVariableIsSet(name)), m_old(qgetenv(name)) {
        qputenv(name, value);
    }
    ~ScopedEnv() {
        if (m_had)
            qputenv(m_name, m_old);
        else
            qunsetenv(m_name);
    }

private:
    const char* m_name;
    bool m_had;
    QByteArray m_old;
};

}  // namespace

TEST(FirstRun, SettingsProgramSetsUpAndBackupProgramRunsFromIt) {
    const QString corvex = QStringLiteral(CORVEX_BIN_DIR) + "/corvex";
    ASSERT_TRUE(QFileInfo(corvex).isExecutable()) << "build the corvex program first";

    TestEnvironment env("vantor");
    const QString home = env.path("home");
    ScopedEnv homeVar("HOME", home.toUtf8());
    ScopedEnv configVar("XDG_CONFIG_HOME", (home + "/.config").toUtf8());
    env.writeFile("home/My Documents/letter.txt", "Dear Anna");

    // The settings program's start-up, agreement accepted.
    ScriptedBoxes boxes;
    bool agreementShown = false;
    frmEULA::SetShownHook([&](frmEULA& f) {
        agreementShown = true;
        f.Command1->click();
    });
    auto form = std::make_unique<frmConfigureCorvexPro>();
    const bool shown = form->Form_Load(QString());
    frmEULA::SetShownHook({});
    ASSERT_TRUE(shown);
    EXPECT_TRUE(agreementShown);
    EXPECT_TRUE(form->isVisible());
    EXPECT_EQ(env.endCalls(), 0);

    const QString ini = env.ini();
    EXPECT_EQ(ReadIni(ini, "general", "title"), "CorvexPro");
    EXPECT_EQ(ReadIni(ini, "general", "runSilently"), "0");
    EXPECT_EQ(ReadIni(ini, "general", "keepPaths"), "1");
    EXPECT_EQ(ReadIni(ini, "general", "RecordToPlandel"), "1");
    EXPECT_EQ(ReadIni(ini, "Plandel", "dataPath"), env.folder());
    EXPECT_EQ(ReadIni(ini, "general", "backupTo"), home + "/Backup");
    EXPECT_EQ(ReadIni(ini, "general", "backupType"), "0");
    EXPECT_EQ(ReadIni(ini, "general", "ExcludedPathlist"), env.path("ExcludedPaths.txt"));
    EXPECT_EQ(ReadIni(ini, "general", "pathlist"), env.path("MyPaths.txt"));
    QStringList folders = env.readLines("MyPaths.txt");
    ASSERT_FALSE(folders.isEmpty());
    EXPECT_EQ(folders.first(), home + "/My Documents/*");
    EXPECT_EQ(env.readLines("ExcludedPaths.txt"), QStringList({"/tmp/", "/.cache/", "/Trash/"}));
    form.reset();

    // Keep the backup inside the test: drop the machine's own folders
    // ("/home", "/opt/tamsel") from the generated list, and point the
    // destination into the program folder.
    folders.erase(std::remove_if(folders.begin(), folders.end(),
                                 [&](const QString& f) { return !f.startsWith(env.folder() + '/'); }),
                  folders.end());
    env.writeFile("MyPaths.txt", folders.join("\r\n") + "\r\n");
    // The default excluded list holds "/tmp/", where the test's folder may lie:
    // keep only the fragments that do not hide the test's own files.
    QStringList excluded = env.readLines("ExcludedPaths.txt");
    excluded.removeIf([&](const QString& fragment) { return (env.folder() + '/').contains(fragment); });
    env.writeFile("ExcludedPaths.txt", excluded.join("\r\n") + "\r\n");
    WriteIni("general", "runSilently", "1", ini);
    WriteIni("general", "backupTo", env.path("backup"), ini);
    ASSERT_TRUE(QFile::copy(corvex, env.path("corvex")));

    QProcess run;
    QProcessEnvironment runEnv = QProcessEnvironment::systemEnvironment();
    runEnv.insert("QT_QPA_PLATFORM", "offscreen");
    run.setProcessEnvironment(runEnv);
    run.setProcessChannelMode(QProcess::ForwardedChannels);
    run.start(env.path("corvex"), {});
    ASSERT_TRUE(run.waitForStarted(10000));
    // A question would wait for an answer forever: a run that does not end in
    // time asked something.
    const bool ended = run.waitForFinished(60000);
    if (!ended) run.kill(), run.waitForFinished(5000);
    ASSERT_TRUE(ended) << "the silent run did not end by itself";
    EXPECT_EQ(run.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(run.exitCode(), 0);

    QStringList copies;
    for (QDirIterator it(env.path("backup"), {"letter.txt"}, QDir::Files, QDirIterator::Subdirectories); it.hasNext();)
        copies << it.next();
    ASSERT_EQ(copies.size(), 1) << "the default folder list was not backed up";
    EXPECT_EQ(ReadBytes(copies.first()), "Dear Anna");
    EXPECT_TRUE(copies.first().endsWith(home + "/My Documents/letter.txt")) << "keep-paths default";
    EXPECT_FALSE(ReadIni(ini, "general", "dateOfLastBackup").isEmpty());
    EXPECT_FALSE(env.readFile("corvex.log").contains("Cant find ini file"));
    EXPECT_EQ(boxes.count(), 0);
}
