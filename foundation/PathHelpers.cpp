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

bool IsMissingDestination(const QString& destination) { return !MissingDestinationReason(destination).isEmpty(); }

QString MissingDestinationReason(const QString& destination) {
    const QString notAFolderOfItsOwn =
        "The destination directory '" + destination +
        "' must be a full path, beginning with /, to a folder other than the root folder";
    // Blanks and separators alone name the root folder at most. With a blank
    // among them (or nothing at all) they are a blank entry ("   /" is one
    // saved with its separator); "/" alone is the root folder written out.
    const auto blank = [](QChar c) { return c.isSpace(); };
    if (std::all_of(destination.begin(), destination.end(), [](QChar c) { return c == u'/' || c.isSpace(); })) {
        if (destination.isEmpty() || std::any_of(destination.begin(), destination.end(), blank))
            return QStringLiteral("There is no destination directory specified");
        return notAFolderOfItsOwn;
    }
    // A relative path would be taken from whatever folder the program was
    // started in ("~" is no folder either: nothing expands it).
    if (!destination.startsWith(u'/')) return notAFolderOfItsOwn;
    // The text alone: "/missing/.." is the root folder even though there is
    // nothing to ask about, and a run would make its folders there.
    if (QDir::cleanPath(destination) == QLatin1String("/")) return notAFolderOfItsOwn;
    // The file system: a link to the root folder, or ".." through a link.
    platform::FolderId root;
    platform::FolderId named;
    if (platform::GetFolderId(QStringLiteral("/"), root) && platform::GetFolderId(destination, named) && named == root)
        return notAFolderOfItsOwn;
    return {};
}
