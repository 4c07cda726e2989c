#include "foundation/MakerAddresses.h"

QString MakerWebAddress() { return QStringLiteral("https://www.example.com/tamsel/"); }

QString MakerSupportAddress() { return QStringLiteral("support@example.com"); }
