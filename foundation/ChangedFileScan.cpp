#include "foundation/ChangedFileScan.h"

#include "foundation/FileListModel.h"
#include "foundation/FileRoutines.h"
#include "foundation/FolderPrefetch.h"
#include "foundation/FolderWalk.h"
#include "foundation/ListFiles.h"
#include "foundation/Logging.h"
#include "foundation/PathHelpers.h"
#include "foundation/ProgramValues.h"
#include "platform/ByteText.h"
#include "platform/Clock.h"
#include "platform/Dialogs.h"
#include "platform/Drives.h"
#include "platform/EventLoop.h"
#include "platform/FileStatus.h"
#include "platform/Pointer.h"
#include "platform/SystemInfo.h"
#include "platform/TrustedLinks.h"
#include "platform/Wildcard.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QListWidget>
#include <QPointer>
#include <QProgressBar>
#include <QSet>
#include <QTreeWidget>
#include <cerrno>
#include <cmath>
#include <filesystem>
#include <limits>
#include <new>
#include <optional>
#include <set>
#include <system_error>
#include <utility>


namespace {

// Full-form rows added since the scan began; it only paces the yields.
int runningFileCount = 0;

constexpr int kMaxMasks = 100;

// The local calendar days from fromDate's to toDate's, both included, as the
// seconds [first, end) since 1970: one comparison per file instead of turning
// every file's time into a date.
struct DayWindow {
    qint64 first = 0;
    qint64 end = 0;
    bool contains(qint64 secs) const { return secs >= first && secs < end; }
};

// A window that ends today or later has no end: a file dated after today (a
// camera or an archive with a wrong clock) is listed too, or no later window
// would ever list it.
// The days are those of the local calendar whatever zone the moments are
// given in (a date edit, say, holds UTC ones).
DayWindow dayWindow(const QDateTime& fromDate, const QDateTime& toDate) {
    if (!fromDate.isValid() || !toDate.isValid()) return {};
    const QDate fromDay = fromDate.toLocalTime().date();
    const QDate toDay = toDate.toLocalTime().date();
    if (fromDay > toDay) return {};
    const qint64 end = toDay >= platform::Now().toLocalTime().date() ? std::numeric_limits<qint64>::max()
                                                                     : toDay.addDays(1).startOfDay().toSecsSinceEpoch();
    return {fromDay.startOfDay().toSecsSinceEpoch(), end};
}


void showScanError(int number, const QString& description) {
    // The number is written with its sign position, a blank for a positive one.
    const QString text =
        "Error # " + QString(number < 0 ? "" : " ") + QString::number(number) + " occurred. = " + description;
    // The line comes first: an unattended run may wait at the box for ever.
    WriteLog("ListChangedFiles : " + text, 0);
    platform::MsgBox(text);
}

// One full-form row from a status already read. The list draws its column
// texts from the row's values.
void addFullRow(const QString& folder, const QString& fileName, const platform::FileStatus& status,
                FileListModel* fileList, bool ticked) {
    try {
        QString folderSlash = folder;
        if (!folderSlash.endsWith(u'/')) folderSlash += u'/';
        ++runningFileCount;
        fileList->addFullRow(folderSlash, fileName, status, ticked);
    } catch (const std::bad_alloc&) {
        const QString text = QStringLiteral("Error adding a file to list - may be out of space");
        WriteLog(text + " - " + folder + fileName + " is not listed", 0);
        platform::MsgBox(text);
    }
    switch (runningFileCount) {
    case 33:
    case 133:
    case 433:
    case 933: platform::YieldToWindows(); break;
    default: break;
    }
}

void addShortRow(const QString& folderSlash, const QString& fileName, FileListModel* fileList, bool ticked) {
    fileList->addShortRow(folderSlash, fileName, ticked);
}

// The rows of one folder's files, each mask in turn, from the folder's read
// (see ReadFolderForScan): the one a prefetch hands over, else read here.
// False when the folder cannot be read.
bool scanFolder(const QString& folder, const DayWindow& window, const QStringList& masks, FileListModel* fileList,
                bool detailed, bool ticked, ScanPrefetch* prefetch = nullptr, qsizetype row = 0) {
    if (!fileList || masks.isEmpty()) return true;
    const QPointer<FileListModel> list(fileList);
    const QString folderSlash = folder.endsWith(u'/') ? folder : folder + u'/';
    ScanRead read;
    if (prefetch) {
        read = prefetch->take(row);
        if (!list) return true;  // the window went away during a long wait
    } else {
        // A folder of a walked tree was read by the walk already.
        platform::FolderEntries entries;
        const bool kept = FileSystemObject::Get().TakeEntries(folder, entries);
        read = ReadFolderForScan(folderSlash, kept ? &entries : nullptr, masks, window.first, window.end);
    }
    if (!read.readable) {
        // Its files cannot be backed up: say so in the program log rather
        // than pass over them without a trace (a missing or unreadable
        // folder, or one whose name the system cannot give back as text).
        WriteLog("ProcessFolderFiles : cant read folder " + folder, 0);
        return false;
    }
    if (read.files.empty()) return true;
    for (qsizetype m = 0; m < masks.size(); ++m) {
        if (ScanStopRequested) return true;
        for (const int f : read.rowsByMask[size_t(m)]) {
            const ScanRead::File& file = read.files[size_t(f)];
            if (detailed)
                addFullRow(folderSlash, file.name, file.status, fileList, ticked);
            else
                addShortRow(folderSlash, file.name, fileList, ticked);
            if (!list) return true;  // the window went away while events ran
        }
    }
    return true;
}

// The masks of the pattern list: a row without a "." stands for "*." and the
// row. Beyond the hundredth mask the reading ends with an error message.
QStringList readMasks(QWidget* patternList) {
    QStringList masks;
    for (const QString& row : ListRowTexts(patternList)) {
        if (row.isEmpty()) continue;
        if (masks.size() == kMaxMasks) {
            showScanError(9, QStringLiteral("Subscript out of range"));
            break;
        }
        masks << (row.contains(u'.') ? row : QStringLiteral("*.") + row);
    }
    return masks;
}

void clearRows(QWidget* control) {
    if (auto* list = qobject_cast<QListWidget*>(control))
        list->clear();
    else if (auto* view = qobject_cast<QTreeWidget*>(control))
        view->clear();
}

// Leaves each folder of the expanded list once, at its first place: two
// entries may cover the same folder ("/home/anna/*" and
// "/home/anna/Documents/*", or a folder reached through a link the user
// listed), and its files must be listed, counted and copied once. Folders are
// told apart by identity; a row whose folder has none (gone) by its text. A
// row on a virtual file system (a plain entry such as "/proc/"; a walk never
// lists one) is taken out with a log line: its files are no data.
void keepEachFolderOnce(QWidget* expanded) {
    const QStringList rows = ListRowTexts(expanded);
    const QSet<quint64> virtualDevices = platform::VirtualFileSystemDevices();
    std::set<std::pair<quint64, quint64>> seen;
    QSet<QString> seenWithoutId;
    QStringList kept;
    kept.reserve(rows.size());
    for (const QString& row : rows) {
        platform::FolderId id;
        if (platform::GetFolderId(row, id)) {
            if (virtualDevices.contains(id.device)) {
                WriteLog("BuildFolderList : " + row + " is a virtual file system - not scanned", 0);
                continue;
            }
            if (!seen.insert({id.device, id.inode}).second) continue;
        } else {
            if (seenWithoutId.contains(row)) continue;
            seenWithoutId.insert(row);
        }
        kept << row;
    }
    if (kept.size() == rows.size()) return;
    clearRows(expanded);
    for (const QString& row : kept) AddListRow(expanded, row);
}

}  // namespace

int ListChangedFiles(const QDateTime& fromDate, const QDateTime& toDate, QWidget* folderList, QWidget* patternList,
                     FileListModel* fileList, QWidget* excludedList, QWidget* expandedList, bool detailed,
                     bool checkAll, QProgressBar* progressBar, const QString& backupFolder, ScanReport* report) {
    ScanStopRequested = false;
    // A file changed after this moment in a folder already scanned is listed
    // by a window that starts from it.
    if (report) *report = ScanReport{platform::Now(), {}, {}};
    const QPointer<FileListModel> files(fileList);
    const QPointer<QProgressBar> bar(progressBar);
    if (files) {
        files->setSortingEnabled(false);
        files->clear();
    }
    // Rows are created ticked, rather than ticked one by one once the list is full.
    const bool ticked = checkAll && files && files->hasCheckBoxes();
    runningFileCount = 0;
    platform::RefreshTimeZone();
    platform::SetPointer(platform::Pointer::Hourglass);

    QStringList masks;
    QTreeWidget ownExpandedList;  // used only when the caller gives no list
    QWidget* expanded = expandedList ? expandedList : &ownExpandedList;
    const QPointer<QWidget> expandedGuard(expanded);
    FileSystemObject& fso = FileSystemObject::Get();
    int errors = 0;
    ListedFolderRows listed;
    try {
        masks = readMasks(patternList);
        fso.KeepEntries(true);
        errors += BuildFolderList(folderList, expanded, excludedList, backupFolder, &listed);
    } catch (const std::bad_alloc&) {
        showScanError(7, QStringLiteral("Out of memory"));
    }
    // The expanded list (and its window) may have gone while the folder list was built.
    QStringList folders;
    if (expandedGuard) {
        SaveListboxToFile(expanded, platform::ProgramFolder() + QStringLiteral("/folders.lis"));
        // The folder texts are taken now, so that events during the scan
        // cannot change the list under it.
        folders = ListRowTexts(expanded);
    }
    platform::YieldToWindows();

    const DayWindow window = dayWindow(fromDate, toDate);
    const qsizetype n = folders.size();
    // Workers read the folders ahead; the rows are still added here, folder by folder in list order.
    std::optional<ScanPrefetch> prefetch;
    if (files && !masks.isEmpty())
        prefetch.emplace(folders, masks, window.first, window.end,
                         [&fso](const QString& folder, platform::FolderEntries& entries) {
                             return fso.TakeEntries(folder, entries);
                         });
    for (qsizetype row = 1; row <= n && files; ++row) {
        if (ScanStopRequested) break;
        if (expandedList && bar) bar->setValue(int(std::lrint(float(row) / float(n) * 100.0f)));
        if (row % 30 == 0) platform::YieldToWindows();
        if (!files) break;
        try {
            const QString& folder = folders[row - 1];
            if (!scanFolder(folder, window, masks, files, detailed, ticked, prefetch ? &*prefetch : nullptr, row - 1)) {
                ++errors;
                const auto entry = listed.rows.constFind(folder);
                if (entry != listed.rows.cend() && !listed.awayEntries.contains(*entry)) listed.awayEntries << *entry;
            }
        } catch (const std::bad_alloc&) {
            // A folder that fails ends its own scan; the next folder follows.
        }
    }
    prefetch.reset();  // stops the workers when the scan ended early
    fso.KeepEntries(false);

    if (report) report->awayEntries = listed.awayEntries;
    // Sorting back on sorts once, by the list's current sort column and order.
    if (files) files->setSortingEnabled(true);
    platform::SetPointer(platform::Pointer::Default);
    return errors;
}

QStringList ListedEntries(QWidget* folderList) {
    QStringList entries;
    if (auto* view = qobject_cast<QTreeWidget*>(folderList)) {
        const bool onlyTicked = ListViewHasCheckBoxes(view);
        for (int i = 0; i < view->topLevelItemCount(); ++i) {
            const QTreeWidgetItem* item = view->topLevelItem(i);
            if (!onlyTicked || item->checkState(0) == Qt::Checked) entries << CleanListEntry(item->text(0));
        }
    } else {
        for (const QString& row : ListRowTexts(folderList)) entries << CleanListEntry(row);
    }
    return entries;
}

QString CleanListEntry(const QString& entry) {
    const bool wholeTree = entry.endsWith(u'*');
    const QString folder = wholeTree ? entry.chopped(1) : entry;
    if (folder.isEmpty()) return entry;
    QString cleaned = QDir::cleanPath(folder);
    if (folder.endsWith(u'/') && !cleaned.endsWith(u'/')) cleaned += u'/';
    return wholeTree ? cleaned + u'*' : cleaned;
}

QString ListedFolderOf(const QString& path, const QStringList& entries) {
    QString best;
    const qsizetype slash = path.lastIndexOf(u'/');
    const QStringView ownFolder = QStringView(path).left(slash + 1);
    for (const QString& entry : entries) {
        const bool wholeTree = entry.endsWith(u'*');
        QString folder = wholeTree ? entry.chopped(1) : entry;
        if (folder.isEmpty()) continue;
        if (!folder.endsWith(u'/')) folder += u'/';
        if (folder.size() <= best.size()) continue;
        if (wholeTree ? path.size() > folder.size() && path.startsWith(folder) : ownFolder == folder) best = folder;
    }
    return best;
}

int BuildFolderList(QWidget* folderList, QWidget* expandedList, QWidget* excludedList, const QString& backupFolder,
                    ListedFolderRows* listed) {
    clearRows(expandedList);
    const auto stop = [] { return ScanStopRequested; };
    // Every input is read before the first walk: window events run during a
    // walk and may change or remove the lists.
    const QStringList entries = ListedEntries(folderList);
    const bool yieldAfterWalk = !qobject_cast<QTreeWidget*>(folderList);
    const QStringList fragments = ListRowTexts(excludedList);
    // The destination is known by its identity, however its path is written
    // (a link, a relative path, a trailing "/"): the walks leave it out.
    platform::FolderId destination;
    const bool hasDestination =
        !backupFolder.trimmed().isEmpty() && platform::GetFolderId(backupFolder.trimmed(), destination);
    int errors = 0;
    const QPointer<QWidget> expanded(expandedList);
    for (const QString& entry : entries) {
        if (ScanStopRequested || !expanded) break;
        if (entry.isEmpty()) continue;
        const bool wholeTree = entry.endsWith(u'*');
        const QString folder = wholeTree ? entry.chopped(1) : entry;
        // Run as root, a listed folder reached through a link another user
        // owns could hand her root's files: it is not scanned, and the run
        // keeps the date of the last backup as for a folder that is away.
        QString resolved;
        QString why;
        if (!platform::ResolveTrustedPath(folder, true, resolved, &why)) {
            WriteLog("BuildFolderList : " + folder + " is not backed up - " + why, 0);
            ++errors;
            if (listed) listed->awayEntries << entry;
            continue;
        }
        // A source inside the destination is scanned all the same (the user
        // listed it), but earlier backups may then be backed up again.
        if (hasDestination && platform::FolderLiesWithin(folder, destination))
            WriteLog("BuildFolderList : " + folder + " lies inside the backup destination " + backupFolder.trimmed() +
                         " - scanned all the same",
                     0);
        if (wholeTree) {
            if (WalkFolderTree(folder, expanded, stop, hasDestination ? &destination : nullptr)) {
                // The walk's first row is the folder itself, as it writes it.
                const QString root = FileSystemObject::Get().FolderPath(folder);
                if (listed && !listed->rows.contains(root)) listed->rows.insert(root, entry);
            } else {
                // A folder that has gone (an unplugged disk, a renamed folder):
                // its files cannot be backed up, which is an error of the run.
                WriteLog("BuildFolderList : cant find folder " + folder, 0);
                ++errors;
                if (listed) listed->awayEntries << entry;
            }
            if (yieldAfterWalk) platform::YieldToWindows();
        } else {
            AddListRow(expanded, entry);
            if (listed && !listed->rows.contains(entry)) listed->rows.insert(entry, entry);
        }
    }
    // A fragment that names a folder ("/x/backup/") excludes that folder too:
    // rows carry no trailing "/", so each is matched with one appended. A
    // fragment of blanks only (a stray line) would leave out every folder with
    // a blank in its path: it is passed over.
    for (const QString& fragment : fragments) {
        if (!expanded) break;
        if (fragment.trimmed().isEmpty()) continue;
        RemoveListRowsWhere(expanded, [&fragment](const QString& row) {
            return (row.endsWith(u'/') ? row : row + u'/').contains(fragment);
        });
    }
    if (expanded) keepEachFolderOnce(expanded);
    return errors;
}

void ProcessFolderFiles(const QString& folder, const QDateTime& fromDate, const QDateTime& toDate,
                        const QStringList& masks, FileListModel* fileList, bool detailed) {
    scanFolder(folder, dayWindow(fromDate, toDate), masks, fileList, detailed, false);
}

void AddFileToList(const QString& folder, const QString& fileName, FileListModel* fileList, bool ticked) {
    if (!fileList) return;
    QString folderSlash = folder;
    // A link stands for itself, as in the scan.
    const platform::FileStatus status = platform::GetEntryStatus(JoinPath(folderSlash, fileName));
    addFullRow(folderSlash, fileName, status, fileList, ticked && fileList->hasCheckBoxes());
}

bool IsFileDateInRange(const QString& filePath, const QDateTime& fromDate, const QDateTime& toDate) {
    const platform::FileStatus status = platform::GetEntryStatus(filePath);
    return status.exists && dayWindow(fromDate, toDate).contains(status.modifiedSecs);
}
