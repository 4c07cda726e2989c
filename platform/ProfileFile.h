#pragma once
// Reader and writer of INI-style profile files ("[section]" lines and
// "key=value" lines). Section and key names match without regard to case;
// a value is the text after the first "=", without surrounding blanks. Lines
// are bytes: text that is not UTF-8 is carried without loss (ByteText.h).
#include <QString>

#include <vector>

namespace platform {

// Copies at most bufferSize - 1 characters of the value into value and returns
// how many it copied: 0 when the file, section or key is missing or the value
// is empty, and when the file cannot be read or is not a regular file. Run as
// root, nothing is read through a link that root does not own, on the file's
// folders or in its own chain of links (TrustedLinks.h); refused, when given,
// then receives the reason, which names the link and its owner, and is
// emptied otherwise.
int ReadProfileString(const QString& file, const QString& section, const QString& key, QString& value, int bufferSize,
                      QString* refused = nullptr);

// Replaces the key's value in place, or adds the key at the end of its section,
// adding the section at the end of the file and creating the file when missing.
// Every other line (comments, unknown keys, lines before the first section,
// text in other encodings) is kept byte for byte with its own line end; new
// lines end in CR LF. The whole file is written to a temporary name, every
// write and the final flush are checked, and only then is it renamed over the
// old one: a failed write (a full disk, say) leaves the old file as it was and
// removes the temporary file. A file that exists but cannot be read, is not a
// regular file, or is read-only (its owner has no write permission) is never
// replaced. A settings file that is a symbolic link is saved through it, as a
// text editor saves: the file it leads to is replaced (through a temporary
// file in that file's folder) and the link stays; run as root, only through
// links root owns (SaveTarget). Returns false on any failure, with the reason
// in why.
bool WriteProfileString(const QString& section, const QString& key, const QString& value, const QString& file,
                        QString* why = nullptr);

// One value to write: the key in its section.
struct ProfileEntry {
    QString section;
    QString key;
    QString value;
};

// Writes every entry, in their order, as WriteProfileString writes one, but in
// one replacement of the file: it is read once and saved once, so it ends
// holding all the values or, after any failure, exactly what it held before.
// No entries leave the file untouched.
bool WriteProfileStrings(const QString& file, const std::vector<ProfileEntry>& entries, QString* why = nullptr);

}  // namespace platform
