#include "foundation/PathHelpers.h"

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
    return std::all_of(destination.begin(), destination.end(), [](QChar c) { return c == u'/' || c.isSpace(); });
}
