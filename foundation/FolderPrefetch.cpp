#include "foundation/FolderPrefetch.h"

#include "platform/ByteText.h"
#include "platform/EventLoop.h"
#include "platform/Wildcard.h"

#include <QHash>
#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <exception>
#include <mutex>
#include <optional>
#include <set>
#include <system_error>
#include <thread>
#include <utility>

namespace {

int threadsWanted = -1;  // below 0: the default

// One folder's read: queued, then run by a worker or by the window thread,
// then done. Its phase is guarded by the pool's mutex; its result belongs to
// whoever runs it until its phase says done, and to the window thread after.
struct Job {
    enum class Phase { Queued, Running, Done };
    Phase phase = Phase::Queued;
    std::exception_ptr failure;  // what a worker's run threw, thrown again to the window thread
    virtual ~Job() = default;
    virtual void run(const std::atomic<bool>& cancel) = 0;
};

// A few worker threads taking jobs from one queue, started with the first job.
// They are started by the thread that asks for the reads and so inherit its
// file-access identity (a thread may read as another user than the process).
class Pool {
public:
    Pool() = default;
    ~Pool() { stop(); }

    std::mutex& mutex() { return m_mutex; }

    // Queues the job at the front or the back; the caller holds the mutex.
    void queueLocked(std::shared_ptr<Job> job, bool atFront) {
        if (m_cancel) return;
        if (!m_started) {
            m_started = true;
            start();
        }
        if (m_threads.empty()) return;  // no workers: the window thread reads it when it takes it
        if (atFront)
            m_queue.push_front(std::move(job));
        else
            m_queue.push_back(std::move(job));
        m_wake.notify_one();
    }

    // Runs the job here when no worker has started it, else waits until the
    // worker is done, giving the windows a turn now and then meanwhile.
    void finish(Job& job) {
        std::unique_lock lock(m_mutex);
        if (job.phase == Job::Phase::Queued) {
            job.phase = Job::Phase::Running;  // a worker that meets it in the queue passes it over
            lock.unlock();
            job.run(m_cancel);
            lock.lock();
            job.phase = Job::Phase::Done;
            return;
        }
        while (!m_done.wait_for(lock, std::chrono::milliseconds(50), [&] { return job.phase == Job::Phase::Done; })) {
            lock.unlock();
            platform::YieldToWindows();
            lock.lock();
        }
        if (job.failure) std::rethrow_exception(job.failure);
    }

    const std::atomic<bool>& cancelled() const { return m_cancel; }

    // Drops the queued jobs, lets the running ones end and waits for the workers.
    void stop() {
        {
            std::lock_guard lock(m_mutex);
            m_cancel = true;
            m_queue.clear();
        }
        m_wake.notify_all();
        for (std::thread& t : m_threads) t.join();
        m_threads.clear();
    }

private:
    void start() {
        const int count =
            threadsWanted >= 0 ? threadsWanted : int(std::clamp(std::thread::hardware_concurrency(), 2u, 8u));
        try {
            for (int i = 0; i < count; ++i) m_threads.emplace_back([this] { work(); });
        } catch (const std::system_error&) {
            // No more threads to be had: those started do the work, or none and
            // the window thread reads every folder itself.
        }
    }

    void work() {
        std::unique_lock lock(m_mutex);
        for (;;) {
            m_wake.wait(lock, [this] { return m_cancel || !m_queue.empty(); });
            if (m_cancel) return;
            const std::shared_ptr<Job> job = std::move(m_queue.front());
            m_queue.pop_front();
            if (job->phase != Job::Phase::Queued) continue;  // the window thread ran it itself
            job->phase = Job::Phase::Running;
            lock.unlock();
            try {
                job->run(m_cancel);
            } catch (...) {
                job->failure = std::current_exception();  // out of memory, most likely
            }
            lock.lock();
            job->phase = Job::Phase::Done;
            m_done.notify_all();
        }
    }

    std::mutex m_mutex;
    std::condition_variable m_wake;  // a job was queued, or the pool stops
    std::condition_variable m_done;  // a job is done
    std::deque<std::shared_ptr<Job>> m_queue;
    std::vector<std::thread> m_threads;
    std::atomic<bool> m_cancel = false;
    bool m_started = false;
};

}  // namespace

// ---------------------------------------------------------------------------

void SetFolderReadThreads(int count) { threadsWanted = std::max(count, 0); }

void ResetFolderReadThreads() { threadsWanted = -1; }

// ---------------------------------------------------------------------------

struct WalkPrefetch::State {
    struct WalkJob;
    std::optional<platform::FolderId> leaveOut;
    std::vector<quint64> virtualDevices;
    QHash<QString, std::shared_ptr<WalkJob>> jobs;   // queued or read, not yet taken; under the pool's mutex
    std::set<std::pair<quint64, quint64>> goneInto;  // folders whose subfolders were queued; the same
    Pool pool;                                       // last, so its workers end first

    bool passesOver(const platform::FolderId& id) const {
        return (leaveOut && id == *leaveOut) ||
               std::find(virtualDevices.begin(), virtualDevices.end(), id.device) != virtualDevices.end();
    }
};

struct WalkPrefetch::State::WalkJob : Job {
    WalkJob(QString f, State& s) : folder(std::move(f)), state(s) {}
    QString folder;
    State& state;
    WalkRead result;

    void run(const std::atomic<bool>& cancel) override {
        if (cancel) return;
        result.opened = platform::ReadSubFolders(folder, result.entries, result.subFolders, &result.id, false);
        if (!result.opened || state.passesOver(result.id)) return;
        std::lock_guard lock(state.pool.mutex());
        if (!state.goneInto.insert({result.id.device, result.id.inode}).second) return;
        // Queued at the front in reverse, so the first subfolder is read first.
        for (auto sub = result.subFolders.rbegin(); sub != result.subFolders.rend(); ++sub) {
            if (state.jobs.contains(sub->path)) continue;
            auto job = std::make_shared<WalkJob>(sub->path, state);
            state.jobs.insert(sub->path, job);
            state.pool.queueLocked(job, true);
        }
    }
};

WalkPrefetch::WalkPrefetch(const platform::FolderId* leaveOut, QSet<quint64> virtualDevices) : d(new State) {
    if (leaveOut) d->leaveOut = *leaveOut;
    d->virtualDevices.assign(virtualDevices.begin(), virtualDevices.end());
}

WalkPrefetch::~WalkPrefetch() { d->pool.stop(); }

WalkRead WalkPrefetch::take(const QString& folder) {
    std::shared_ptr<State::WalkJob> job;
    {
        std::lock_guard lock(d->pool.mutex());
        job = d->jobs.take(folder);
    }
    if (!job) {
        // Not queued (the root, or a folder a worker did not go into): read here,
        // which queues its subfolders as a worker's read would.
        job = std::make_shared<State::WalkJob>(folder, *d);
        job->phase = Job::Phase::Running;
        job->run(d->pool.cancelled());
        return std::move(job->result);
    }
    d->pool.finish(*job);
    return std::move(job->result);
}

// ---------------------------------------------------------------------------

ScanRead ReadFolderForScan(const QString& folderSlash, platform::FolderEntries* given, const QStringList& masks,
                           qint64 first, qint64 end, const std::atomic<bool>* cancel) {
    ScanRead read;
    platform::FolderEntries own;
    platform::FolderEntries& entries = given ? *given : own;
    if (!given && !platform::ReadFolderEntries(folderSlash, entries)) return read;
    read.readable = true;
    read.rowsByMask.resize(size_t(masks.size()));
    const int n = entries.size();
    if (n == 0) return read;

    QByteArray path = platform::BytesFromText(folderSlash);
    const qsizetype baseLength = path.size();
    // Each entry's status is read relative to the open folder; the whole path
    // is used only when the folder cannot be held open.
    const platform::OpenFolder openFolder(path);
    QByteArray entryName;
    constexpr int kNotRead = -2, kFails = -1;  // else the entry's index in read.files
    std::vector<int> verdict(size_t(n), kNotRead);
    std::vector<std::optional<QString>> names(static_cast<size_t>(n));
    auto nameOf = [&](int i) -> const QString& {
        if (!names[size_t(i)]) names[size_t(i)] = entries.displayName(i);
        return *names[size_t(i)];
    };

    for (qsizetype m = 0; m < masks.size(); ++m) {
        const QString& mask = masks[m];
        const bool everyName = platform::WildcardMatchesAll(mask);
        for (int i = 0; i < n; ++i) {
            if (cancel && (i & 63) == 0 && cancel->load(std::memory_order_relaxed)) return read;
            const platform::EntryKind kind = entries.kind(i);
            if (kind == platform::EntryKind::Folder || kind == platform::EntryKind::Other) continue;
            if (!everyName && !platform::WildcardMatch(nameOf(i), mask)) continue;
            int& v = verdict[size_t(i)];
            if (v == kNotRead) {
                platform::FileStatus st;
                if (openFolder.isOpen()) {
                    entryName.truncate(0);
                    entryName.append(entries.name(i));
                    st = openFolder.status(entryName);
                } else {
                    path.truncate(baseLength);
                    path.append(entries.name(i));
                    st = platform::GetEntryStatus(path);
                }
                if ((st.isFile || st.isLink) && st.modifiedSecs >= first && st.modifiedSecs < end) {
                    v = int(read.files.size());
                    read.files.push_back({nameOf(i), st});
                } else {
                    v = kFails;
                }
            }
            if (v >= 0) read.rowsByMask[size_t(m)].push_back(v);
        }
    }
    return read;
}

// ---------------------------------------------------------------------------

namespace {

struct ScanJob : Job {
    QString folderSlash;
    bool hasEntries = false;
    platform::FolderEntries entries;
    const QStringList* masks = nullptr;
    qint64 first = 0, end = 0;
    ScanRead result;

    void run(const std::atomic<bool>& cancel) override {
        result = ReadFolderForScan(folderSlash, hasEntries ? &entries : nullptr, *masks, first, end, &cancel);
        entries.clear();
    }
};

// How many folders the workers may read ahead of the one the scan takes.
constexpr qsizetype kScanAhead = 64;

}  // namespace

struct ScanPrefetch::State {
    QStringList folders;
    QStringList masks;
    qint64 first = 0, end = 0;
    std::vector<std::shared_ptr<ScanJob>> jobs;
    TakeKeptEntries takeKept;
    qsizetype queued = 0;  // folders[0, queued) have their job
    Pool pool;             // last, so its workers end first
};

ScanPrefetch::ScanPrefetch(const QStringList& folders, const QStringList& masks, qint64 first, qint64 end,
                           TakeKeptEntries takeKept)
    : d(new State) {
    d->folders = folders;
    d->takeKept = std::move(takeKept);
    d->masks = masks;
    d->first = first;
    d->end = end;
    d->jobs.resize(size_t(folders.size()));
}

ScanPrefetch::~ScanPrefetch() { d->pool.stop(); }

ScanRead ScanPrefetch::take(qsizetype index) {
    if (index < 0 || index >= d->folders.size()) return {};
    const qsizetype until = std::min(d->folders.size(), index + 1 + kScanAhead);
    for (; d->queued < until; ++d->queued) {
        auto job = std::make_shared<ScanJob>();
        const QString& folder = d->folders[d->queued];
        job->folderSlash = folder.endsWith(u'/') ? folder : folder + u'/';
        // A folder of a walked tree was read by the walk already.
        job->hasEntries = d->takeKept && d->takeKept(folder, job->entries);
        job->masks = &d->masks;
        job->first = d->first;
        job->end = d->end;
        d->jobs[size_t(d->queued)] = job;
        std::lock_guard lock(d->pool.mutex());
        d->pool.queueLocked(job, false);
    }
    const std::shared_ptr<ScanJob> job = std::move(d->jobs[size_t(index)]);
    if (!job) return {};
    d->pool.finish(*job);
    return std::move(job->result);
}
