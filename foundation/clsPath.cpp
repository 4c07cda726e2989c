#include "foundation/clsPath.h"

#include "foundation/FileRoutines.h"
#include "foundation/Logging.h"
#include "foundation/clsArray.h"
#include "platform/ByteText.h"
#include "platform/Dialogs.h"
#include "platform/FileStatus.h"
#include "platform/Wildcard.h"

#include <QFileInfo>
#include <stdexcept>
#include <vector>

namespace {

// One trailing "/" less; the root "/" stays as it is.
QString withoutTrailingSlash(const QString& path) {
    return path.size() > 1 && path.endsWith(u'/') ? path.chopped(1) : path;
}

struct VisibleEntry {
    QString name;
    bool isFolder = false;
};

// The folder's files and subfolders in the order the file system lists them,
// links taken as what they point to. Hidden entries and system entries
// (devices, pipes, sockets, dangling links) are left out; a folder that cannot
// be read leaves a program-log line.
std::vector<VisibleEntry> visibleEntries(const QString& folder, const QString& caller) {
    std::vector<VisibleEntry> out;
    const QString folderSlash = folder.endsWith(u'/') ? folder : folder + u'/';
    platform::FolderEntries entries;
    if (!platform::ReadFolderEntries(folderSlash, entries)) {
        WriteLog(caller + " : cant read folder " + folder, 0);
        return out;
    }
    const QByteArray base = platform::BytesFromText(folderSlash);
    for (int i = 0; i < entries.size(); ++i) {
        const QByteArrayView raw = entries.name(i);
        if (raw.startsWith('.')) continue;
        const QString name = entries.displayName(i);
        bool isFile = false;
        bool isFolder = false;
        switch (entries.kind(i)) {
        case platform::EntryKind::File: isFile = true; break;
        case platform::EntryKind::Folder: isFolder = true; break;
        case platform::EntryKind::Other: break;
        case platform::EntryKind::Link:
        case platform::EntryKind::Unknown: {
            const platform::FileStatus st = platform::GetFileStatus(base + raw.toByteArray());
            isFile = st.isFile;
            isFolder = st.isFolder;
            break;
        }
        }
        if (isFile || isFolder) out.push_back({name, isFolder});
    }
    return out;
}

}  // namespace

bool clsPath::deleteAllFiles(const QString&) { return false; }

void clsPath::createSubDir(const QString&) {}

QString clsPath::getFullName(bool addTrailingSlash) {
    if (m_path.isEmpty()) {
        platform::MsgBox(QStringLiteral("The path hasnt been initialised yet (you havent told me the name!)"));
        return {};
    }
    if (addTrailingSlash && !m_path.endsWith(u'/')) return m_path + u'/';
    return m_path;
}

void clsPath::init(const QString& par, const QString& nme, bool createIfNotThere) {
    try {
        const QString parent = withoutTrailingSlash(par);
        QString path;
        if (parent.isEmpty())
            path = nme;
        else if (nme.isEmpty())
            path = parent;
        else
            path = (parent.endsWith(u'/') ? parent : parent + u'/') + nme;
        path = withoutTrailingSlash(path);
        if (path.isEmpty()) throw std::invalid_argument("No folder name given");
        m_path = path;
        if (createIfNotThere && !Exists() && !CreateFullDirectory())
            platform::MsgBox("CreateFullDirectory : Error creating the full directory\r\nErr = " + m_lastError);
        m_path = getFullName();
    } catch (const std::exception& e) {
        platform::MsgBox("Cant initialise the path " + nme + "\r\nunder the parent " + par +
                         "\r\n\r\nErr = " + QString::fromUtf8(e.what()));
    }
}

void clsPath::initFull(QString& pth, bool createIfNotThere) {
    try {
        pth = pth.trimmed();
        m_path = withoutTrailingSlash(pth);
        if (createIfNotThere && !Exists() && !MakePathAux(pth))
            platform::MsgBox("initFull : Error creating the full directory\r\nErr = " + m_lastError);
    } catch (const std::exception& e) {
        platform::MsgBox("Cant initialise the FULL path \r\n" + pth + "\r\n\r\nErr = " + QString::fromUtf8(e.what()));
    }
}

void clsPath::initFull(const QString& pth, bool createIfNotThere) {
    QString copy = pth;
    initFull(copy, createIfNotThere);
}

QString clsPath::ExtractParent(const QString& pth) {
    const qsizetype slash = pth.lastIndexOf(u'/');
    return slash < 0 ? QString() : pth.left(slash + 1);
}

bool clsPath::MakePathAux(const QString& strDirName) {
    m_lastError.clear();
    const QString folder = withoutTrailingSlash(strDirName);
    if (folder.isEmpty()) {
        m_lastError = QStringLiteral("No folder name given");
        return false;
    }
    int error = 0;
    return MakeFolderWithReason(folder, error, m_lastError);
}

bool clsPath::CreateFullDirectory() { return MakePathAux(m_path + u'/'); }

bool clsPath::Exists() const { return !m_path.isEmpty() && platform::GetFileStatus(m_path).isFolder; }

QDateTime clsPath::dateCreated() {
    const QFileInfo info(m_path);
    if (m_path.isEmpty() || !info.isDir())
        m_dateCreated = QDateTime();
    else
        m_dateCreated = info.birthTime().isValid() ? info.birthTime() : info.lastModified();
    return m_dateCreated;
}

qint32 clsPath::GetListOFiles(clsArray& arr, const QString& fileSpec) {
    arr.init(99);
    if (m_path.isEmpty()) return 0;
    const bool every = fileSpec.isEmpty() || platform::WildcardMatchesAll(fileSpec);
    const QString folderSlash = m_path.endsWith(u'/') ? m_path : m_path + u'/';
    qint32 added = 0;
    for (const VisibleEntry& e : visibleEntries(m_path, QStringLiteral("GetListOFiles"))) {
        if (e.isFolder || !(every || platform::WildcardMatch(e.name, fileSpec))) continue;
        arr.Add(folderSlash + e.name, 1);
        ++added;
    }
    return added;
}

qint32 clsPath::GetListOfSubDirectories(clsArray& arr) {
    arr.init(99);
    if (m_path.isEmpty()) return 0;
    qint32 count = 0;
    for (const VisibleEntry& e : visibleEntries(m_path, QStringLiteral("GetListOfSubDirectories"))) {
        // A file keeps its place in the list as a blank entry.
        arr.Add(e.isFolder ? e.name : QString(), 1);
        ++count;
    }
    return count;
}
