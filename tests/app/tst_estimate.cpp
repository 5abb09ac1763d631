#include "bill/billbook.h"
#include "errorrecorder.h"
#include "estimate/estimatebook.h"
#include "estimate/estimatetotals.h"
#include "estimate/estimatetree.h"
#include "estimate/estimatewindow.h"
#include "estimatebase.h"
#include "norms/normbase.h"

#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <QUndoStack>

#include <memory>

namespace {

// Money as the window writes it: thousands apart by no-break spaces.
QString money(const char *figure)
{
    return QString::fromUtf8(figure).replace(u' ', QChar(0x00A0));
}

// Test's own key table knows only Latin-1; other letters go as key events with their text.
void type(QWidget *field, const QString &text)
{
    for (const QChar letter : text) {
        const auto key = Qt::Key(letter.toUpper().unicode());
        QTest::sendKeyEvent(QTest::Click, field, key, QString(letter), Qt::NoModifier);
    }
}

} // namespace

// The local estimate's window on a bill of norms priced from a split form: what the estimator
// types or picks is computed at once, one undo step each, and the export keeps a gap from the
// expertise file.
class EstimateTest : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void typedPriceRepricesAndUndoRestores_data();
    void typedPriceRepricesAndUndoRestores();
    void territoryPicksTheOverheadColumn_data();
    void territoryPicksTheOverheadColumn();
    void exportWithAGapShowsTheGap();
    void positionChoiceIsOneStep_data();
    void positionChoiceIsOneStep();
    void openedFileOnlyShows();

private:
    void open(const QStringList &codes);
    // The row of a line of the first position, found by its code.
    QTreeWidgetItem *lineOf(const QString &code) const;
    QString grandTotal() const;
    template <typename T> T *child(const char *name) const
    {
        T *found = m_window->findChild<T *>(QString::fromLatin1(name));
        if (!found)
            qFatal("no %s", name);
        return found;
    }

    std::unique_ptr<QTemporaryDir> m_folder;
    std::unique_ptr<ErrorRecorder> m_errors;
    std::unique_ptr<NormBase> m_base;
    std::unique_ptr<BillBook> m_bill;
    std::unique_ptr<EstimateBook> m_book;
    std::unique_ptr<EstimateWindow> m_window;
};

void EstimateTest::init()
{
    m_folder = std::make_unique<QTemporaryDir>();
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, m_folder->path());
    m_errors = std::make_unique<ErrorRecorder>();
    QCOMPARE(estimatebase::write(m_folder->path()), QString());
}

void EstimateTest::cleanup()
{
    m_window.reset();
    m_book.reset();
    m_bill.reset();
    m_base.reset();
    m_errors.reset();
    m_folder.reset();
}

void EstimateTest::open(const QStringList &codes)
{
    m_base = std::make_unique<NormBase>(m_folder->filePath(QStringLiteral("data/norms.db")));
    m_bill = std::make_unique<BillBook>();
    m_bill->replace(estimatebase::bill(m_folder->path(), codes), QString());
    m_book = std::make_unique<EstimateBook>(*m_bill, *m_base);
    m_window = std::make_unique<EstimateWindow>(*m_book);
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
}

QTreeWidgetItem *EstimateTest::lineOf(const QString &code) const
{
    QTreeWidgetItem *position = child<EstimateTree>("EstimatePositions")->topLevelItem(0)->child(0);
    for (int i = 0; i < position->childCount(); ++i)
        if (position->child(i)->text(EstimateTree::CodeColumn) == code)
            return position->child(i);
    return nullptr;
}

QString EstimateTest::grandTotal() const
{
    auto *totals = child<EstimateTotals>("EstimateTotals");
    return totals->item(totals->grandRow(), EstimateTotals::TotalColumn)->text();
}

void EstimateTest::typedPriceRepricesAndUndoRestores_data()
{
    QTest::addColumn<QString>("price");
    QTest::addColumn<QString>("basis");
    QTest::addColumn<QByteArray>("cost");  // of the nails' line after
    QTest::addColumn<QByteArray>("total"); // of the estimate after
    QTest::addColumn<QString>("refusal");
    // 450 чел.-ч × 600,00 = 270 000,00; 0,0125 т × 100 000,00 × 1,2 = 1 500,00; НР 102 % and
    // СП 58 % of 270 000,00.
    QTest::newRow("a price with its basis")
        << "150000"
        << "Счет № 12 от 03.11.2026" << QByteArray("1 875,00") << QByteArray("703 875,00") << "";
    QTest::newRow("kopecks") << "120000,40"
                             << "Счет № 13" << QByteArray("1 500,01") << QByteArray("703 500,01")
                             << "";
    QTest::newRow("no basis") << "150000"
                              << " " << QByteArray("1 500,00") << QByteArray("703 500,00")
                              << "Укажите обоснование цены";
    QTest::newRow("not a number") << "сто"
                                  << "Счет № 12" << QByteArray("1 500,00")
                                  << QByteArray("703 500,00") << "Цена — это число рублей";
}

void EstimateTest::typedPriceRepricesAndUndoRestores()
{
    QFETCH(QString, price);
    QFETCH(QString, basis);
    QFETCH(QByteArray, cost);
    QFETCH(QByteArray, total);
    QFETCH(QString, refusal);
    open({QStringLiteral("ГЭСН 06-01-001-02")});
    QCOMPARE(grandTotal(), money("703 500,00"));
    auto *tree = child<EstimateTree>("EstimatePositions");
    tree->setCurrentItem(lineOf(QStringLiteral("01.7.15.06-0111")));
    type(child<QLineEdit>("EstimatePriceValue"), price);
    type(child<QLineEdit>("EstimatePriceBasis"), basis);
    QTest::mouseClick(child<QPushButton>("EstimateSetPrice"), Qt::LeftButton);
    QCOMPARE(lineOf(QStringLiteral("01.7.15.06-0111"))->text(EstimateTree::CostColumn),
             money(cost.constData()));
    QCOMPARE(grandTotal(), money(total.constData()));
    QVERIFY2(m_errors->messages().size() == (refusal.isEmpty() ? 0 : 1),
             qPrintable(m_errors->messages().join(u'\n')));
    QVERIFY(refusal.isEmpty() || m_errors->messages().value(0).startsWith(refusal));
    // The price is the bill's: its «*» shows, and one Ctrl+Z takes it back.
    QCOMPARE(m_bill->isModified(), refusal.isEmpty());
    QTest::keyClick(tree, Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(grandTotal(), money("703 500,00"));
    QVERIFY(!m_bill->isModified());
}

void EstimateTest::territoryPicksTheOverheadColumn_data()
{
    QTest::addColumn<int>("steps"); // down the list from «Территория»
    QTest::addColumn<QByteArray>("overhead");
    // Пр/812-006.0: 102 %, 103 % and 107 % of 270 000,00.
    QTest::newRow("МПРКС") << 1 << QByteArray("278 100,00");
    QTest::newRow("РКС") << 2 << QByteArray("288 900,00");
}

void EstimateTest::territoryPicksTheOverheadColumn()
{
    QFETCH(int, steps);
    QFETCH(QByteArray, overhead);
    open({QStringLiteral("ГЭСН 06-01-001-02")});
    auto *totals = child<EstimateTotals>("EstimateTotals");
    const auto shown = [totals] {
        return totals->item(totals->grandRow(), EstimateTotals::OverheadColumn)->text();
    };
    QCOMPARE(shown(), money("275 400,00"));
    auto *territory = child<QComboBox>("EstimateTerritory");
    child<QTabWidget>("EstimateTabs")->setCurrentIndex(1);
    territory->setFocus();
    for (int step = 0; step < steps; ++step)
        QTest::keyClick(territory, Qt::Key_Down);
    QCOMPARE(shown(), money(overhead.constData()));
    QCOMPARE(m_bill->undoStack()->count(), steps);
    m_bill->undoStack()->undo();
    QCOMPARE(territory->currentIndex(), steps - 1);
}

void EstimateTest::exportWithAGapShowsTheGap()
{
    open({QStringLiteral("ГЭСН 06-01-001-02"), QStringLiteral("ГЭСН 06-01-001-01")});
    bool asked = false;
    m_window->setPathChooser([&asked](EstimateWindow::FileChoice) {
        asked = true;
        return QString();
    });
    QTest::mouseClick(child<QPushButton>("EstimateExportGge"), Qt::LeftButton);
    QVERIFY(!asked);
    QCOMPARE(m_errors->messages().size(), 1);
    QVERIFY2(m_errors->messages().constFirst().startsWith(
                 QStringLiteral("ЛСР не записана для экспертизы")),
             qPrintable(m_errors->messages().constFirst()));
    // The «по проекту» line of the second position is the first gap, and it is chosen.
    const QTreeWidgetItem *current = child<EstimateTree>("EstimatePositions")->currentItem();
    QVERIFY(current);
    QCOMPARE(current->text(EstimateTree::CodeColumn), QStringLiteral("04.1.02.05"));
    QCOMPARE(current->parent()->text(EstimateTree::CodeColumn),
             QStringLiteral("ГЭСН 06-01-001-01"));
    QCOMPARE(child<QListWidget>("EstimateGaps")->currentRow(), 0);
}

void EstimateTest::positionChoiceIsOneStep_data()
{
    QTest::addColumn<int>("position");
    QTest::addColumn<QString>("reason"); // of a coefficient to ОТ of 1,15; none: pick the НР
    QTest::addColumn<int>("column");
    QTest::addColumn<QByteArray>("sum"); // of the estimate in that column after
    QTest::addColumn<int>("steps");
    // The second norm: 500 чел.-ч × 600,00; Пр/812-006.1 is 108 % of it.
    QTest::newRow("the second of two references")
        << 1 << "" << int(EstimateTotals::OverheadColumn) << QByteArray("599 400,00") << 1;
    // The first norm's workers: 270 000,00 × 1,15 = 310 500,00, НР 102 % and СП 58 % of it,
    // beside the second norm's 300 000,00.
    QTest::newRow("a coefficient with its reason")
        << 0 << "МДС 81-35.2004, прил. 1, п. 1.1" << int(EstimateTotals::TotalColumn)
        << QByteArray("1 108 800,00") << 1;
    QTest::newRow("a coefficient without one")
        << 0 << " " << int(EstimateTotals::TotalColumn) << QByteArray("1 003 500,00") << 0;
}

void EstimateTest::positionChoiceIsOneStep()
{
    QFETCH(int, position);
    QFETCH(QString, reason);
    QFETCH(int, column);
    QFETCH(QByteArray, sum);
    QFETCH(int, steps);
    open({QStringLiteral("ГЭСН 06-01-001-02"), QStringLiteral("ГЭСН 06-01-001-01")});
    auto *tree = child<EstimateTree>("EstimatePositions");
    tree->setCurrentItem(tree->topLevelItem(0)->child(position));
    if (reason.isEmpty()) {
        auto *references = child<QComboBox>("EstimateReference");
        references->setFocus();
        QTest::keyClick(references, Qt::Key_End);
    } else {
        auto *target = child<QComboBox>("EstimateCoefficientTarget");
        target->setFocus();
        QTest::keyClick(target, Qt::Key_Down); // «ОТ»
        type(child<QLineEdit>("EstimateCoefficientValue"), QStringLiteral("1,15"));
        type(child<QLineEdit>("EstimateCoefficientName"), QStringLiteral("Стесненные условия"));
        type(child<QLineEdit>("EstimateCoefficientReason"), reason);
        QTest::mouseClick(child<QPushButton>("EstimateAddCoefficient"), Qt::LeftButton);
    }
    auto *totals = child<EstimateTotals>("EstimateTotals");
    QCOMPARE(totals->item(totals->grandRow(), column)->text(), money(sum.constData()));
    QCOMPARE(m_bill->undoStack()->count(), steps);
    QCOMPARE(m_errors->messages().size(), 1 - steps);
}

void EstimateTest::openedFileOnlyShows()
{
    open({QStringLiteral("ГЭСН 06-01-001-02")});
    m_window->setPathChooser([](EstimateWindow::FileChoice) {
        return QStringLiteral(MERILON_LSR_FIXTURES "/example-lsr.gge");
    });
    QTest::keyClick(m_window.get(), Qt::Key_O, Qt::ControlModifier);
    EstimateWindow *opened = m_window->openedWindow();
    QVERIFY(opened);
    // One line of waste disposal, 5 957,22 in all, and nothing to change it with.
    const auto *tree = opened->findChild<EstimateTree *>(QStringLiteral("EstimatePositions"));
    QCOMPARE(tree->topLevelItem(0)->childCount(), 1);
    const auto *totals = opened->findChild<EstimateTotals *>(QStringLiteral("EstimateTotals"));
    QCOMPARE(totals->item(totals->grandRow(), EstimateTotals::TotalColumn)->text(),
             money("5 957,22"));
    QVERIFY(!opened->findChild<QWidget *>(QStringLiteral("EstimateEditor")));
    QVERIFY(opened->findChild<QLineEdit *>(QStringLiteral("EstimateNumber"))->isReadOnly());
}

QTEST_MAIN(EstimateTest)
#include "tst_estimate.moc"
