#include "platform/ChildProcess.h"

#include <gtest/gtest.h>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTimer>

namespace {
QString writeScript(const QTemporaryDir& dir, const QString& name, const QByteArray& body) {
    const QString path = dir.path() + '/' + name;
    QFile f(path);
    f.open(QIODevice::WriteOnly);
    f.write("#!/bin/sh\n" + body);
    f.close();
    f.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    return path;
}
}  // namespace

TEST(ChildProcess, WaitsForTheProgramAndHandlesEventsMeanwhile) {
    QTemporaryDir dir;
    const QString marker = dir.path() + "/done";
    const QString program = writeScript(dir, "child", "sleep 0.4\necho finished > '" + marker.toUtf8() + "'\n");

    bool eventRan = false;
    bool childStillRunning = false;
    QTimer::singleShot(100, [&] {
        eventRan = true;
        childStillRunning = !QFileInfo::exists(marker);
    });
    QElapsedTimer clock;
    clock.start();
    EXPECT_TRUE(platform::RunAndWaitForProgram(program));
    EXPECT_TRUE(QFileInfo::exists(marker)) << "returned before the child ended";
    EXPECT_GE(clock.elapsed(), 350);
    EXPECT_TRUE(eventRan) << "window events were not handled during the wait";
    EXPECT_TRUE(childStillRunning);
}

TEST(ChildProcess, MissingOrNonExecutableProgramReturnsAtOnce) {
    QTemporaryDir dir;
    QElapsedTimer clock;
    clock.start();
    EXPECT_FALSE(platform::RunAndWaitForProgram(dir.path() + "/no-such-program"));
    QFile plain(dir.path() + "/plain");
    plain.open(QIODevice::WriteOnly);
    plain.write("not a program");
    plain.close();
    plain.setPermissions(QFile::ReadOwner | QFile::WriteOwner);
    EXPECT_FALSE(platform::RunAndWaitForProgram(plain.fileName()));
    EXPECT_LT(clock.elapsed(), 3000);
}

TEST(ChildProcess, ProgramThatFailsStillCountsAsRun) {
    QTemporaryDir dir;
    const QString program = writeScript(dir, "failing", "exit 3\n");
    EXPECT_TRUE(platform::RunAndWaitForProgram(program));
}
