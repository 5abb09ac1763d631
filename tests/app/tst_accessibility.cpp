#include "windowdriver.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QApplication>
#include <QLabel>
#include <QStackedWidget>

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
    QTest::addColumn<QStringList>("order");
    QTest::newRow("underlay") << 13 << QStringList{"Button1", "RadioGroup4", "Edit15", "Button2"};
    QTest::newRow("gates") << 9 << QStringList{"RadioGroup6", "Edit17", "Button5", "Button6"};
    QTest::newRow("tiles") << 15
                           << QStringList{"RadioGroup5", "Edit19", "Edit16", "Button3", "Button4"};
}

// The page's widgets follow each other in the focus chain in the given order, and Tab moves
// along it. A radio group takes one stop: its first item.
void AccessibilityTest::tabOrderFollowsThePage()
{
    QFETCH(int, place);
    QFETCH(QStringList, order);
    m_driver->clickNode(place);
    const auto stop = [this](const QString &name) {
        return m_driver->widget(name.startsWith(u"RadioGroup") ? name + QStringLiteral("_0")
                                                               : name);
    };
    QWidget *page = m_driver->visiblePage();
    QStringList chain;
    for (QWidget *w = stop(order.first()); chain.size() < order.size(); w = w->nextInFocusChain()) {
        const bool laterRadio = w->objectName().contains(u'_') && !w->objectName().endsWith(u"_0");
        if ((w->focusPolicy() & Qt::TabFocus) && !laterRadio)
            chain.append(page->isAncestorOf(w) ? w->objectName().section(u'_', 0, 0)
                                               : QStringLiteral("(outside the page)"));
    }
    QCOMPARE(chain, order);

    stop(order.first())->setFocus(Qt::TabFocusReason);
    for (const QString &name : order.mid(1)) {
        m_driver->pressKey(Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), stop(name));
    }
}

QTEST_MAIN(AccessibilityTest)
#include "tst_accessibility.moc"
