#include "shell/windowstyle.h"
#include "windowdriver.h"

#include <QApplication>
#include <QMenuBar>
#include <QStyleFactory>
#include <QTextBlock>
#include <QTextEdit>
#include <QTreeWidget>

// Where the window's regions sit, what the home page's text box holds, and how the catalogue
// is drawn.
class WindowLayoutTest : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void regionsSitAtTheirClientPixels_data();
    void regionsSitAtTheirClientPixels();
    void catalogueKeepsAnInnerMargin();
    void homeTextHoldsTwelveCentredLines();
    void catalogueDrawsConnectingLinesAndBoxes_data();
    void catalogueDrawsConnectingLinesAndBoxes();

private:
    QRect clientRect(const QString &name) const;

    std::unique_ptr<WindowDriver> m_driver;
};

void WindowLayoutTest::init()
{
    m_driver = std::make_unique<WindowDriver>();
    m_driver->window().show();
    QVERIFY(QTest::qWaitForWindowExposed(&m_driver->window()));
}

void WindowLayoutTest::cleanup()
{
    m_driver.reset();
}

// A widget's rectangle in client-area pixels: the client area starts below the menu bar.
QRect WindowLayoutTest::clientRect(const QString &name) const
{
    TForm1 &window = m_driver->window();
    QWidget *widget = m_driver->widget(name);
    const QPoint topLeft =
        widget->mapTo(&window, QPoint(0, 0)) - QPoint(0, window.menuBar()->height());
    return QRect(topLeft, widget->size());
}

void WindowLayoutTest::regionsSitAtTheirClientPixels_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QRect>("expected"); // a width of -1 is the full width, a top of -1 the bottom
    QTest::newRow("tool bar") << "ToolBar1" << QRect(0, 0, -1, 47);
    QTest::newRow("first tool button after an 8-pixel gap")
        << "ToolButton16" << QRect(8, 1, 52, 45);
    QTest::newRow("second tool button") << "ToolButton1" << QRect(60, 1, 52, 45);
    QTest::newRow("catalogue") << "TreeView1" << QRect(8, 56, 289, 529);
    QTest::newRow("page area") << "PageControl1" << QRect(304, 56, 337, 537);
    QTest::newRow("journal panel") << "Memo2" << QRect(8, 600, 633, 49);
    QTest::newRow("status bar") << "StatusBar1" << QRect(0, -1, -1, 19);
}

void WindowLayoutTest::regionsSitAtTheirClientPixels()
{
    QFETCH(QString, name);
    QFETCH(QRect, expected);
    TForm1 &window = m_driver->window();
    const int clientWidth = window.width();
    const int clientHeight = window.height() - window.menuBar()->height();
    QRect want = expected;
    if (expected.width() < 0)
        want.setWidth(clientWidth);
    if (expected.top() < 0)
        want.moveTop(clientHeight - expected.height());
    QCOMPARE(clientRect(name), want);
}

// The catalogue's flat frame has an 8-pixel margin inside it on every side.
void WindowLayoutTest::catalogueKeepsAnInnerMargin()
{
    Catalogue *tree = m_driver->window().catalogue();
    const int frame = tree->frameWidth();
    QCOMPARE(tree->viewport()->geometry(),
             tree->rect().adjusted(frame + 8, frame + 8, -frame - 8, -frame - 8));
}

void WindowLayoutTest::homeTextHoldsTwelveCentredLines()
{
    auto *memo = m_driver->widget<QTextEdit>(QStringLiteral("Memo1"));
    const QStringList expected{"",
                               "Данная программа создана для производственно-",
                               "технических служб строительных организаций",
                               "",
                               "В основу расчетов программы положены ",
                               "расчетные коэффициенты из следующих ",
                               "источников:",
                               ""};
    QTextDocument *document = memo->document();
    QCOMPARE(document->blockCount(), 12);
    QStringList lines;
    for (QTextBlock block = document->begin(); block.isValid(); block = block.next()) {
        lines.append(block.text());
        QCOMPARE(block.blockFormat().alignment() & Qt::AlignHorizontal_Mask, Qt::AlignHCenter);
    }
    QCOMPARE(lines.mid(0, 8), expected);
    for (const QString &reference : lines.mid(8))
        QVERIFY2(!reference.trimmed().isEmpty(), "the reference takes four lines");
    QVERIFY(!memo->isReadOnly());
}

void WindowLayoutTest::catalogueDrawsConnectingLinesAndBoxes_data()
{
    QTest::addColumn<QString>("style");
    for (const QString &key : QStyleFactory::keys())
        QTest::newRow(qPrintable(key)) << key;
}

// Under each style the branch column of an open section shows a vertical line beside its
// children, and a section with children a box with a minus.
void WindowLayoutTest::catalogueDrawsConnectingLinesAndBoxes()
{
    QFETCH(QString, style);
    QApplication::setStyle(new WindowStyle(style));
    m_driver = std::make_unique<WindowDriver>();
    m_driver->window().show();
    QVERIFY(QTest::qWaitForWindowExposed(&m_driver->window()));
    Catalogue *tree = m_driver->window().catalogue();
    tree->node(1)->setExpanded(true);
    const QImage picture = tree->viewport()->grab().toImage();
    const QRgb ink = tree->palette().color(QPalette::Dark).rgb();
    const QRgb text = tree->palette().color(QPalette::Text).rgb();

    // The child's branch column is the second indentation step.
    const QRect child = tree->visualItemRect(tree->node(3));
    const int lineX = tree->indentation() + tree->indentation() / 2;
    int inkPixels = 0;
    for (int y = child.top(); y <= child.bottom(); ++y)
        inkPixels += picture.pixel(lineX - 1, y) == ink || picture.pixel(lineX, y) == ink;
    QVERIFY2(inkPixels >= child.height() / 3, qPrintable(QString::number(inkPixels)));

    const QRect section = tree->visualItemRect(tree->node(1));
    int minusPixels = 0;
    for (int x = 0; x < tree->indentation(); ++x) {
        for (int dy = -1; dy <= 1; ++dy)
            minusPixels += picture.pixel(x, section.center().y() + dy) == text;
    }
    QVERIFY2(minusPixels >= 3, qPrintable(QString::number(minusPixels)));

    // The last child's line turns right at its middle and goes no further down: a line from
    // above to the middle, one from the middle to the node, none below.
    const QRect last = tree->visualItemRect(tree->node(5));
    const auto inkIn = [&](int left, int top, int right, int bottom) {
        int count = 0;
        for (int y = top; y <= bottom; ++y)
            for (int x = left; x <= right; ++x)
                count += picture.pixel(x, y) == ink;
        return count;
    };
    const int middle = last.center().y();
    const int above = inkIn(lineX - 1, last.top(), lineX, middle - 2);
    const int across = inkIn(lineX + 2, middle - 1, 2 * tree->indentation() - 1, middle + 1);
    const int below = inkIn(lineX - 1, middle + 2, lineX, last.bottom());
    QVERIFY2(above >= (middle - last.top()) / 3, qPrintable(QString::number(above)));
    QVERIFY2(across >= 3, qPrintable(QString::number(across)));
    QCOMPARE(below, 0);

    // A section's box sits centred on its branch line, and a closed one's plus stays inside it.
    const int branchX = tree->indentation() / 2;
    const auto inkAcross = [&](int y) {
        QList<int> columns;
        for (int x = 0; x < tree->indentation(); ++x)
            if (picture.pixel(x, y) == ink)
                columns.append(x);
        return columns;
    };
    const QList<int> boxRow = inkAcross(section.center().y() - 3);
    QVERIFY(boxRow.size() >= 2);
    QVERIFY2(qAbs((boxRow.first() + boxRow.last()) / 2 - branchX) <= 1,
             qPrintable(QStringLiteral("%1..%2").arg(boxRow.first()).arg(boxRow.last())));
    // The minus stays inside its box.
    for (int x = 0; x < branchX - 4; ++x)
        QVERIFY2(picture.pixel(x, section.center().y()) != text, qPrintable(QString::number(x)));
    const int closed = tree->visualItemRect(tree->node(6)).center().y();
    const auto textAt = [&](int y) {
        return picture.pixel(branchX, y) == text || picture.pixel(branchX - 1, y) == text;
    };
    QVERIFY(textAt(closed - 2) && textAt(closed + 1));
    for (int y : {closed - 7, closed - 6, closed - 5, closed + 5, closed + 6, closed + 7})
        QVERIFY2(!textAt(y), qPrintable(QString::number(y - closed)));
    m_driver.reset();
    WindowStyle::install();
}

QTEST_MAIN(WindowLayoutTest)
#include "tst_windowlayout.moc"
