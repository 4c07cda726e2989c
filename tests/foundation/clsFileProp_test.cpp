#include "foundation/clsFileProp.h"
#include "support/PeFile.h"
#include "support/ScriptedBoxes.h"
#include "support/TestEnvironment.h"

#include <QDir>
#include <QFile>
#include <QLocale>
#include <QTimeZone>

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <cstdlib>
#include <ctime>

namespace {
class FilePropTest : public ::testing::Test {
protected:
    clsFileProp read(const QString& name) {
        clsFileProp p;
        p.FindFileInfo(env.path(name), false);
        return p;
    }
    TestEnvironment env;
    ScriptedBoxes boxes;
};

struct Flags {
    bool readOnly, hidden, system, directory, normal;
};
}  // namespace

TEST_F(FilePropTest, SizeTextGroupsDigitsAndShowsNothingForZero) {
    env.writeFile("empty.txt", "");
    EXPECT_EQ(read("empty.txt").ByteSize(), " bytes");

    QFile big(env.path("big.bin"));
    ASSERT_TRUE(big.open(QIODevice::WriteOnly));
    if (!big.resize(5000000000LL)) GTEST_SKIP() << "no room for a sparse 5 GB file here";
    big.close();
    const QString sep = QLocale::system().groupSeparator();
    EXPECT_EQ(read("big.bin").ByteSize(), "5" + sep + "000" + sep + "000" + sep + "000 bytes");
    EXPECT_EQ(read("big.bin").FileName(), env.path("big.bin").toUpper());
}

TEST_F(FilePropTest, TimesAreTheFileSystemsUtcTimesInAnyTimeZone) {
    const QByteArray oldTz = qgetenv("TZ");
    qputenv("TZ", "NZST-12NZDT");  // far from UTC, with summer time
    tzset();
    env.writeFile("a.txt", "x");
    QFile f(env.path("a.txt"));
    ASSERT_TRUE(f.open(QIODevice::ReadWrite));
    const QDateTime written(QDate(2003, 7, 4), QTime(13, 4, 5), QTimeZone::utc());
    ASSERT_TRUE(f.setFileTime(written, QFileDevice::FileModificationTime));
    ASSERT_TRUE(f.setFileTime(written, QFileDevice::FileAccessTime));
    f.close();

    const clsFileProp p = read("a.txt");
    EXPECT_EQ(p.LastWriteTime(), "2003-7-4 at 13:4:5");
    EXPECT_EQ(p.GetDateModified(), "2003-07-04 13:04:05");
    EXPECT_EQ(p.GetDateAccessed(), "2003-07-04");
    EXPECT_FALSE(p.GetDateCreated().isEmpty());
    const QString report = p.GetAllFileInfo();
    EXPECT_TRUE(report.contains(
        "Last Written on = " + QLocale::system().toString(QDate(2003, 7, 4), QStringLiteral("dd-MMM-yyyy (ddd)")) +
        " at 13:04:05  Last Accessed on= "))
        << report.toStdString();
    EXPECT_TRUE(report.endsWith("Hidden          = False\r\nCompress        = False\r\n"));
    EXPECT_EQ(report.count("\r\n"), 13);
    if (oldTz.isNull())
        qunsetenv("TZ");
    else
        qputenv("TZ", oldTz);
    tzset();
}

TEST_F(FilePropTest, FlagsFollowPermissionNameAndKind) {
    env.writeFile("plain.txt", "x");
    env.writeFile(".hidden.txt", "x");
    QFile::setPermissions(env.path(".hidden.txt"), QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther);
    QDir(env.folder()).mkdir("folder");
    ASSERT_EQ(::mkfifo(QFile::encodeName(env.path("pipe")).constData(), 0644), 0);
    const std::vector<std::pair<const char*, Flags>> cases = {
        {"plain.txt", {false, false, false, false, true}},
        {".hidden.txt", {true, true, false, false, false}},
        {"folder", {false, false, false, true, false}},
        {"pipe", {false, false, true, false, false}},
    };
    for (const auto& [name, want] : cases) {
        const clsFileProp p = read(name);
        EXPECT_EQ(p.ReadOnly(), want.readOnly) << name;
        EXPECT_EQ(p.Hidden(), want.hidden) << name;
        EXPECT_EQ(p.System(), want.system) << name;
        EXPECT_EQ(p.Directory(), want.directory) << name;
        EXPECT_EQ(p.Normal(), want.normal) << name;
        EXPECT_FALSE(p.Archive() || p.Temporary()) << name;
    }
    EXPECT_EQ(boxes.count(), 0);
}

TEST_F(FilePropTest, VersionStringsComeFromTheResourceAndStayWhenTheNextFileHasNone) {
    WriteBytes(env.path("tool.exe"), pefile::withVersion({{"CompanyName", "Tamsel Software"},
                                                          {"FileDescription", "Backup tool"},
                                                          {"FileVersion", "3.0.1"},
                                                          {"InternalName", "corvex"},
                                                          {"LegalCopyright", QString::fromUtf8("© 2003")},
                                                          {"OriginalFilename", "corvex.exe"},
                                                          {"ProductName", "Corvex-Pro"},
                                                          {"ProductVersion", "3.0"}}));
    env.writeFile("notes.txt", "no version here");
    clsFileProp p;
    p.FindFileInfo(env.path("tool.exe"), false);
    p.FindFileInfo(env.path("notes.txt"), false);
    EXPECT_EQ(p.CompanyName(), "Tamsel Software");
    EXPECT_EQ(p.FileDescription(), "Backup tool");
    EXPECT_EQ(p.FileVersion(), "3.0.1");
    EXPECT_EQ(p.InternalName(), "corvex");
    EXPECT_EQ(p.LegalCopyright(), QString::fromUtf8("© 2003"));
    EXPECT_EQ(p.OriginalFileName(), "corvex.exe");
    EXPECT_EQ(p.ProductName(), "Corvex-Pro");
    EXPECT_EQ(p.ProductVersion(), "3.0");
    EXPECT_EQ(p.FileName(), env.path("notes.txt").toUpper()) << "the second read did take place";
    EXPECT_TRUE(read("notes.txt").CompanyName().isEmpty());
}

TEST_F(FilePropTest, TypeNameAndOneIconIndexPerIconForTheWholeProcess) {
    env.writeFile("a.txt", "x");
    env.writeFile("b.txt", "y");
    QDir(env.folder()).mkdir("folder");
    const clsFileProp a = read("a.txt");
    EXPECT_FALSE(a.FileType().isEmpty());
    EXPECT_EQ(read("b.txt").IconIndex(), a.IconIndex());
    EXPECT_NE(read("folder").IconIndex(), a.IconIndex());
}

TEST_F(FilePropTest, AFileThatCannotBeOpenedIsReportedAndChangesNothing) {
    env.writeFile("a.txt", "12345");
    clsFileProp p;
    p.FindFileInfo(env.path("a.txt"), false);
    boxes.answer(platform::Answer::OK);
    EXPECT_EQ(p.FindFileInfo(env.path("gone.txt"), true), 0);
    ASSERT_EQ(boxes.count(), 1);
    EXPECT_EQ(boxes.last().text, "Can't open the file");
    EXPECT_EQ(boxes.last().icon, platform::Icon::Exclamation);
    EXPECT_EQ(p.ByteSize(), "5 bytes");
    EXPECT_EQ(p.FileName(), env.path("a.txt").toUpper());

    EXPECT_EQ(p.FindFileInfo("", false), 0);
    EXPECT_EQ(boxes.count(), 1) << "an empty name reads nothing and says nothing";
    clsFileProp never;
    EXPECT_EQ(never.GetDateCreated(), "");
    EXPECT_EQ(never.GetDateAccessed(), "");
}
