#include "errorrecorder.h"
#include "windowdriver.h"

#include <QApplication>
#include <QDir>
#include <QLabel>

// The window on a screen scaled to 200 %: pictures are drawn from their sharp variants, and
// each only once its page is first shown.
class HiDpiTest : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void picturesHaveTwiceThePixels_data();
    void picturesHaveTwiceThePixels();
    void picturesOfHiddenPagesWaitForTheirPage();
    void renderAtTwiceTheSize();

private:
    std::unique_ptr<ErrorRecorder> m_errors;
    std::unique_ptr<WindowDriver> m_driver;
};

void HiDpiTest::init()
{
    QCOMPARE(qApp->devicePixelRatio(), 2.0);
    m_errors = std::make_unique<ErrorRecorder>();
    m_driver = std::make_unique<WindowDriver>();
}

void HiDpiTest::cleanup()
{
    m_driver.reset();
    m_errors.reset();
}

void HiDpiTest::picturesHaveTwiceThePixels_data()
{
    QTest::addColumn<int>("place");
    QTest::addColumn<QString>("picture");
    QTest::addColumn<QSize>("size");
    QTest::newRow("home picture") << 0 << "Image8" << QSize(329, 529);
    QTest::newRow("first overview photograph") << 1 << "Image4" << QSize(200, 150);
    QTest::newRow("small overview photograph") << 1 << "Image7" << QSize(150, 113);
    QTest::newRow("honeycomb tile") << 15 << "Image9" << QSize(50, 50);
    QTest::newRow("triangle tile") << 15 << "Image18" << QSize(50, 49);
}

void HiDpiTest::picturesHaveTwiceThePixels()
{
    QFETCH(int, place);
    QFETCH(QString, picture);
    QFETCH(QSize, size);
    m_driver->clickNode(place);
    const QPixmap shown = m_driver->widget<QLabel>(picture)->pixmap();
    QCOMPARE(shown.size(), size * 2);
    QCOMPARE(shown.devicePixelRatio(), 2.0);
    QCOMPARE(shown.deviceIndependentSize().toSize(), size);
}

void HiDpiTest::picturesOfHiddenPagesWaitForTheirPage()
{
    QVERIFY(!m_driver->widget<QLabel>(QStringLiteral("Image8"))->pixmap().isNull());
    for (const char *name : {"Image4", "Image7", "Image9", "Image18"})
        QVERIFY2(m_driver->widget<QLabel>(QString::fromLatin1(name))->pixmap().isNull(), name);
    m_driver->clickNode(15);
    QVERIFY(!m_driver->widget<QLabel>(QStringLiteral("Image18"))->pixmap().isNull());
    QVERIFY(m_driver->widget<QLabel>(QStringLiteral("Image4"))->pixmap().isNull());
}

void HiDpiTest::renderAtTwiceTheSize()
{
    m_driver->clickNode(15);
    m_driver->pickVariant(QStringLiteral("RadioGroup5"), 4);
    m_driver->click(QStringLiteral("ToolButton1"));
    const QPixmap shot = m_driver->window().grab();
    QCOMPARE(shot.size(), m_driver->window().size() * 2);
    const QString folder = QCoreApplication::applicationDirPath() + QStringLiteral("/screenshots");
    QDir().mkpath(folder);
    QVERIFY(shot.save(folder + QStringLiteral("/main-window@2x.png")));
    m_driver->clickNode(15);
    QVERIFY(m_driver->window().grab().save(folder + QStringLiteral("/tiles@2x.png")));
}

int main(int argc, char *argv[])
{
    // As a desktop scaled to 200 % starts the program.
    qputenv("QT_SCALE_FACTOR", "2");
    QApplication app(argc, argv);
    HiDpiTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_hidpi.moc"
