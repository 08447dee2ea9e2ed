#include "TestFiles.h"

#include <QFile>
#include <QProcess>
#include <csignal>
#include <sys/resource.h>

QString WriteFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        qFatal("cannot write %s", qPrintable(path));
    return path;
}

QByteArray ReadFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QString ZipPart(const QString &zip, const QString &name)
{
    QProcess unzip;
    unzip.start(QStringLiteral("unzip"), { QStringLiteral("-p"), zip, name });
    unzip.waitForFinished(60'000);
    return QString::fromUtf8(unzip.readAllStandardOutput());
}

void WithFileSizeLimit(qint64 bytes, const std::function<void()> &write)
{
    rlimit limit {};
    getrlimit(RLIMIT_FSIZE, &limit);
    const rlimit small { rlim_t(bytes), limit.rlim_max }; // the hard limit kept, to undo it
    signal(SIGXFSZ, SIG_IGN);
    setrlimit(RLIMIT_FSIZE, &small);
    write();
    setrlimit(RLIMIT_FSIZE, &limit);
}
