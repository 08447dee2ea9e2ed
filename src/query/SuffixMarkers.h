#pragma once

#include <QString>

// True when one of the accepted suffix markers ("com", "cn", ...) occurs anywhere in `text`,
// exactly and case-sensitively. It is a containment test, not a test of the ending.
bool HasAcceptedSuffix(const QString &text);
