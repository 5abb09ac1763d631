// What start-up costs: the first frame decodes only the pictures it shows, and the image plugins
// are not all loaded to guess formats. Read from the process's own memory map, so POSIX only;
// each run is a fresh process, which is what the checks need.

#include "windowdriver.h"

#include <QFile>
#include <QLabel>
#include <QRegularExpression>
#include <QSet>

namespace {

// The image-format plugins mapped into this process, by file name.
QSet<QString> loadedImagePlugins()
{
    QFile maps(QStringLiteral("/proc/self/maps"));
    if (!maps.open(QIODevice::ReadOnly))
        return {QStringLiteral("(no memory map)")};
    QSet<QString> plugins;
    static const QRegularExpression plugin(QStringLiteral("/imageformats/(lib[^/\\s]+\\.so)"));
    for (const QByteArray &line : maps.readAll().split('\n')) {
        const QRegularExpressionMatch found = plugin.match(QString::fromLocal8Bit(line));
        if (found.hasMatch())
            plugins.insert(found.captured(1));
    }
    return plugins;
}

} // namespace

class StartupTest : public QObject
{
    Q_OBJECT

private slots:
    void firstFrameDecodesOnlyWhatItShows();
};

void StartupTest::firstFrameDecodesOnlyWhatItShows()
{
    QCOMPARE(loadedImagePlugins(), QSet<QString>());
    WindowDriver driver;
    // On a screen at 100 % the plain picture, not the one with twice the pixels.
    const QPixmap home = driver.widget<QLabel>(QStringLiteral("Image8"))->pixmap();
    QCOMPARE(home.size(), QSize(329, 529));
    QCOMPARE(home.devicePixelRatio(), 1.0);
    // The home picture needs the JPEG plugin; nothing asked the others to guess a format.
    QCOMPARE(loadedImagePlugins(), QSet<QString>{QStringLiteral("libqjpeg.so")});
    // The tile pictures wait for their page.
    for (int image = 9; image <= 18; ++image)
        QVERIFY(driver.widget<QLabel>(QStringLiteral("Image%1").arg(image))->pixmap().isNull());
    driver.clickNode(15);
    for (int image = 9; image <= 18; ++image) {
        const QPixmap tile = driver.widget<QLabel>(QStringLiteral("Image%1").arg(image))->pixmap();
        QCOMPARE(tile.width(), 50);
        QCOMPARE(tile.devicePixelRatio(), 1.0);
    }
    QCOMPARE(loadedImagePlugins(), QSet<QString>{QStringLiteral("libqjpeg.so")});
}

QTEST_MAIN(StartupTest)
#include "tst_startup_posix.moc"
