#include "VersionText.h"

QString VersionText(int major, int minor, int revision)
{
    return QStringLiteral("V%1.%2.%3").arg(major).arg(minor).arg(revision);
}
