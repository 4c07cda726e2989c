#pragma once
// Root ignores permission bits. Running the file-system checks under an
// ordinary user's identity (the file-system user id of this thread) makes a
// folder without read permission really unreadable, also under root.
#include <grp.h>
#include <sys/fsuid.h>
#include <sys/wait.h>
#include <unistd.h>

#include <functional>

class AsOrdinaryUser {
public:
    AsOrdinaryUser() {
        if (::geteuid() == 0) {
            ::setfsuid(65534);
            m_switched = ::setfsuid(uid_t(-1)) == 65534;
        }
    }
    ~AsOrdinaryUser() {
        if (m_switched) ::setfsuid(0);
    }
    AsOrdinaryUser(const AsOrdinaryUser&) = delete;
    AsOrdinaryUser& operator=(const AsOrdinaryUser&) = delete;

private:
    bool m_switched = false;
};

// Runs body in a child process under uid (group gid, no supplementary groups)
// and gives its exit status: an ordinary user's run, without changing this
// process. 99 when the child could not become that user, 98 when it did not
// end normally. Needs root.
inline int ExitStatusAs(uid_t uid, gid_t gid, const std::function<int()>& body) {
    const pid_t child = ::fork();
    if (child == 0) {
        if (::setgroups(0, nullptr) != 0 || ::setresgid(gid, gid, gid) != 0 || ::setresuid(uid, uid, uid) != 0)
            ::_exit(99);
        ::_exit(body());
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 98;
}

// Ordinary users the user database need not know, for files and links given
// away by a test run as root.
inline constexpr uid_t kAnna = 4242;  // she runs, or owns the links and folders
inline constexpr uid_t kBert = 4343;  // another ordinary user

// Who runs and who owns the link on the way, and whether the link rule
// follows it: root follows only its own links, an ordinary user every link.
struct LinkRun {
    const char* name;
    uid_t runner;
    uid_t owner;
    bool followed;
};
inline constexpr LinkRun kLinkRuns[] = {
    {"root runs, root's link", 0, 0, true},
    {"root runs, an ordinary user's link", 0, kAnna, false},
    {"she runs, her own link", kAnna, kAnna, true},
    {"she runs, root's link", kAnna, 0, true},
    {"she runs, another user's link", kAnna, kBert, true},
};
