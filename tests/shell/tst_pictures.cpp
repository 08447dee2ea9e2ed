// Renders what a user sees into PNG files under the build folder: the main window after a
// batch run against the stand-in service, and the add dialog.
#include "Form1Fixture.h"
#include "StatusBar.h"

#include <QDialog>
#include <QDir>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QSlider>
#include <QTcpServer>
#include <QTimer>
#include <QTreeWidget>
#include <QtTest>

namespace {

// Marks drawn along a widget's bottom edge: runs of pixels that differ from the edge's first.
int TickMarksAlongTheBottom(QWidget &widget)
{
    const QImage image = widget.grab().toImage();
    const int y = image.height() - 2;
    const QRgb background = image.pixel(0, y);
    int runs = 0;
    for (int x = 1; x < image.width(); ++x) {
        const bool mark = image.pixel(x, y) != background;
        runs += mark && image.pixel(x - 1, y) == background ? 1 : 0;
    }
    return runs;
}

} // namespace

class TestPictures : public QObject
{
    Q_OBJECT

private slots:
    void mainWindowAfterARunAndTheAddDialog()
    {
        QTcpServer probe;
        QVERIFY(probe.listen(QHostAddress::LocalHost, 0));
        const quint16 port = probe.serverPort();
        probe.close();
        QProcess standin;
        standin.start(STANDIN_PATH, { "--port", QString::number(port), "--slow-ms", "300" });
        QVERIFY(standin.waitForReadyRead(10000));
        QVERIFY(standin.readAllStandardOutput().contains("listening"));

        Form1Fixture f(false, QFileInfo(STANDIN_PATH).absolutePath(),
                       QStringLiteral("http://127.0.0.1:%1").arg(port));
        // The real skin, so that the pictures show what a user sees.
        f.fake.skin.onAttach = [&] {
            QCOMPARE(platform::StyleSheetSkin().SkinH_AttachEx(f.fake.skin.paths.last(), {}), 0);
        };
        f.form->Load();
        QVERIFY(f.button("Command2")->isEnabled()); // the stand-in's version file matches

        f.importFile(f.settings.programDir + "/sample-domains.txt");
        QVERIFY(f.list()->count() > 3);
        f.click("Command2");
        f.find<QTimer>("Timer1")->setInterval(20);
        QTRY_COMPARE_WITH_TIMEOUT(f.status()->panelText(2), QString("所有域名已查询完毕!"), 20000);
        QVERIFY(f.table()->topLevelItemCount() >= 3);
        QCOMPARE(f.rowTexts(0),
                 QStringList({ "1", "example.com", "12,300", "8,120", "2,000", "35" }));

        QDir().mkpath(PICTURES_DIR);
        QVERIFY(f.form->grab().save(PICTURES_DIR "/Form1.png"));
        // The skin restyles the pace slider; its tick marks, one per value, still show.
        auto *slider = f.find<QSlider>("Slider1");
        QCOMPARE(TickMarksAlongTheBottom(*slider), slider->maximum() - slider->minimum() + 1);

        bool saved = false;
        f.fake.dialogs.onOpen = [&](QDialog &dialog) {
            dialog.findChild<QLineEdit *>("Text1")->setText("example.net");
            saved = dialog.grab().save(PICTURES_DIR "/Form2.png");
        };
        f.click("Command6");
        QVERIFY(saved);
        qApp->setStyleSheet(QString());
        standin.kill();
        standin.waitForFinished();
    }
};

QTEST_MAIN(TestPictures)
#include "tst_pictures.moc"
