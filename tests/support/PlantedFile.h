#pragma once
// Something planted where the program writes one of its files: a symbolic
// link to a file outside (whose content must stay as it was) or a FIFO
// (which must not hold the program up). A FifoGuard frees a writer that would
// wait on the FIFO for ever by opening its reading end after a while, so a
// test fails instead of hanging.
#include <QByteArray>
#include <QFile>
#include <QString>
#include <QTemporaryDir>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

enum class Planted { LinkToOutside, Fifo };

inline const char* PlantedName(Planted kind) { return kind == Planted::Fifo ? "a FIFO" : "a link"; }

class PlantedFile {
public:
    static constexpr const char* kOutsideContent = "outside\n";

    PlantedFile(const QString& path, Planted kind) : m_path(QFile::encodeName(path)), m_kind(kind) {
        if (kind == Planted::Fifo) {
            m_made = ::mkfifo(m_path.constData(), 0666) == 0;
            return;
        }
        QFile outside(m_outside.filePath("target.txt"));
        m_made = outside.open(QIODevice::WriteOnly) && outside.write(kOutsideContent) == 8;
        outside.close();
        m_made = m_made && ::symlink(QFile::encodeName(outside.fileName()).constData(), m_path.constData()) == 0;
    }
    bool made() const { return m_made; }

    // The planted thing is still there as it was, and the file outside holds
    // what it held.
    bool untouched() const {
        struct stat st {};
        if (::lstat(m_path.constData(), &st) != 0) return false;
        if (m_kind == Planted::Fifo) return S_ISFIFO(st.st_mode);
        return S_ISLNK(st.st_mode) && outsideContent() == kOutsideContent;
    }
    // What the file the link points to holds.
    QByteArray outsideContent() const {
        QFile outside(m_outside.filePath("target.txt"));
        return outside.open(QIODevice::ReadOnly) ? outside.readAll() : QByteArray("<unreadable>");
    }

private:
    QTemporaryDir m_outside;
    QByteArray m_path;
    Planted m_kind;
    bool m_made = false;
};

class FifoGuard {
public:
    explicit FifoGuard(const QString& fifo, std::chrono::milliseconds wait = std::chrono::seconds(5))
        : m_fifo(QFile::encodeName(fifo)), m_thread([this, wait] {
              std::unique_lock<std::mutex> lock(m_mutex);
              if (m_cv.wait_for(lock, wait, [this] { return m_done; })) return;
              m_reader = ::open(m_fifo.constData(), O_RDONLY | O_NONBLOCK);
              m_fired = true;
          }) {}
    ~FifoGuard() {
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_done = true;
        }
        m_cv.notify_all();
        m_thread.join();
        if (m_reader >= 0) ::close(m_reader);
    }
    FifoGuard(const FifoGuard&) = delete;
    FifoGuard& operator=(const FifoGuard&) = delete;

    // True when a writer had to be freed: it waited on the FIFO.
    bool fired() {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_fired;
    }

private:
    QByteArray m_fifo;
    std::mutex m_mutex;
    std::condition_variable m_cv;
    bool m_done = false;
    bool m_fired = false;
    int m_reader = -1;
    std::thread m_thread;
};
