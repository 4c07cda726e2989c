// One status call per path, and a folder's entries read in one pass.
#include "platform/FileStatus.h"
#include "support/AsOrdinaryUser.h"
#include "support/TestEnvironment.h"

#include <gtest/gtest.h>
#include <QDir>
#include <QFile>
#include <QMap>

#include <sys/stat.h>
#include <sys/types.h>
#include <unistd.h>

using platform::EntryKind;

namespace {

QByteArray encoded(const QString& path) { return QFile::encodeName(path); }

void makeFile(const QString& path, const QByteArray& bytes = {}) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly)) << path.toStdString();
    f.write(bytes);
}

// The entries of a folder as name -> kind; a kind the listing left open is
// asked of the path itself.
QMap<QString, EntryKind> entriesOf(const QString& folder) {
    platform::FolderEntries entries;
    EXPECT_TRUE(platform::ReadFolderEntries(folder, entries));
    QMap<QString, EntryKind> found;
    for (int i = 0; i < entries.size(); ++i) {
        EntryKind kind = entries.kind(i);
        const QByteArray path = encoded(folder + '/') + entries.name(i).toByteArray();
        if (kind == EntryKind::Unknown) kind = platform::GetEntryKind(path);
        EXPECT_EQ(entries.displayName(i), QFile::decodeName(entries.name(i).toByteArray()));
        EXPECT_FALSE(found.contains(entries.displayName(i))) << "listed twice";
        found.insert(entries.displayName(i), kind);
    }
    return found;
}

}  // namespace

TEST(FileStatus, FilesFoldersLinksAndOtherKinds) {
    TestEnvironment env;
    const QString dir = env.folder();
    makeFile(dir + "/five.txt", "12345");
    const QDateTime when(QDate(2023, 11, 2), QTime(23, 58, 7));
    {
        QFile f(dir + "/five.txt");
        ASSERT_TRUE(f.open(QIODevice::ReadWrite));
        ASSERT_TRUE(f.setFileTime(when, QFileDevice::FileModificationTime));
    }
    ASSERT_TRUE(QDir(dir).mkdir("folder"));
    ASSERT_TRUE(QFile::link(dir + "/five.txt", dir + "/link.txt"));
    ASSERT_TRUE(QFile::link(dir + "/nowhere", dir + "/dangling"));
    ASSERT_EQ(::mkfifo(encoded(dir + "/pipe").constData(), 0644), 0);

    const platform::FileStatus file = platform::GetFileStatus(dir + "/five.txt");
    EXPECT_TRUE(file.exists);
    EXPECT_TRUE(file.isFile);
    EXPECT_FALSE(file.isFolder);
    EXPECT_EQ(file.size, 5);
    EXPECT_EQ(file.modified(), when);
    EXPECT_EQ(file.modifiedSecs, when.toSecsSinceEpoch());

    // A link is followed: a link to a file is a file of that size.
    const platform::FileStatus link = platform::GetFileStatus(dir + "/link.txt");
    EXPECT_TRUE(link.isFile);
    EXPECT_FALSE(link.isLink);
    EXPECT_EQ(link.size, 5);
    EXPECT_TRUE(platform::IsSymbolicLink(dir + "/link.txt"));
    EXPECT_FALSE(platform::IsSymbolicLink(dir + "/five.txt"));

    EXPECT_TRUE(platform::GetFileStatus(dir + "/folder").isFolder);
    EXPECT_FALSE(platform::GetFileStatus(dir + "/dangling").exists);
    EXPECT_TRUE(platform::IsSymbolicLink(dir + "/dangling"));
    // A pipe exists but is neither a file nor a folder (and is never opened).
    const platform::FileStatus pipe = platform::GetFileStatus(dir + "/pipe");
    EXPECT_TRUE(pipe.exists);
    EXPECT_FALSE(pipe.isFile);
    EXPECT_FALSE(pipe.isFolder);
    EXPECT_FALSE(platform::GetFileStatus(dir + "/missing").exists);
    EXPECT_FALSE(platform::GetFileStatus(QString()).exists);
    EXPECT_FALSE(platform::GetFileStatus(dir + "/missing").modified().isValid());

    // The path's own kind: a link stays a link, whatever it points to.
    EXPECT_EQ(platform::GetEntryKind(encoded(dir + "/five.txt")), EntryKind::File);
    EXPECT_EQ(platform::GetEntryKind(encoded(dir + "/folder")), EntryKind::Folder);
    EXPECT_EQ(platform::GetEntryKind(encoded(dir + "/link.txt")), EntryKind::Link);
    EXPECT_EQ(platform::GetEntryKind(encoded(dir + "/dangling")), EntryKind::Link);
    EXPECT_EQ(platform::GetEntryKind(encoded(dir + "/pipe")), EntryKind::Other);
    EXPECT_EQ(platform::GetEntryKind(encoded(dir + "/missing")), EntryKind::Unknown);
}

// Read relative to the open folder, every kind of entry has the status its
// whole path gives without following a link: a link is itself, with its own
// size (the length of its target).
TEST(FileStatus, ReadInAnOpenFolderAsThroughTheWholePath) {
    TestEnvironment env;
    const QString dir = env.folder();
    makeFile(dir + "/five.txt", "12345");
    ASSERT_TRUE(QDir(dir).mkdir("folder"));
    ASSERT_TRUE(QFile::link(dir + "/five.txt", dir + "/link.txt"));
    ASSERT_TRUE(QFile::link(dir + "/nowhere", dir + "/dangling"));
    ASSERT_EQ(::mkfifo(encoded(dir + "/pipe").constData(), 0644), 0);
    const platform::OpenFolder folder(encoded(dir));
    ASSERT_TRUE(folder.isOpen());
    for (const char* name : {"five.txt", "folder", "link.txt", "dangling", "pipe", "missing"}) {
        const platform::FileStatus inFolder = folder.status(name);
        const platform::FileStatus whole = platform::GetEntryStatus(dir + '/' + name);
        EXPECT_EQ(inFolder.exists, whole.exists) << name;
        EXPECT_EQ(inFolder.isFile, whole.isFile) << name;
        EXPECT_EQ(inFolder.isFolder, whole.isFolder) << name;
        EXPECT_EQ(inFolder.isLink, whole.isLink) << name;
        EXPECT_EQ(inFolder.size, whole.size) << name;
        EXPECT_EQ(inFolder.modifiedSecs, whole.modifiedSecs) << name;
    }
    for (const char* name : {"link.txt", "dangling"}) {
        const platform::FileStatus link = folder.status(name);
        EXPECT_TRUE(link.exists && link.isLink && !link.isFile) << name;
        EXPECT_EQ(link.size, qint64(encoded(dir + (name[0] == 'l' ? "/five.txt" : "/nowhere")).size())) << name;
    }
    EXPECT_FALSE(platform::OpenFolder(encoded(dir + "/missing")).isOpen());
    EXPECT_FALSE(platform::OpenFolder(encoded(dir + "/missing")).status("five.txt").exists);
}

// Subfolders in listing order; links to folders only when asked for, marked,
// and never a link to a file or a dangling one.
TEST(ReadSubFolders, LinksToFoldersOnlyWhenAskedFor) {
    TestEnvironment env;
    const QString dir = env.path("subs");
    ASSERT_TRUE(QDir().mkpath(dir + "/real"));
    makeFile(dir + "/file.txt");
    ASSERT_TRUE(QFile::link(dir + "/real", dir + "/to-real"));
    ASSERT_TRUE(QFile::link(dir + "/file.txt", dir + "/to-file"));
    ASSERT_TRUE(QFile::link(dir + "/gone", dir + "/dangling"));
    for (const bool links : {false, true}) {
        platform::FolderEntries entries;
        std::vector<platform::SubFolder> subs;
        platform::FolderId id;
        ASSERT_TRUE(platform::ReadSubFolders(dir + '/', entries, subs, &id, links));
        EXPECT_EQ(entries.size(), 5);
        QMap<QString, bool> found;
        for (const platform::SubFolder& sub : subs) found.insert(sub.path, sub.isLink);
        QMap<QString, bool> expected{{dir + "/real", false}};
        if (links) expected.insert(dir + "/to-real", true);
        EXPECT_EQ(found, expected) << links;
    }
    platform::FolderEntries entries;
    std::vector<platform::SubFolder> subs{{"stale", false}};
    EXPECT_FALSE(platform::ReadSubFolders(dir + "/gone", entries, subs, nullptr, true));
    EXPECT_TRUE(subs.empty());
}

// The minute text is the toolkit's text for the same time, across zones and
// their summer-time changes.
TEST(FileStatus, MinuteTextAsTheToolkitWritesIt) {
    const QByteArray oldZone = qgetenv("TZ");
    const bool hadZone = qEnvironmentVariableIsSet("TZ");
    for (const char* zone : {"UTC", "Europe/Berlin", "America/St_Johns", "Australia/Lord_Howe"}) {
        qputenv("TZ", zone);
        platform::RefreshTimeZone();
        for (const qint64 secs : {qint64(0), qint64(1051538759), qint64(1711846799), qint64(1711846800),
                                  qint64(1729990800), qint64(1729994400), qint64(4102444800), qint64(-86400)}) {
            platform::FileStatus status;
            status.exists = true;
            status.modifiedSecs = secs;
            EXPECT_EQ(status.modifiedMinuteText(), status.modified().toString(QStringLiteral("yyyy-MM-dd hh:mm")))
                << zone << " " << secs;
        }
    }
    if (hadZone)
        qputenv("TZ", oldZone);
    else
        qunsetenv("TZ");
    platform::RefreshTimeZone();
    EXPECT_EQ(platform::FileStatus().modifiedMinuteText(), QString());
}

TEST(ReadFolderEntries, EveryEntryOnceWithItsKindAndExactName) {
    TestEnvironment env;
    const QString dir = env.path("entries");
    ASSERT_TRUE(QDir().mkpath(dir + "/sub folder"));
    // Odd names must come back exactly as they are on disk.
    const QStringList odd{"a b.txt", "comma,name.txt",  "-leading-dash", QString::fromUtf8("ünïcødé ✓.txt"),
                          ".hidden", "trailing space ", "new\nline",     "report,"};
    for (const QString& name : odd) makeFile(dir + '/' + name);
    // Enough names to spread the name block well beyond one small buffer.
    for (int i = 0; i < 300; ++i) makeFile(dir + QStringLiteral("/n%1").arg(i, 3, 10, QChar('0')));
    ASSERT_TRUE(QFile::link(dir + "/sub folder", dir + "/to-sub"));
    ASSERT_EQ(::mkfifo(encoded(dir + "/pipe").constData(), 0644), 0);

    const QMap<QString, EntryKind> found = entriesOf(dir);
    EXPECT_EQ(found.size(), odd.size() + 300 + 3);
    EXPECT_FALSE(found.contains("."));
    EXPECT_FALSE(found.contains(".."));
    for (const QString& name : odd)
        EXPECT_EQ(found.value(name, EntryKind::Unknown), EntryKind::File) << name.toStdString();
    EXPECT_EQ(found.value("n000"), EntryKind::File);
    EXPECT_EQ(found.value("n299"), EntryKind::File);
    EXPECT_EQ(found.value("sub folder"), EntryKind::Folder);
    EXPECT_EQ(found.value("to-sub"), EntryKind::Link);
    EXPECT_EQ(found.value("pipe"), EntryKind::Other);

    // An empty folder gives no entries; reading again starts from nothing.
    platform::FolderEntries entries;
    ASSERT_TRUE(platform::ReadFolderEntries(dir, entries));
    ASSERT_FALSE(entries.empty());
    ASSERT_TRUE(platform::ReadFolderEntries(dir + "/sub folder", entries));
    EXPECT_TRUE(entries.empty());
    EXPECT_EQ(entries.size(), 0);
}

TEST(ReadFolderEntries, FoldersThatCannotBeReadAndFolderIdentity) {
    TestEnvironment env;
    const QString dir = env.folder();
    ASSERT_TRUE(QDir().mkpath(dir + "/real/inner"));
    makeFile(dir + "/real/file.txt");
    ASSERT_TRUE(QFile::link(dir + "/real", dir + "/alias"));

    platform::FolderEntries entries;
    entries.add("stale", EntryKind::File);
    EXPECT_FALSE(platform::ReadFolderEntries(dir + "/missing", entries));
    EXPECT_TRUE(entries.empty());
    EXPECT_FALSE(platform::ReadFolderEntries(dir + "/real/file.txt", entries));
    EXPECT_FALSE(platform::ReadFolderEntries(QString(), entries));

    // A folder reached through a link is the same folder.
    platform::FolderId viaLink, direct, inner;
    ASSERT_TRUE(platform::ReadFolderEntries(dir + "/alias", entries, &viaLink));
    EXPECT_EQ(entries.size(), 2);
    ASSERT_TRUE(platform::GetFolderId(dir + "/real", direct));
    ASSERT_TRUE(platform::GetFolderId(dir + "/real/inner", inner));
    EXPECT_EQ(viaLink, direct);
    EXPECT_FALSE(inner == direct);
    EXPECT_FALSE(platform::GetFolderId(dir + "/real/file.txt", inner));

    // A folder without permissions cannot be opened.
    ASSERT_EQ(::chmod(encoded(dir).constData(), 0755), 0);
    ASSERT_EQ(::chmod(encoded(dir + "/real").constData(), 0), 0);
    bool opened = true;
    {
        AsOrdinaryUser ordinary;
        opened = platform::ReadFolderEntries(dir + "/real", entries);
    }
    ::chmod(encoded(dir + "/real").constData(), 0755);
    EXPECT_FALSE(opened);
    EXPECT_TRUE(entries.empty());
}

// Told from the listed folder above it: a name is gone whatever levels
// between are missing, and unreachable only when that folder is away or a
// level on the way cannot be searched.
TEST(GetPathPresenceBelow, GoneWhenTheFolderAboveCanBeRead) {
    TestEnvironment env;
    const QString dir = env.folder();
    ASSERT_TRUE(QDir().mkpath(dir + "/listed/sub/locked"));
    makeFile(dir + "/listed/sub/file.txt");
    makeFile(dir + "/listed/sub/locked/file.txt");
    ASSERT_TRUE(QFile::link(dir + "/nowhere", dir + "/listed/sub/dangling"));
    using platform::PathPresence;
    const struct {
        const char* folder;
        const char* path;
        PathPresence expected;
    } cases[] = {
        {"/listed/", "/listed/sub/file.txt", PathPresence::There},
        {"/listed/", "/listed/sub/dangling", PathPresence::There},  // a link counts as itself
        {"/listed/", "/listed/sub/gone.txt", PathPresence::Gone},
        {"/listed/", "/listed/deleted/deeper/file.txt", PathPresence::Gone},             // levels between are missing
        {"/listed/", "/listed/sub/file.txt/inner.txt", PathPresence::Gone},              // a file where a folder was
        {"/away/", "/away/sub/file.txt", PathPresence::Unreachable},                     // the folder above is missing
        {"/listed/sub/file.txt/", "/listed/sub/file.txt/x", PathPresence::Unreachable},  // and no folder
    };
    for (const auto& c : cases)
        EXPECT_EQ(platform::GetPathPresenceBelow(dir + c.folder, dir + c.path), c.expected) << c.path;

    ASSERT_EQ(::chmod(encoded(dir).constData(), 0755), 0);
    ASSERT_EQ(::chmod(encoded(dir + "/listed").constData(), 0755), 0);
    ASSERT_EQ(::chmod(encoded(dir + "/listed/sub").constData(), 0755), 0);
    ASSERT_EQ(::chmod(encoded(dir + "/listed/sub/locked").constData(), 0000), 0);
    PathPresence unreadable = PathPresence::Gone, unsearchable = PathPresence::Gone;
    {
        AsOrdinaryUser ordinary;
        unreadable = platform::GetPathPresenceBelow(dir + "/listed/sub/locked/", dir + "/listed/sub/locked/file.txt");
        unsearchable = platform::GetPathPresenceBelow(dir + "/listed/", dir + "/listed/sub/locked/gone.txt");
    }
    ::chmod(encoded(dir + "/listed/sub/locked").constData(), 0755);
    EXPECT_EQ(unreadable, PathPresence::Unreachable);
    EXPECT_EQ(unsearchable, PathPresence::Unreachable);
}

TEST(FolderLiesWithin, ToldByIdentityNotBySpelling) {
    TestEnvironment env;
    const QString dir = env.folder();
    ASSERT_TRUE(QDir().mkpath(dir + "/Backup/20240510/deep"));
    ASSERT_TRUE(QDir().mkpath(dir + "/BackupOld"));
    ASSERT_TRUE(QFile::link(dir + "/Backup", dir + "/alias"));
    platform::FolderId backup;
    ASSERT_TRUE(platform::GetFolderId(dir + "/alias/", backup));
    EXPECT_TRUE(platform::FolderLiesWithin(dir + "/Backup", backup));
    EXPECT_TRUE(platform::FolderLiesWithin(dir + "/Backup/20240510/deep/", backup));
    EXPECT_TRUE(platform::FolderLiesWithin(dir + "/BackupOld/../alias/20240510", backup));
    EXPECT_FALSE(platform::FolderLiesWithin(dir + "/BackupOld", backup));
    EXPECT_FALSE(platform::FolderLiesWithin(dir, backup));
    EXPECT_FALSE(platform::FolderLiesWithin(dir + "/missing", backup));
}
