#include "SuffixMarkers.h"

#include <array>

bool HasAcceptedSuffix(const QString &text)
{
    static constexpr std::array<QLatin1StringView, 8> markers {
        QLatin1StringView("com"),  QLatin1StringView("cn"), QLatin1StringView("org"),
        QLatin1StringView("info"), QLatin1StringView("hk"), QLatin1StringView("me"),
        QLatin1StringView("net"),  QLatin1StringView("cc"),
    };
    for (const auto marker : markers) {
        if (text.contains(marker, Qt::CaseSensitive))
            return true;
    }
    return false;
}
