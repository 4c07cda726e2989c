#include "foundation/PathHelpers.h"

#include "platform/FileStatus.h"

#include <QDir>

#include <algorithm>

QString GetFileNameFromPath(const QString& path) {
    const qsizetype slash = path.lastIndexOf('/');
    return slash < 0 ? QString() : path.mid(slash + 1);
}

QString GetFolderFromPath(const QString& path) {
    const qsizetype slash = path.lastIndexOf('/');
    return slash < 0 ? QString() : path.left(slash + 1);
}

QString JoinPath(QString& folder, const QString& name) {
    if (!folder.endsWith('/')) folder += '/';
    return folder + name;
}

QString TrimNull(const QString& text) {
    const qsizetype nul = text.indexOf(QChar(0));
    return nul < 0 ? text : text.left(nul);
}

QString PadRight(QString& text, int n) {
    for (qsizetype i = text.size(); i <= n; ++i) text += ' ';
    return text;
}

QString GetWindowsFolder() { return {}; }

bool IsMissingDestination(const QString& destination) {
    // Blanks and separators alone name the root folder at most ("   /" is a
    // blank entry saved with its separator).
    if (std::all_of(destination.begin(), destination.end(), [](QChar c) { return c == u'/' || c.isSpace(); }))
        return true;
    if (!destination.startsWith(u'/')) return true;
    // The text alone: "/missing/.." is the root folder even though there is
    // nothing to ask about, and a run would make its folders there.
    if (QDir::cleanPath(destination) == QLatin1String("/")) return true;
    // The file system: a link to the root folder, or ".." through a link.
    platform::FolderId root;
    platform::FolderId named;
    return platform::GetFolderId(QStringLiteral("/"), root) && platform::GetFolderId(destination, named) &&
           named == root;
}
