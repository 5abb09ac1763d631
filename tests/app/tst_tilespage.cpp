#include "errorrecorder.h"
#include "windowdriver.h"

#include <QAbstractButton>
#include <QLabel>

class TilesPageTest : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void countsTiles_data();
    void countsTiles();
    void picturesSelectTheirType_data();
    void picturesSelectTheirType();
    void nothingSelectedDoesNothing();
    void failureChangesNothing_data();
    void failureChangesNothing();
    void clearKeepsTheResult();
    void crossStandsBetweenLengthAndWidth();

private:
    std::unique_ptr<WindowDriver> m_driver;
    std::unique_ptr<ErrorRecorder> m_errors;
};

void TilesPageTest::init()
{
    m_errors = std::make_unique<ErrorRecorder>();
    m_driver = std::make_unique<WindowDriver>();
    m_driver->clickNode(15);
}

void TilesPageTest::cleanup()
{
    m_driver.reset();
    m_errors.reset();
}

void TilesPageTest::countsTiles_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<QString>("length");
    QTest::addColumn<QString>("width");
    QTest::addColumn<QString>("line");
    QTest::newRow("default square") << 0 << "1"
                                    << "1"
                                    << "Итого плитки: 16 шт. на площади 1 кв. метров";
    QTest::newRow("four significant digits")
        << 0 << "3,3"
        << "2,7"
        << "Итого плитки: 142,6 шт. на площади 8,91 кв. метров";
    QTest::newRow("count in exponent form") << 0 << "25"
                                            << "25"
                                            << "Итого плитки: 1E004 шт. на площади 625 кв. метров";
    QTest::newRow("both in exponent form")
        << 0 << "100"
        << "100"
        << "Итого плитки: 1,6E005 шт. на площади 1E004 кв. метров";
    QTest::newRow("hexagon") << 1 << "12,5"
                             << "8"
                             << "Итого плитки: 2400 шт. на площади 100 кв. метров";
    QTest::newRow("wider than the group")
        << 4 << "123,45"
        << "99,9"
        << "Итого плитки: 4,933E005 шт. на площади 1,233E004 кв. метров";
    QTest::newRow("fractional cross count") << 7 << "0,5"
                                            << "0,5"
                                            << "Итого плитки: 1,5 шт. на площади 0,25 кв. метров";
}

void TilesPageTest::countsTiles()
{
    QFETCH(int, type);
    QFETCH(QString, length);
    QFETCH(QString, width);
    QFETCH(QString, line);
    m_driver->pickVariant(QStringLiteral("RadioGroup5"), type);
    m_driver->type(QStringLiteral("Edit19"), length);
    m_driver->type(QStringLiteral("Edit16"), width);
    m_driver->newJournalLines();
    m_driver->click(QStringLiteral("Button3"));
    QCOMPARE(m_errors->messages(), QStringList());
    QCOMPARE(m_driver->text(QStringLiteral("Label110")), line);
    QCOMPARE(m_driver->newJournalLines(), QStringList{line});
    m_driver->click(QStringLiteral("Button3"));
    QCOMPARE(m_driver->newJournalLines(), QStringList{line});

    // The whole line shows, on two lines where one is too narrow for it.
    auto *label = m_driver->widget<QLabel>(QStringLiteral("Label110"));
    const auto fits = [label, &line] {
        const QRect room = label->contentsRect();
        const QRect needed = label->fontMetrics().boundingRect(room, Qt::TextWordWrap, line);
        return needed.width() <= room.width() && needed.height() <= room.height();
    };
    QTRY_VERIFY2(fits(), qPrintable(line));
}

void TilesPageTest::picturesSelectTheirType_data()
{
    QTest::addColumn<QString>("picture");
    QTest::addColumn<int>("type");
    QTest::addColumn<QString>("line");
    QTest::addColumn<QString>("tip");
    QTest::newRow("honeycomb") << "Image9" << 5 << "Выбранный тип плитки: соты"
                               << "Соты";
    QTest::newRow("violet") << "Image10" << 6 << "Выбранный тип плитки: фиалка"
                            << "фиалка";
    QTest::newRow("cross") << "Image11" << 7 << "Выбранный тип плитки: крест"
                           << "крест";
    QTest::newRow("sun") << "Image12" << 8 << "Выбранный тип плитки: солнечный"
                         << "солнечный";
    QTest::newRow("square") << "Image14" << 0 << "Выбранный тип плитки: квадрат"
                            << "квадрат";
    QTest::newRow("pavers") << "Image13" << 4 << "Выбранный тип плитки: брусчатка"
                            << "брусчатка";
    QTest::newRow("hexagon") << "Image15" << 1 << "Выбранный тип плитки: шестигранник"
                             << "шестигранник";
    QTest::newRow("wild stone") << "Image16" << 2
                                << "Выбранный тип плитки: облицовочный камень - дикий камень"
                                << "облицовочная плитка- дикий камень";
    QTest::newRow("slate") << "Image17" << 3 << "Выбранный тип плитки: облицовочный камень - сланец"
                           << "облицовочная плитка - сланец";
    QTest::newRow("triangle") << "Image18" << 9 << "Выбранный тип плитки: треугольник"
                              << "треугольник";
}

void TilesPageTest::picturesSelectTheirType()
{
    QFETCH(QString, picture);
    QFETCH(int, type);
    QFETCH(QString, line);
    QFETCH(QString, tip);
    auto *image = m_driver->widget<QLabel>(picture);
    QCOMPARE(image->cursor().shape(), Qt::PointingHandCursor);
    QCOMPARE(image->toolTip(), tip);
    // The pictures are 50 pixels square; the last one is a pixel lower.
    QCOMPARE(image->size(), QSize(50, picture == u"Image18" ? 49 : 50));
    m_driver->newJournalLines();
    // A press dragged off the picture, or of another button, selects nothing.
    const QPoint inside = image->rect().center();
    const QPoint outside(image->width() + 10, inside.y());
    QTest::mousePress(image, Qt::LeftButton, Qt::NoModifier, inside);
    QTest::mouseRelease(image, Qt::LeftButton, Qt::NoModifier, outside);
    QTest::mouseClick(image, Qt::MiddleButton, Qt::NoModifier, inside);
    QCOMPARE(m_driver->newJournalLines(), QStringList());
    m_driver->click(image);
    QVERIFY(
        m_driver->widget<QAbstractButton>(QStringLiteral("RadioGroup5_%1").arg(type))->isChecked());
    QCOMPARE(m_driver->newJournalLines(), QStringList{line});
    m_driver->click(image);
    m_driver->pickVariant(QStringLiteral("RadioGroup5"), type);
    QCOMPARE(m_driver->newJournalLines(), QStringList());
}

void TilesPageTest::nothingSelectedDoesNothing()
{
    m_driver->type(QStringLiteral("Edit19"), QStringLiteral("abc"));
    m_driver->newJournalLines();
    m_driver->click(QStringLiteral("Button3"));
    QCOMPARE(m_errors->messages(), QStringList());
    QCOMPARE(m_driver->newJournalLines(), QStringList());
    QCOMPARE(m_driver->text(QStringLiteral("Label110")), QStringLiteral("Расчет не проведен"));
}

void TilesPageTest::failureChangesNothing_data()
{
    QTest::addColumn<QString>("length");
    QTest::addColumn<QString>("width");
    QTest::addColumn<QString>("message");
    QTest::newRow("length named first") << "x"
                                        << "y"
                                        << "'x' is not a valid floating point value.";
    QTest::newRow("empty width") << "2"
                                 << ""
                                 << "'' is not a valid floating point value.";
    QTest::newRow("count beyond a double") << "1E300"
                                           << "1E8"
                                           << "Floating point overflow.";
}

void TilesPageTest::failureChangesNothing()
{
    QFETCH(QString, length);
    QFETCH(QString, width);
    QFETCH(QString, message);
    m_driver->pickVariant(QStringLiteral("RadioGroup5"), 0);
    m_driver->click(QStringLiteral("Button3"));
    m_driver->type(QStringLiteral("Edit19"), length);
    m_driver->type(QStringLiteral("Edit16"), width);
    m_driver->newJournalLines();
    m_driver->click(QStringLiteral("Button3"));
    QCOMPARE(m_errors->messages(), QStringList{message});
    QCOMPARE(m_driver->newJournalLines(), QStringList());
    QCOMPARE(m_driver->text(QStringLiteral("Label110")),
             QStringLiteral("Итого плитки: 16 шт. на площади 1 кв. метров"));
}

void TilesPageTest::clearKeepsTheResult()
{
    m_driver->pickVariant(QStringLiteral("RadioGroup5"), 7);
    m_driver->type(QStringLiteral("Edit19"), QStringLiteral("0,5"));
    m_driver->type(QStringLiteral("Edit16"), QStringLiteral("0,5"));
    m_driver->click(QStringLiteral("Button3"));
    m_driver->newJournalLines();
    m_driver->click(QStringLiteral("Button4"));
    QCOMPARE(m_driver->widget<QLineEdit>(QStringLiteral("Edit19"))->text(), QStringLiteral("1"));
    QCOMPARE(m_driver->widget<QLineEdit>(QStringLiteral("Edit16"))->text(), QStringLiteral("1"));
    QVERIFY(!m_driver->widget<QAbstractButton>(QStringLiteral("RadioGroup5_7"))->isChecked());
    QCOMPARE(m_driver->text(QStringLiteral("Label110")),
             QStringLiteral("Итого плитки: 1,5 шт. на площади 0,25 кв. метров"));
    QCOMPARE(m_driver->newJournalLines(), QStringList());
    m_driver->click(QStringLiteral("Edit19"));
    QCOMPARE(m_driver->widget<QLineEdit>(QStringLiteral("Edit19"))->text(), QString());
}

// «X» between the two fields, on their line: length × width.
void TilesPageTest::crossStandsBetweenLengthAndWidth()
{
    const QRect length = m_driver->widget(QStringLiteral("Edit19"))->geometry();
    const QRect width = m_driver->widget(QStringLiteral("Edit16"))->geometry();
    const QRect cross = m_driver->widget(QStringLiteral("Label107"))->geometry();
    QCOMPARE(m_driver->text(QStringLiteral("Label107")), QStringLiteral("X"));
    QVERIFY(length.right() < cross.left() && cross.right() < width.left());
    QVERIFY(qAbs(cross.center().y() - length.center().y()) <= 2);
    QCOMPARE(width.top(), length.top());
}

QTEST_MAIN(TilesPageTest)
#include "tst_tilespage.moc"
