#include "errorrecorder.h"
#include "shell/journalprint.h"
#include "windowdriver.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QStackedWidget>
#include <QTest>
#include <QToolTip>

// Renders the main window with each page shown, so that a person can look at them.
class ScreenshotTest : public QObject
{
    Q_OBJECT

private slots:
    void renderEveryPage_data();
    void renderEveryPage();
    void renderJournalAsPdf();
    void renderToolTipAndPrintPreview();
};

void ScreenshotTest::renderEveryPage_data()
{
    QTest::addColumn<int>("place");
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("list");
    QTest::addColumn<QString>("compute");
    QTest::newRow("home") << -1 << "main-window.png"
                          << ""
                          << "";
    QTest::newRow("overview") << 1 << "overview.png"
                              << ""
                              << "";
    QTest::newRow("masonry") << 3 << "masonry.png"
                             << ""
                             << "BitBtn9";
    QTest::newRow("foundation") << 7 << "foundation.png"
                                << "RadioGroup1"
                                << "BitBtn2";
    QTest::newRow("gates") << 9 << "gates.png"
                           << "RadioGroup6"
                           << "Button5";
    QTest::newRow("painting") << 11 << "painting.png"
                              << ""
                              << "BitBtn6";
    QTest::newRow("underlay") << 13 << "underlay.png"
                              << "RadioGroup4"
                              << "Button1";
    QTest::newRow("tiles") << 15 << "tiles.png"
                           << "RadioGroup5"
                           << "Button3";
    QTest::newRow("grass") << 17 << "grass.png"
                           << "RadioGroup2"
                           << "BitBtn4";
}

void ScreenshotTest::renderEveryPage()
{
    QFETCH(int, place);
    QFETCH(QString, file);
    QFETCH(QString, list);
    QFETCH(QString, compute);
    WindowDriver driver;
    if (place >= 0)
        driver.clickNode(place);
    // Pages are shown with the results of a computation on their default inputs.
    if (!list.isEmpty())
        driver.pickVariant(list, list == u"RadioGroup2" ? 0 : 4);
    if (!compute.isEmpty())
        driver.click(compute);
    const QString folder = QCoreApplication::applicationDirPath() + QStringLiteral("/screenshots");
    QDir().mkpath(folder);
    const QImage image = driver.window().grab().toImage();
    QVERIFY(!image.isNull());
    QVERIFY(image.save(folder + u'/' + file));
}

void ScreenshotTest::renderJournalAsPdf()
{
    WindowDriver driver;
    driver.clickNode(4);
    driver.type(QStringLiteral("Edit1"), QStringLiteral("10"));
    driver.type(QStringLiteral("Edit2"), QStringLiteral("3"));
    driver.click(QStringLiteral("BitBtn9"));
    const QString path =
        QCoreApplication::applicationDirPath() + QStringLiteral("/screenshots/journal.pdf");
    driver.window().setPdfPathChooser([path] { return path; });
    driver.window().saveJournalAsPdf();
    QVERIFY(QFileInfo(path).size() > 1000);
}

void ScreenshotTest::renderToolTipAndPrintPreview()
{
    WindowDriver driver;
    driver.clickNode(4);
    driver.click(QStringLiteral("BitBtn9"));
    const QString folder = QCoreApplication::applicationDirPath() + QStringLiteral("/screenshots/");

    QWidget *caption = driver.widget(QStringLiteral("Label13"));
    QToolTip::showText(caption->mapToGlobal(caption->rect().center()), caption->toolTip(), caption);
    const auto shownTip = [] {
        for (QWidget *window : QApplication::topLevelWidgets()) {
            if (window->inherits("QTipLabel") && window->isVisible())
                return window;
        }
        return static_cast<QWidget *>(nullptr);
    };
    QTRY_VERIFY(shownTip());
    QWidget *tip = shownTip();
    QVERIFY(tip->grab().save(folder + QStringLiteral("tooltip.png")));

    QPrinter printer;
    QPrintPreviewWidget preview(&printer);
    connect(&preview, &QPrintPreviewWidget::paintRequested, this, [&](QPrinter *target) {
        journalprint::print(target, driver.journal(), QStringLiteral("07.12.2026"),
                            QStringLiteral("10:05:07"));
    });
    preview.resize(500, 700);
    preview.show();
    preview.updatePreview();
    QVERIFY(preview.pageCount() >= 1);
    QVERIFY(preview.grab().save(folder + QStringLiteral("print-preview.png")));
}

QTEST_MAIN(ScreenshotTest)
#include "tst_screenshots.moc"
