#include "errorrecorder.h"
#include "windowdriver.h"

#include <QLabel>
#include <QPlainTextEdit>

namespace {

const QString kNode3 = QStringLiteral("Кирпичная кладка 1,5 кирпича (380 мм.)");

} // namespace

// The catalogue keeps one node selected once one is, and every mouse click on it counts.
class CatalogueClicksTest : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void selectionCannotBeTakenAway_data();
    void selectionCannotBeTakenAway();
    void everyMouseButtonRunsTheClickOperation_data();
    void everyMouseButtonRunsTheClickOperation();
    void masonryRatesFollowTheSelectedNode_data();
    void masonryRatesFollowTheSelectedNode();

private:
    QPoint nodeCentre(int place) const;

    std::unique_ptr<ErrorRecorder> m_errors;
    std::unique_ptr<WindowDriver> m_driver;
};

void CatalogueClicksTest::init()
{
    m_errors = std::make_unique<ErrorRecorder>();
    m_driver = std::make_unique<WindowDriver>();
}

void CatalogueClicksTest::cleanup()
{
    m_driver.reset();
    m_errors.reset();
}

QPoint CatalogueClicksTest::nodeCentre(int place) const
{
    Catalogue *tree = m_driver->window().catalogue();
    return tree->visualItemRect(tree->node(place)).center();
}

void CatalogueClicksTest::selectionCannotBeTakenAway_data()
{
    QTest::addColumn<QString>("input");
    QTest::newRow("ctrl click on the selected node") << "ctrl-click";
    QTest::newRow("ctrl space") << "ctrl-space";
    QTest::newRow("ctrl click on the empty area") << "ctrl-click-empty";
    QTest::newRow("drag from the node into the empty area") << "drag";
}

void CatalogueClicksTest::selectionCannotBeTakenAway()
{
    QFETCH(QString, input);
    Catalogue *tree = m_driver->window().catalogue();
    QWidget *viewport = tree->viewport();
    m_driver->clickNode(3);
    QCOMPARE(tree->selectedPlace(), 3);
    const QPoint empty(viewport->width() / 2, viewport->height() - 4);

    if (input == QLatin1String("ctrl-click")) {
        QTest::mouseClick(viewport, Qt::LeftButton, Qt::ControlModifier, nodeCentre(3));
    } else if (input == QLatin1String("ctrl-space")) {
        QTest::keyClick(tree, Qt::Key_Space, Qt::ControlModifier);
    } else if (input == QLatin1String("ctrl-click-empty")) {
        QTest::mouseClick(viewport, Qt::LeftButton, Qt::ControlModifier, empty);
    } else {
        QTest::mousePress(viewport, Qt::LeftButton, Qt::NoModifier, nodeCentre(3));
        QMouseEvent move(QEvent::MouseMove, QPointF(empty), viewport->mapToGlobal(QPointF(empty)),
                         Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(viewport, &move);
        QTest::mouseRelease(viewport, Qt::LeftButton, Qt::NoModifier, empty);
    }
    QCOMPARE(tree->selectedPlace(), 3);
    QCOMPARE(tree->selectedItems().size(), 1);

    // The masonry page still has its node: Back moves from it, and the rates apply.
    m_driver->type(QStringLiteral("Edit1"), QStringLiteral("10"));
    m_driver->type(QStringLiteral("Edit2"), QStringLiteral("1"));
    m_driver->click(QStringLiteral("BitBtn9"));
    QCOMPARE(m_driver->text(QStringLiteral("Label17")), QStringLiteral("1501"));
    m_driver->click(QStringLiteral("ToolButton8"));
    QCOMPARE(tree->selectedPlace(), 2);
}

void CatalogueClicksTest::everyMouseButtonRunsTheClickOperation_data()
{
    QTest::addColumn<Qt::MouseButton>("button");
    QTest::newRow("left") << Qt::LeftButton;
    QTest::newRow("right") << Qt::RightButton;
    QTest::newRow("middle") << Qt::MiddleButton;
}

void CatalogueClicksTest::everyMouseButtonRunsTheClickOperation()
{
    QFETCH(Qt::MouseButton, button);
    Catalogue *tree = m_driver->window().catalogue();
    tree->node(1)->setExpanded(true);
    QTest::mouseClick(tree->viewport(), button, Qt::NoModifier, nodeCentre(3));
    QCOMPARE(tree->selectedPlace(), 3);
    QCOMPARE(m_driver->visiblePage()->objectName(), QStringLiteral("TabSheet1"));
    QCOMPARE(m_driver->widget<QLineEdit>(QStringLiteral("Edit3"))->text(), QStringLiteral("0,38"));
    QCOMPARE(m_driver->window().statusText(0), QStringLiteral("Текущий расчет: ") + kNode3);
    const QStringList line{QStringLiteral("Выбрано:  ") + kNode3};
    QCOMPARE(m_driver->newJournalLines(), line);
    auto *panel = m_driver->widget<QPlainTextEdit>(QStringLiteral("Memo2"));
    QTRY_COMPARE(panel->toPlainText().split(u'\n').mid(1), line);

    // A second click with the same button on the selected node repeats the line.
    QTest::mouseClick(tree->viewport(), button, Qt::NoModifier, nodeCentre(3));
    QCOMPARE(m_driver->newJournalLines(), line);
}

void CatalogueClicksTest::masonryRatesFollowTheSelectedNode_data()
{
    QTest::addColumn<int>("place");
    QTest::addColumn<QStringList>("shown");
    // A wall 10 by 1 with no openings, at the node's own thickness.
    QTest::newRow("1,0 brick") << 2 << QStringList{"2,5", "1000", "0,555", "0,0025"};
    QTest::newRow("1,5 bricks") << 3 << QStringList{"3,8", "1501", "0,893", "0,0038"};
    QTest::newRow("2,0 bricks") << 4 << QStringList{"5,1", "2009,4", "1,204", "0,0051"};
    QTest::newRow("2,5 bricks") << 5 << QStringList{"6,4", "2508,8", "1,574", "0,0064"};
}

void CatalogueClicksTest::masonryRatesFollowTheSelectedNode()
{
    QFETCH(int, place);
    QFETCH(QStringList, shown);
    m_driver->clickNode(place);
    m_driver->type(QStringLiteral("Edit1"), QStringLiteral("10"));
    m_driver->type(QStringLiteral("Edit2"), QStringLiteral("1"));
    m_driver->click(QStringLiteral("BitBtn9"));
    QCOMPARE(m_errors->messages(), QStringList());
    const QStringList values{"Label23", "Label17", "Label18", "Label19"};
    for (int i = 0; i < values.size(); ++i)
        QCOMPARE(m_driver->text(values[i]), shown[i]);

    // Another page's node in between: choosing the node again brings its rates back.
    m_driver->clickNode(7);
    m_driver->clickNode(place);
    m_driver->click(QStringLiteral("BitBtn9"));
    for (int i = 0; i < values.size(); ++i)
        QCOMPARE(m_driver->text(values[i]), shown[i]);
}

QTEST_MAIN(CatalogueClicksTest)
#include "tst_catalogueclicks.moc"
