#pragma once
// Root ignores permission bits. Running the file-system checks under an
// ordinary user's identity (the file-system user id of this thread) makes a
// folder without read permission really unreadable, also under root.
#include <sys/fsuid.h>
#include <unistd.h>

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
