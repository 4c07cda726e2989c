#include "platform/ChildProcess.h"

#include <QCoreApplication>
#include <QProcess>

namespace platform {

bool RunAndWaitForProgram(const QString& program) {
    QProcess child;
    // The child writes to our own terminal, as an inherited console would;
    // nothing is collected here, so a talkative child cannot fill a buffer.
    child.setProcessChannelMode(QProcess::ForwardedChannels);
    child.setInputChannelMode(QProcess::ForwardedInputChannel);
    child.setProgram(program);
    child.start();
    if (!child.waitForStarted(-1)) return false;
    while (child.state() != QProcess::NotRunning) {
        QCoreApplication::processEvents(QEventLoop::AllEvents);
        // A short blocking wait between polls keeps the loop from spinning a
        // processor core while the child works; the windows still answer
        // within a few hundredths of a second.
        child.waitForFinished(20);
    }
    return true;
}

}  // namespace platform
