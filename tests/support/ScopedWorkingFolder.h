#pragma once
// Makes a new empty temporary folder the process's working folder while it
// lives, and puts back the working folder that was there when it ends. A test
// that checks that nothing is made in the folder a program was started in
// looks there, and whatever a fault makes goes with the temporary folder
// instead of staying behind in the build tree for every later run.
#include <QDir>
#include <QStringList>
#include <QTemporaryDir>

class ScopedWorkingFolder {
public:
    ScopedWorkingFolder() : m_old(QDir::currentPath()) {
        m_changed = m_folder.isValid() && QDir::setCurrent(m_folder.path());
    }
    ~ScopedWorkingFolder() {
        if (m_changed) QDir::setCurrent(m_old);
    }
    ScopedWorkingFolder(const ScopedWorkingFolder&) = delete;
    ScopedWorkingFolder& operator=(const ScopedWorkingFolder&) = delete;

    // False when the folder could not be made or entered.
    bool isValid() const { return m_changed; }
    // What the folder holds now, hidden entries included.
    QStringList entries() const {
        return QDir(m_folder.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    }

private:
    QString m_old;
    QTemporaryDir m_folder;
    bool m_changed = false;
};
