#include "foundation/PathHelpers.h"

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
