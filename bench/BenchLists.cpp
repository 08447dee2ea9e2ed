#include "BenchLists.h"

#include "BenchUtil.h"
#include "FakePlatform.h"
#include "Form1.h"
#include "ListBox.h"

#include <QAction>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <cstdio>

void BenchTidy(int lines)
{
    FakePlatform fake;
    Form1 form(AppSettings::onHost(QStringLiteral("http://127.0.0.1:9")), fake.platform);
    form.show();
    auto *list = form.findChild<platform::ListBox *>(QStringLiteral("List1"));
    QStringList messy;
    for (int i = 0; i < lines; ++i) {
        const QString n = QString::number(i);
        switch (i % 4) {
        case 0:
            messy << QStringLiteral(" https://user@WWW.Shop%1.Example.com:8080/a/b?q=1#x ").arg(n);
            break;
        case 1:
            messy << QStringLiteral("%1\tSite%1.COM.\t123").arg(n);
            break;
        case 2:
            messy << QStringLiteral("名称%1;例子%1.中国/路径").arg(n);
            break;
        default:
            messy << QStringLiteral("\t ");
            break;
        }
    }
    list->addItems(messy);
    QCoreApplication::processEvents();
    const double rssBefore = PeakRssMiB();
    QElapsedTimer timer;
    timer.start();
    list->findChild<QAction *>(QStringLiteral("tidyList"))->trigger();
    QCoreApplication::processEvents(); // the list lays itself out and paints
    const double ms = timer.nsecsElapsed() / 1e6;
    std::printf(
        "整理域名, %d messy lines:          %8.1f ms, %d entries left, peak RSS +%.1f MiB\n", lines,
        ms, int(list->count()), PeakRssMiB() - rssBefore);
}
