#pragma once
// One backup run at a time per program folder. A run holds the lock file
// "corvex.lock" in the program folder from its start to its end, so that a
// second program started from the same folder meanwhile cannot mix its lists,
// logs and planner IDs with those of the first. A lock left behind by a run
// that was killed is taken over, and so is one that names no holder (left
// empty by a power cut), with a level-0 line. A link, FIFO or other special
// file in the lock's place is never opened: an error of the run, which goes on
// without the lock. Locks taken again inside a run of this
// process (the copy loop within an automatic run) share the outer one.
#include <QString>
#include <memory>

class QLockFile;

class RunLock {
public:
    RunLock();
    ~RunLock();
    RunLock(const RunLock&) = delete;
    RunLock& operator=(const RunLock&) = delete;

    // False when another run of this program folder holds the lock. The
    // refusal is logged at level 0 and counted as a run error; with a user
    // present (showBox) it is also shown in a message box.
    bool take(bool showBox);

    // The lock file of the program folder.
    static QString path();

private:
    std::unique_ptr<QLockFile> m_lock;
    bool m_nested = false;
};
