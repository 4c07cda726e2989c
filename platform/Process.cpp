#include "platform/Process.h"

#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>

#include <unistd.h>
#include <cstdio>

namespace platform {
namespace {
std::function<void(int)>& endHandler() {
    static std::function<void(int)> h;
    return h;
}
std::function<int(const QString&)>& openHandler() {
    static std::function<int(const QString&)> h;
    return h;
}

bool looksLikeAddress(const QString& s) {
    return s.contains(QStringLiteral("://")) || s.startsWith(QStringLiteral("mailto:"), Qt::CaseInsensitive);
}
}  // namespace

void EndProgram(int status) {
    if (auto& h = endHandler()) {
        h(status);
        return;
    }
    std::fflush(nullptr);
    _exit(status);
}

void SetEndProgramHandler(std::function<void(int)> handler) { endHandler() = std::move(handler); }

int OpenDocument(const QString& file) {
    if (auto& h = openHandler()) return h(file);
    if (!looksLikeAddress(file)) {
        const QFileInfo fi(file);
        if (!fi.exists()) return OpenResult::FileNotFound;
        if (fi.isFile() && fi.isExecutable()) {
            return QProcess::startDetached(fi.absoluteFilePath(), {}, fi.absolutePath()) ? OpenResult::Started
                                                                                         : OpenResult::BadExecutable;
        }
    }
    const QString opener = QStandardPaths::findExecutable(QStringLiteral("xdg-open"));
    if (opener.isEmpty()) return OpenResult::NoAssociation;
    return QProcess::startDetached(opener, {file}) ? OpenResult::Started : OpenResult::Unknown;
}

void SetOpenDocumentHandler(std::function<int(const QString&)> handler) { openHandler() = std::move(handler); }

}  // namespace platform
