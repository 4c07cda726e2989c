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

}  // namespace

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

bool ReplaceFile(const QString& fileName, const QByteArray& data, QString* why) {
    QSaveFile file(fileName);
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
