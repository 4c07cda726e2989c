#include "platform/SaveFile.h"

#include "platform/AppendFile.h"
#include "platform/ByteText.h"

#include <QFile>
#include <QSaveFile>

#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>
#include <cstring>

namespace platform {
namespace {

bool fail(QString* why, const QString& reason) {
    if (why) *why = reason;
    return false;
}

QString systemError(int error) { return QString::fromLocal8Bit(std::strerror(error)); }

// As many links as the system itself follows in one path before it gives up.
constexpr int kMaxLinks = 40;

}  // namespace

bool SaveTarget(const QString& fileName, LinkRule rule, QString& target, QString* why) {
    QByteArray path = BytesFromText(fileName);
    if (rule == LinkRule::SaveThrough) {
        for (int links = 0;; ++links) {
            struct stat st {};
            if (::lstat(path.constData(), &st) != 0 || !S_ISLNK(st.st_mode)) break;
            if (links == kMaxLinks) return fail(why, WriteErrorText(ELOOP));
            QByteArray next(qsizetype(st.st_size > 0 ? st.st_size : 256) + 1, '\0');
            const ssize_t length = ::readlink(path.constData(), next.data(), size_t(next.size()));
            if (length < 0) return fail(why, systemError(errno));
            if (length >= next.size()) return fail(why, QStringLiteral("The link changed while it was read"));
            next.truncate(length);
            // A relative target is read from the folder that holds the link.
            if (!next.startsWith('/')) next.prepend(path.left(path.lastIndexOf('/') + 1));
            path = next;
        }
    }
    target = TextFromBytes(path);
    return true;
}

bool OpenSaveFile(QSaveFile& file, QString* why) {
    struct stat st {};
    const bool exists = ::lstat(BytesFromText(file.fileName()).constData(), &st) == 0;
    if (exists) {
        if (S_ISLNK(st.st_mode)) return fail(why, WriteErrorText(ELOOP));
        if (S_ISDIR(st.st_mode)) return fail(why, WriteErrorText(EISDIR));
        if (!S_ISREG(st.st_mode)) return fail(why, WriteErrorText(kNotARegularFile));
        if ((st.st_mode & S_IWUSR) == 0) return fail(why, QStringLiteral("The file is read-only"));
    }
    if (!file.open(QIODevice::WriteOnly)) return fail(why, file.errorString());
    // Run as root, a new file is private, as every file the program makes
    // then (NewFileMode); a replaced one keeps its own mode.
    if (!exists && ::geteuid() == 0 && ::fchmod(file.handle(), NewFileMode()) != 0) {
        const QString reason = systemError(errno);
        file.cancelWriting();
        file.commit();
        return fail(why, reason);
    }
    return true;
}

bool CommitSaveFile(QSaveFile& file, QString* why) {
    // A write that failed earlier leaves its error behind; a full disk often
    // shows itself only when the buffer is flushed or the data forced out.
    if (file.error() != QFileDevice::NoError || !file.flush()) {
        const QString reason = file.errorString();
        file.cancelWriting();
        file.commit();  // removes the temporary file after the cancel
        return fail(why, reason);
    }
    if (::fsync(file.handle()) != 0 && errno != EINVAL && errno != EROFS) {
        const QString reason = systemError(errno);
        file.cancelWriting();
        file.commit();
        return fail(why, reason);
    }
    if (!file.commit()) return fail(why, file.errorString());
    return true;
}

bool ReplaceFile(const QString& fileName, const QByteArray& data, QString* why, LinkRule rule) {
    QString target;
    if (!SaveTarget(fileName, rule, target, why)) return false;
    QSaveFile file(target);
    if (!OpenSaveFile(file, why)) return false;
    if (file.write(data) != data.size()) {
        const QString reason = file.errorString();
        file.cancelWriting();
        file.commit();
        return fail(why, reason);
    }
    return CommitSaveFile(file, why);
}

}  // namespace platform
