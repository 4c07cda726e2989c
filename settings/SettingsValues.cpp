#include "settings/SettingsValues.h"

#include <QCoreApplication>
#include <QStringList>

QString PathListFile;
QString ExcludedPathListFile;
QString HelpFile;

QString CommandLineText() {
    if (!QCoreApplication::instance()) return {};
    return QCoreApplication::arguments().mid(1).join(QLatin1Char(' '));
}

bool IsQuickSwitch(const QString& commandLine) { return commandLine.toUpper() == QLatin1String("/QUICK"); }
