#pragma once
// Facts about the running program, the user and the machine.
#include <QString>

namespace platform {

// The folder that holds the running executable, without a trailing "/".
// Tests point it at a temporary folder with SetProgramFolder.
QString ProgramFolder();
void SetProgramFolder(const QString& folder);  // "" restores the real one

// The running program's executable name without extension: "corvex" or "vantor".
QString ProgramName();
void SetProgramName(const QString& name);  // "" restores the real one

// The login name of the effective user; "" when the system does not say.
QString LoginName();
// The host name; "" when the system does not say.
QString HostName();
// Tests fix both names; "" restores the real ones.
void SetLoginName(const QString& name);
void SetHostName(const QString& name);

// The user's home folder and documents folder, without a trailing "/".
QString HomeFolder();
QString DocumentsFolder();

// The effective user's runtime folder, "/run/user/<uid>" (it need not exist).
QString UserRuntimeFolder();

}  // namespace platform
