#pragma once
// Reader and writer of INI-style profile files ("[section]" lines and
// "key=value" lines). Section and key names match without regard to case;
// a value is the text after the first "=", without surrounding blanks.
#include <QString>

namespace platform {

// Copies at most bufferSize - 1 characters of the value into value and returns
// how many it copied: 0 when the file, section or key is missing or the value is empty.
int ReadProfileString(const QString& file, const QString& section, const QString& key, QString& value, int bufferSize);

// Replaces the key's value in place, or adds the key at the end of its section,
// adding the section at the end of the file and creating the file when missing.
// Every other line (comments, unknown keys, lines before the first section) is
// kept as it stands. The whole file is written to a temporary name and renamed
// over the old one, so a crash never leaves it half written. Lines end in CR LF.
// Returns false when the file could not be written.
bool WriteProfileString(const QString& section, const QString& key, const QString& value, const QString& file);

}  // namespace platform
