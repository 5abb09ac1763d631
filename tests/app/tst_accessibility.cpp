#include "bill/billcontrol.h"
#include "windowdriver.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QApplication>
#include <QLabel>
#include <QStackedWidget>

#include <algorithm>

namespace {

// Every object below the given one in the accessible tree, the given one included.
void collect(QAccessibleInterface *node, QList<QAccessibleInterface *> &found)
{
    found.append(node);
    for (int i = 0; i < node->childCount(); ++i) {
        if (QAccessibleInterface *child = node->child(i))
            collect(child, found);
    }
}

} // namespace

class AccessibilityTest : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void everyPageIsNamedForAScreenReader_data();
    void everyPageIsNamedForAScreenReader();
    void tabOrderFollowsThePage_data();
    void tabOrderFollowsThePage();
    void windowsArePresentedAsWindows_data();
    void windowsArePresentedAsWindows();

private:
    std::unique_ptr<WindowDriver> m_driver;
};

void AccessibilityTest::init()
{
    m_driver = std::make_unique<WindowDriver>();
}

void AccessibilityTest::cleanup()
{
    m_driver.reset();
}

void AccessibilityTest::everyPageIsNamedForAScreenReader_data()
{
    QTest::addColumn<int>("place");
    QTest::addColumn<QStringList>("fields");
    QTest::addColumn<QString>("list");
    QTest::addColumn<QString>("button");
    QTest::newRow("masonry") << 2
                             << QStringList{"Длина стены по периметру, м.", "Толщина кладки, м."}
                             << ""
                             << "BitBtn9";
    QTest::newRow("foundation") << 7 << QStringList{"Длина конструкции", "Высота конструкции"}
                                << "RadioGroup1"
                                << "BitBtn2";
    QTest::newRow("gates") << 9 << QStringList{"Площадь конструкций"} << "RadioGroup6"
                           << "Button5";
    QTest::newRow("painting") << 11 << QStringList{"Длина (или ширина) поверхности, м"} << ""
                              << "BitBtn6";
    QTest::newRow("underlay") << 13 << QStringList{"Объем подстилающего слоя"} << "RadioGroup4"
                              << "Button1";
    QTest::newRow("tiles") << 15 << QStringList{"Длина, м.", "Ширина, м."} << "RadioGroup5"
                           << "Button3";
    QTest::newRow("grass") << 17 << QStringList{"Ширина конструкции, м"} << "RadioGroup2"
                           << "BitBtn4";
}

void AccessibilityTest::everyPageIsNamedForAScreenReader()
{
    QFETCH(int, place);
    QFETCH(QStringList, fields);
    QFETCH(QString, list);
    QFETCH(QString, button);
    m_driver->clickNode(place);
    if (!list.isEmpty())
        m_driver->pickVariant(list, 0);
    QWidget *page = m_driver->visiblePage();

    QList<QAccessibleInterface *> nodes;
    collect(QAccessible::queryAccessibleInterface(&m_driver->window()), nodes);
    QSet<QObject *> reachable;
    QStringList editableNames;
    for (QAccessibleInterface *node : nodes) {
        reachable.insert(node->object());
        if (node->role() == QAccessible::EditableText &&
            page->isAncestorOf(qobject_cast<QWidget *>(node->object())))
            editableNames.append(node->text(QAccessible::Name));
    }
    for (const QString &field : fields)
        QVERIFY2(editableNames.contains(field), qPrintable(field));

    for (auto *field : page->findChildren<QLineEdit *>())
        QVERIFY2(!QAccessible::queryAccessibleInterface(field)->text(QAccessible::Name).isEmpty(),
                 qPrintable(field->objectName()));
    for (auto *choice : page->findChildren<QAbstractButton *>()) {
        QVERIFY(reachable.contains(choice));
        QCOMPARE(QAccessible::queryAccessibleInterface(choice)->text(QAccessible::Name),
                 QString(choice->text()).remove(u'&'));
    }

    m_driver->click(button);
    int namedValues = 0;
    for (auto *label : page->findChildren<QLabel *>()) {
        if (label->accessibleDescription().isEmpty() || !label->isVisibleTo(page))
            continue;
        QAccessibleInterface *value = QAccessible::queryAccessibleInterface(label);
        QVERIFY(reachable.contains(label));
        QCOMPARE(value->text(QAccessible::Name), label->text());
        ++namedValues;
    }
    QVERIFY(namedValues > 0);
}

void AccessibilityTest::tabOrderFollowsThePage_data()
{
    QTest::addColumn<int>("place");
    QTest::addColumn<int>("picked");
    QTest::addColumn<QStringList>("order");
    const QStringList underlay{"Button1", "RadioGroup4", "Edit15", "Button2"};
    const QStringList gates{"RadioGroup6", "Edit17", "Button5", "Button6"};
    const QStringList tiles{"RadioGroup5", "Edit19", "Edit16", "Button3", "Button4"};
    QTest::newRow("underlay") << 13 << -1 << underlay;
    QTest::newRow("underlay, a later kind picked") << 13 << 6 << underlay;
    QTest::newRow("gates") << 9 << -1 << gates;
    QTest::newRow("gates, a later kind picked") << 9 << 3 << gates;
    QTest::newRow("tiles") << 15 << -1 << tiles;
    QTest::newRow("tiles, the last type picked") << 15 << 9 << tiles;
}

// Tab from the catalogue goes through the page's widgets in the given order and then leaves the
// page, and Shift+Tab comes back the same way. A radio group is one stop: its checked item, or
// its first while none is checked.
void AccessibilityTest::tabOrderFollowsThePage()
{
    QFETCH(int, place);
    QFETCH(int, picked);
    QFETCH(QStringList, order);
    m_driver->clickNode(place);
    if (picked >= 0) {
        const QString list = *std::find_if(order.cbegin(), order.cend(), [](const QString &name) {
            return name.startsWith(u"RadioGroup");
        });
        m_driver->pickVariant(list, picked);
    }
    const auto stop = [&](const QString &name) {
        if (!name.startsWith(u"RadioGroup"))
            return m_driver->widget(name);
        return m_driver->widget(name + u'_' + QString::number(picked < 0 ? 0 : picked));
    };
    QWidget *page = m_driver->visiblePage();
    m_driver->window().catalogue()->setFocus(Qt::TabFocusReason);
    for (const QString &name : order) {
        m_driver->pressKey(Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), stop(name));
    }
    m_driver->pressKey(Qt::Key_Tab);
    QVERIFY2(!page->isAncestorOf(QApplication::focusWidget()),
             qPrintable(QApplication::focusWidget()->objectName()));

    stop(order.last())->setFocus(Qt::TabFocusReason);
    for (qsizetype i = order.size() - 2; i >= 0; --i) {
        m_driver->pressKey(Qt::Key_Backtab, Qt::ShiftModifier);
        QCOMPARE(QApplication::focusWidget(), stop(order[i]));
    }
}

void AccessibilityTest::windowsArePresentedAsWindows_data()
{
    QTest::addColumn<bool>("bill"); // else the main window
    QTest::newRow("main window") << false;
    QTest::newRow("bill, opened with Ctrl+B") << true;
}

void AccessibilityTest::windowsArePresentedAsWindows()
{
    QFETCH(bool, bill);
    QWidget *window = &m_driver->window();
    if (bill) {
        m_driver->pressKey(Qt::Key_B, Qt::ControlModifier);
        window = m_driver->window().bill().window();
    }
    QVERIFY(window);
    // A client area is what AT-SPI calls a «filler»: a screen reader would not say a window.
    QCOMPARE(QAccessible::queryAccessibleInterface(window)->role(), QAccessible::Window);
}

QTEST_MAIN(AccessibilityTest)
#include "tst_accessibility.moc"
