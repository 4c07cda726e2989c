#include "foundation/IniFile.h"

#include "foundation/Logging.h"
#include "platform/ProfileFile.h"
#include "platform/TrustedLinks.h"

#include <QHash>
#include <QStringList>

QString IniFile;

namespace {
constexpr int kBufferSize = 32000;
}

QString ReadIni(const QString& file, const QString& section, const QString& key) {
    QString value;
    QString refused;
    int copied = platform::ReadProfileString(file, section, key, value, kBufferSize, &refused);
    if (copied == 0 && refused.isEmpty())
        copied = platform::ReadProfileString(file, section, key, value, kBufferSize, &refused);
    if (copied == 0) {
        if (!refused.isEmpty()) {
            // Every value read from the file would log the same refusal.
            static QHash<QString, QString> reported;
            const bool first = reported.value(file) != refused;
            reported.insert(file, refused);
            WriteLog("ReadIni : Cant read the settings file '" + file + "' - " + refused + " - [" + section + "] " +
                         key + " was not read",
                     first ? 0 : 3);
            return {};
        }
        WriteLog("Warning - failed to read INI :file=" + file + "    sect=" + section + "   key=" + key, 3);
        return {};
    }
    return value.trimmed();
}

bool SettingsFileRefused(const QString& file) {
    QString why;
    if (!platform::RefusedPath(file, &why)) return false;
    WriteLog("Cant use the settings file '" + file + "' - " + why, 0);
    return true;
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
