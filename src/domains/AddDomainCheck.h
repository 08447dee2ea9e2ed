#pragma once

#include <QString>

// Why a typed-in domain is refused, in the order the checks run; an empty text means it may be
// added.
QString AddDomainRefusal(const QString &text);
