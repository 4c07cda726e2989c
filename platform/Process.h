#pragma once
// Starting other programs and documents, and ending this program.
#include <QString>
#include <functional>

namespace platform {

// Ends the process at once with the exit status given, without closing windows
// one by one. Status 0 means success; an unattended run that met errors ends
// with 1 so that a scheduler or a login script can see it. Tests install a
// handler instead; callers must therefore return after the call.
void EndProgram(int status = 0);
void SetEndProgramHandler(std::function<void(int status)> handler);  // empty restores the real end

// Result codes of OpenDocument, as callers of the shell expect them:
// greater than 32 means started.
namespace OpenResult {
constexpr int Started = 42;
constexpr int FileNotFound = 2;
constexpr int BadExecutable = 11;
constexpr int NoAssociation = 31;
constexpr int Unknown = 0;
}  // namespace OpenResult

// Opens a file, folder or web address the way a desktop does: an executable
// regular file is started directly as a detached process without arguments;
// anything else is handed to xdg-open, detached. Never through a shell line.
int OpenDocument(const QString& file);
// Tests install a handler that records the request and returns a result code.
void SetOpenDocumentHandler(std::function<int(const QString&)> handler);

}  // namespace platform
