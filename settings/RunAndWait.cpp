#include "settings/RunAndWait.h"

#include "platform/ChildProcess.h"

void RunProgram(const QString& commandLine) { RunAndWait(commandLine); }

void RunAndWait(const QString& commandLine) { platform::RunAndWaitForProgram(commandLine); }
