#include "LinkButtons.h"

QString BrowserCommandLine(const QString &rootUrl)
{
    return QStringLiteral("explorer.exe ") + rootUrl;
}
