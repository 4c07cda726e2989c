#include "settings/SettingsValues.h"

#include <QStringList>

QString PathListFile;
QString ExcludedPathListFile;
QString HelpFile;

QString CommandLineText(const QStringList& arguments) { return arguments.mid(1).join(QLatin1Char(' ')); }

bool IsQuickSwitch(const QString& commandLine) { return commandLine.toUpper() == QLatin1String("/QUICK"); }
