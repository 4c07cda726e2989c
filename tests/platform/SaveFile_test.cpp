// Whole-file saves: the run's own files refuse a link at their name; the
// user's own files are saved through links as a text editor saves them.
#include "platform/SaveFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

QByteArray readAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<unreadable>");
}

void write(const QString& path, const QByteArray& data) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate)) << path.toStdString();
    ASSERT_EQ(f.write(data), data.size());
}

bool isLink(const QString& path) {
    struct stat st {};
    return ::lstat(QFile::encodeName(path).constData(), &st) == 0 && S_ISLNK(st.st_mode);
}

// The names in a folder, so that a temporary file left behind shows.
QStringList names(const QString& folder) {
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
}

class SaveFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        ASSERT_TRUE(QDir().mkpath(kept()));
        ASSERT_TRUE(QDir().mkpath(program()));
    }
    QString program() const { return dir.path() + "/program"; }
    QString kept() const { return dir.path() + "/kept"; }
    QTemporaryDir dir;
};

}  // namespace

TEST_F(SaveFileTest, TheUsersFileIsSavedThroughItsLinksAndTheLinksStay) {
    const struct {
        const char* name;
        QString linkTarget;    // what the link at program/settings.ini holds
        QString middle;        // a second link on the way, or empty
        QString middleTarget;  //
        QString savedFile;     // where the data must land
        bool targetExists;
    } cases[] = {
        {"absolute", kept() + "/a.ini", {}, {}, kept() + "/a.ini", true},
        {"relative", "../kept/b.ini", {}, {}, kept() + "/b.ini", true},
        {"chain of two", kept() + "/to-c.ini", kept() + "/to-c.ini", "c.ini", kept() + "/c.ini", true},
        {"target not made yet", kept() + "/new.ini", {}, {}, kept() + "/new.ini", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const QString link = program() + "/settings.ini";
        QFile::remove(link);
        if (c.targetExists) {
            write(c.savedFile, "old\r\n");
            ASSERT_EQ(::chmod(QFile::encodeName(c.savedFile).constData(), 0640), 0);
        }
        if (!c.middle.isEmpty()) {
            ASSERT_EQ(::symlink(QFile::encodeName(c.middleTarget).constData(), QFile::encodeName(c.middle).constData()),
                      0);
        }
        ASSERT_EQ(::symlink(QFile::encodeName(c.linkTarget).constData(), QFile::encodeName(link).constData()), 0);
        const QStringList keptBefore = names(kept());

        QString why;
        EXPECT_TRUE(platform::ReplaceFile(link, "new\r\n", &why, platform::LinkRule::SaveThrough)) << why.toStdString();
        EXPECT_TRUE(isLink(link));
        EXPECT_EQ(readAll(c.savedFile), "new\r\n");
        if (c.targetExists) {
            struct stat st {};
            ASSERT_EQ(::stat(QFile::encodeName(c.savedFile).constData(), &st), 0);
            EXPECT_EQ(st.st_mode & 07777, 0640u) << "the file keeps its permission bits";
        }
        // No temporary file is left in either folder.
        QStringList expected = keptBefore;
        if (!c.targetExists) expected = QStringList(expected) << QFileInfo(c.savedFile).fileName();
        expected.sort();
        EXPECT_EQ(names(kept()), expected);
        EXPECT_EQ(names(program()), QStringList{"settings.ini"});
    }
}

TEST_F(SaveFileTest, WhatALinkLeadsToMustStillBeAWritableRegularFile) {
    const QString folder = kept() + "/folder";
    ASSERT_TRUE(QDir().mkpath(folder));
    const QString fifo = kept() + "/fifo";
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    const QString readOnly = kept() + "/read-only.ini";
    write(readOnly, "old\r\n");
    ASSERT_EQ(::chmod(QFile::encodeName(readOnly).constData(), 0444), 0);
    const QString loop = kept() + "/loop";
    ASSERT_EQ(::symlink("loop", QFile::encodeName(loop).constData()), 0);
    const QString noFolder = kept() + "/missing-folder/x.ini";
    const struct {
        const char* name;
        QString target;
    } cases[] = {{"a folder", folder},
                 {"a FIFO", fifo},
                 {"a read-only file", readOnly},
                 {"a loop", loop},
                 {"no folder", noFolder}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const QString link = program() + "/settings.ini";
        QFile::remove(link);
        ASSERT_EQ(::symlink(QFile::encodeName(c.target).constData(), QFile::encodeName(link).constData()), 0);
        QString why;
        EXPECT_FALSE(platform::ReplaceFile(link, "new\r\n", &why, platform::LinkRule::SaveThrough));
        EXPECT_FALSE(why.isEmpty());
        EXPECT_TRUE(isLink(link));
        EXPECT_EQ(names(program()), QStringList{"settings.ini"});
    }
    EXPECT_EQ(readAll(readOnly), "old\r\n");
    EXPECT_EQ(names(kept()), (QStringList{"fifo", "folder", "loop", "read-only.ini"}));
}

TEST_F(SaveFileTest, TheRunsOwnFilesRefuseALinkAndLeaveItsTargetAlone) {
    const QString target = kept() + "/target.txt";
    write(target, "outside\n");
    const QString link = program() + "/failed.txt";
    ASSERT_EQ(::symlink(QFile::encodeName(target).constData(), QFile::encodeName(link).constData()), 0);
    QString why;
    EXPECT_FALSE(platform::ReplaceFile(link, "new\r\n", &why));
    EXPECT_FALSE(why.isEmpty());
    EXPECT_TRUE(isLink(link));
    EXPECT_EQ(readAll(target), "outside\n");
}
