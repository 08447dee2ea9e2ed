// Saves two different sets of service settings to the file named, in turn, without end, and
// says "saving" as each begins: a test kills it in the middle of one and reads what is left.
#include "ServiceSettings.h"

#include <QCoreApplication>
#include <cstdio>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    if (argc != 2)
        return 2;
    const QString path = QString::fromLocal8Bit(argv[1]);
    ServiceSettings settings[2];
    for (int i = 0; i < 2; ++i) {
        // Long enough that a write takes a while.
        settings[i].statsBase
            = QStringLiteral("http://s%1.example/").arg(i) + QString(60000, QChar(u'a' + i));
        settings[i].updateBase = QStringLiteral("http://u%1.example").arg(i);
        settings[i].proxy
            = i ? ServiceSettings::Proxy::None : ServiceSettings::Proxy::FromEnvironment;
    }
    for (unsigned n = 0;; ++n) {
        std::printf("saving\n");
        std::fflush(stdout);
        if (!settings[n % 2].save(path))
            return 1;
    }
}
