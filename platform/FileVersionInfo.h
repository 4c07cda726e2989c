#pragma once
// The version strings that Windows executables and libraries carry in their
// version resource, read from the file with a reader of our own.
#include <QByteArray>
#include <QString>

namespace platform {

// The string entries of a PE file's version resource as one 8-bit block: for
// each entry, in resource order, its key, a NUL, NULs up to a multiple of 4
// bytes counted from the key's first byte, then its value in UTF-8 and a NUL.
// So a value lies at its key's position plus the key's length and NUL rounded
// up to 4. Empty for files that are no PE file or carry no version resource;
// a damaged file gives what could be read safely, never more.
QByteArray GetFileVersionInfo(const QString& path);

}  // namespace platform
