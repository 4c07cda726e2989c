#include "foundation/IniFile.h"

#include "foundation/Logging.h"
#include "platform/ProfileFile.h"

#include <QStringList>

QString IniFile;

namespace {
constexpr int kBufferSize = 32000;
}

QString ReadIni(const QString& file, const QString& section, const QString& key) {
    QString value;
    int copied = platform::ReadProfileString(file, section, key, value, kBufferSize);
    if (copied == 0) copied = platform::ReadProfileString(file, section, key, value, kBufferSize);
    if (copied == 0) {
        WriteLog("Warning - failed to read INI :file=" + file + "    sect=" + section + "   key=" + key, 3);
        return {};
    }
    return value.trimmed();
}

int WriteIni(const QString& section, const QString& key, const QString& value, const QString& file) {
    QString why;
    if (!platform::WriteProfileString(section, key, value, file, &why))
        WriteLog("WriteIni : Cant write the settings file '" + file + "' - " + why + " - [" + section + "] " + key +
                     " was not saved",
                 0);
    return 0;
}

bool WriteIniChecked(const QString& section, const QString& key, const QString& value, const QString& file) {
    QString why;
    if (platform::WriteProfileString(section, key, value, file, &why)) return true;
    WriteLog("Cant write the setting [" + section + "] " + key + " to the settings file '" + file + "' - " + why, 0);
    return false;
}

bool WriteIniValues(const QString& file, const std::vector<platform::ProfileEntry>& values) {
    QString why;
    if (platform::WriteProfileStrings(file, values, &why)) return true;
    QStringList keys;
    for (const platform::ProfileEntry& v : values) keys << "[" + v.section + "] " + v.key;
    WriteLog("WriteIniValues : Cant write the settings file '" + file + "' - " + why + " - none of " +
                 keys.join(QStringLiteral(", ")) + " was saved",
             0);
    return false;
}
