#include "bill/billbook.h"
#include "bill/billcontrol.h"
#include "bill/billmodels.h"
#include "bill/billreadings.h"
#include "bill/billwindow.h"
#include "bill/pricecatalogue.h"
#include "billtexts.h"
#include "errorrecorder.h"
#include "norms/normcontrol.h"
#include "windowdriver.h"

#include <QAbstractItemModel>
#include <QAction>
#include <QDialog>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRegularExpression>
#include <QSettings>
#include <QSignalSpy>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QUndoStack>

#include <memory>

namespace {

// A catalogue of a few resources with prices of the test's own, found as the norm base finds
// them: by the beginning of the code, or by the beginnings of words of the name. It counts how
// often it is read.
class FakeCatalogue : public PriceCatalogue
{
public:
    explicit FakeCatalogue(QList<norms::CatalogueResource> resources)
        : m_resources(std::move(resources))
    {
    }
    bool available() override
    {
        ++reads;
        return !m_resources.isEmpty();
    }
    std::optional<norms::CatalogueResource> resource(const QString &code) override
    {
        ++reads;
        for (const norms::CatalogueResource &resource : std::as_const(m_resources)) {
            if (resource.code == code)
                return resource;
        }
        return std::nullopt;
    }
    QList<norms::CatalogueResource> search(const QString &query, int limit) override
    {
        ++reads;
        QList<norms::CatalogueResource> found;
        const QStringList wanted = query.toLower().split(u' ', Qt::SkipEmptyParts);
        for (const norms::CatalogueResource &resource : std::as_const(m_resources)) {
            const QStringList words =
                resource.name.toLower().split(QRegularExpression(QStringLiteral("[\\s,()]+")));
            const bool byWords = std::all_of(wanted.cbegin(), wanted.cend(), [&](const QString &w) {
                return std::any_of(words.cbegin(), words.cend(),
                                   [&](const QString &word) { return word.startsWith(w); });
            });
            if ((resource.code.startsWith(query.trimmed()) || byWords) && found.size() < limit)
                found.append(resource);
        }
        return found;
    }

    // What an import puts in its place.
    void replace(QList<norms::CatalogueResource> resources) { m_resources = std::move(resources); }

    int reads = 0;

private:
    QList<norms::CatalogueResource> m_resources;
};

norms::CatalogueResource material(const char *code, const char *name, const char *unit, double cost)
{
    norms::CatalogueResource resource;
    resource.code = QString::fromUtf8(code);
    resource.name = QString::fromUtf8(name);
    resource.unit = QString::fromUtf8(unit);
    resource.cost = cost;
    resource.priceLevel = QStringLiteral("01.01.2022");
    return resource;
}

const char kConcrete[] = "Смеси бетонные тяжелого бетона (БСТ), класс B15 (М200)";

QList<norms::CatalogueResource> resources()
{
    norms::CatalogueResource lorry =
        material("91.14.02-001", "Автомобили бортовые, до 5 т", "маш.-ч", 1058.38);
    lorry.machine = true;
    return {material("04.1.02.05-0006", kConcrete, "м3", 6127.65),
            material("01.7.03.01-0001", "Цемент общестроительного назначения", "т", 7990.12),
            lorry};
}

std::shared_ptr<FakeCatalogue> catalogue()
{
    return std::make_shared<FakeCatalogue>(resources());
}

} // namespace

// Prices from the federal catalogue and links of the pages' materials to its resources, driven
// through the bill's window of the main window.
class BillPricesTest : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void fillKeepsTypedPricesAndIsOneStep_data();
    void fillKeepsTypedPricesAndIsOneStep();
    void fillSaysWhyItCannot_data();
    void fillSaysWhyItCannot();
    void importedCataloguePricesTheBill_data();
    void importedCataloguePricesTheBill();
    void linkTakesOnlyUnitsThatConvert_data();
    void linkTakesOnlyUnitsThatConvert();
    void machinePriceIsTypedLikeAMaterials_data();
    void machinePriceIsTypedLikeAMaterials();
    void paintingAsksTheBaseNothing_data();
    void paintingAsksTheBaseNothing();

private:
    BillBook &book() { return m_driver->window().bill().book(); }
    BillReadings &readings() { return m_driver->window().bill().readings(); }
    BillWindow *openBill();
    // A norm's concrete with its lorry and labour, computed on that version of a firm norm.
    void addNormEntry(int version = 0);
    void addPageConcrete();
    QTableView *table(BillWindow *window, const char *name)
    {
        return window->findChild<QTableView *>(QString::fromLatin1(name));
    }
    int rowOf(QTableView *view, int column, const QString &text);
    void typeIndex(BillWindow *window, const QString &text);

    std::unique_ptr<QTemporaryDir> m_settings;
    std::unique_ptr<WindowDriver> m_driver;
    std::unique_ptr<ErrorRecorder> m_errors;
};

void BillPricesTest::init()
{
    m_settings = std::make_unique<QTemporaryDir>();
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, m_settings->path());
    m_errors = std::make_unique<ErrorRecorder>();
    m_driver = std::make_unique<WindowDriver>();
}

void BillPricesTest::cleanup()
{
    m_driver.reset();
    m_errors.reset();
    m_settings.reset();
}

BillWindow *BillPricesTest::openBill()
{
    // «Ведомость материалов...», whichever window has the keyboard.
    m_driver->window().bill().showAction()->trigger();
    BillWindow *window = m_driver->window().bill().window();
    if (!window || !QTest::qWaitFor([window] { return window->isVisible(); }))
        qFatal("the bill's window did not open");
    return window;
}

void BillPricesTest::addNormEntry(int version)
{
    const QString norm = QStringLiteral("ГЭСН 06-01-001-01");
    bom::Entry entry;
    entry.added = QDateTime(QDate(2026, 12, 8), QTime(9, 0), Qt::UTC);
    entry.work = norm + QStringLiteral(" Устройство бетонной подготовки");
    entry.normCode = norm;
    entry.normVersion = version;
    const auto resource = [&](const char *code, const char *name, const char *unit, double amount,
                              bom::MaterialKind kind) {
        entry.materials.append(bom::material(QString::fromUtf8(name), QString::fromUtf8(unit),
                                             amount, kind, QString(), norm,
                                             QString::fromUtf8(code)));
    };
    resource("1-100-20", "Затраты труда рабочих", "чел.-ч", 45.5, bom::MaterialKind::Labour);
    resource("91.14.02-001", "Автомобили бортовые, до 5 т", "маш.-ч", 1.25,
             bom::MaterialKind::Machine);
    resource("04.1.02.05-0006", kConcrete, "м3", 3, bom::MaterialKind::Buy);
    m_driver->window().bill().addEntry(entry);
}

void BillPricesTest::addPageConcrete()
{
    // The underlay page's concrete layer: «Бетон» in cubic metres, without a code.
    m_driver->clickNode(13);
    m_driver->pickVariant(QStringLiteral("RadioGroup4"), 8);
    m_driver->click(QStringLiteral("Button1"));
    // «Добавить в ведомость», whichever window has the keyboard.
    m_driver->window().bill().addAction()->trigger();
}

int BillPricesTest::rowOf(QTableView *view, int column, const QString &text)
{
    for (int row = 0; row < view->model()->rowCount(); ++row) {
        if (view->model()->index(row, column).data().toString() == text)
            return row;
    }
    return -1;
}

namespace {

// Letters beyond ASCII go as the text of a key event, as a keyboard sends them.
void typeText(QWidget *field, const QString &text)
{
    for (const QChar letter : text) {
        const auto key = Qt::Key(letter.toUpper().unicode());
        QTest::sendKeyEvent(QTest::Press, field, key, QString(letter), Qt::NoModifier);
        QTest::sendKeyEvent(QTest::Release, field, key, QString(letter), Qt::NoModifier);
    }
}

} // namespace

void BillPricesTest::typeIndex(BillWindow *window, const QString &text)
{
    auto *field = window->findChild<QLineEdit *>(QStringLiteral("BillPriceIndex"));
    field->setFocus();
    field->selectAll();
    typeText(field, text);
    QTest::keyClick(field, Qt::Key_Return);
}

void BillPricesTest::fillKeepsTypedPricesAndIsOneStep_data()
{
    QTest::addColumn<QString>("typed");         // the concrete's price typed before the fill
    QTest::addColumn<QString>("concretePrice"); // after the fill
    QTest::addColumn<QString>("concreteTip");
    QTest::addColumn<QString>("laterIndex"); // typed after the fill; empty: none
    QTest::addColumn<QString>("laterPrice");
    // 6127,65 × 9,12 = 55884,168; the lorry 1058,38 × 9,12 = 9652,4256 per hour, × 1,25 hours.
    QTest::newRow("empty price: the catalogue's × the index") << ""
                                                              << "55\u00A0884,17"
                                                              << "ФСБЦ 01.01.2022 × 9,12"
                                                              << ""
                                                              << "";
    QTest::newRow("a typed price stays the user's") << "5000"
                                                    << "5\u00A0000,00"
                                                    << ""
                                                    << "10,5"
                                                    << "5\u00A0000,00";
    // 6127,65 × 10,5 = 64340,325.
    QTest::newRow("a later index takes the catalogue's prices with it") << ""
                                                                        << "55\u00A0884,17"
                                                                        << "ФСБЦ 01.01.2022 × 9,12"
                                                                        << "10,5"
                                                                        << "64\u00A0340,33";
}

void BillPricesTest::fillKeepsTypedPricesAndIsOneStep()
{
    QFETCH(QString, typed);
    QFETCH(QString, concretePrice);
    QFETCH(QString, concreteTip);
    QFETCH(QString, laterIndex);
    QFETCH(QString, laterPrice);
    readings().setCatalogue(catalogue());
    addNormEntry();
    BillWindow *window = openBill();
    QTableView *totals = table(window, "BillTotals");
    QTableView *hours = table(window, "BillHours");
    const int concrete = rowOf(totals, 0, QString::fromUtf8(kConcrete));
    QVERIFY(concrete >= 0);
    // The catalogue's price at its base level, before any fill.
    QCOMPARE(totals->model()->index(concrete, TotalsModel::CatalogueColumn).data().toString(),
             QStringLiteral("6\u00A0127,65"));
    if (!typed.isEmpty())
        book().setTerms(book().totals().rows.at(concrete).key,
                        bom::Terms{0, std::nullopt, typed.toLongLong() * 100});
    typeIndex(window, QStringLiteral("9,12"));
    const int steps = book().undoStack()->index();
    m_driver->click(window->findChild<QPushButton *>(QStringLiteral("BillFillPrices")));
    QCOMPARE(m_errors->messages(), QStringList());

    const auto priceCell = [&] {
        return totals->model()->index(concrete, billtexts::UnitPrice);
    };
    const int lorry = rowOf(hours, billtexts::HoursCode, QStringLiteral("91.14.02-001"));
    const int labour = rowOf(hours, billtexts::HoursCode, QStringLiteral("1-100-20"));
    const auto hoursCell = [&](int row, int column) {
        return hours->model()->index(row, column).data().toString();
    };
    QCOMPARE(priceCell().data().toString(), concretePrice);
    QCOMPARE(priceCell().data(Qt::ToolTipRole).toString(), concreteTip);
    QCOMPARE(hoursCell(lorry, billtexts::HoursColumnCount), QStringLiteral("9\u00A0652,43"));
    QCOMPARE(hoursCell(lorry, billtexts::HoursColumnCount + 1), QStringLiteral("12\u00A0065,54"));
    QCOMPARE(hoursCell(lorry, billtexts::HoursColumnCount + 2),
             QStringLiteral("ФСБЦ 01.01.2022 × 9,12"));
    QVERIFY(!hours->isColumnHidden(billtexts::HoursColumnCount));
    // Labour has no federal price.
    QCOMPARE(hoursCell(labour, billtexts::HoursColumnCount), QString());

    // One undo takes the whole fill back, and leaves the typed price.
    QCOMPARE(book().undoStack()->index(), steps + 1);
    m_driver->click(window->findChild<QPushButton *>(QStringLiteral("BillUndo")));
    QCOMPARE(priceCell().data().toString(), typed.isEmpty() ? QString() : concretePrice);
    QCOMPARE(hoursCell(lorry, billtexts::HoursColumnCount), QString());
    QCOMPARE(window->findChild<QLineEdit *>(QStringLiteral("BillPriceIndex"))->text(),
             QStringLiteral("9,12"));
    m_driver->click(window->findChild<QPushButton *>(QStringLiteral("BillRedo")));
    // A new index takes the catalogue's prices along, in its own one step; a typed price stays.
    const QString index = laterIndex.isEmpty() ? QStringLiteral("9,12") : laterIndex;
    const QString said = concreteTip.isEmpty() ? QString() : QStringLiteral("ФСБЦ 01.01.2022 × ");
    if (!laterIndex.isEmpty()) {
        typeIndex(window, laterIndex);
        QCOMPARE(book().undoStack()->index(), steps + 2);
        concretePrice = laterPrice;
        concreteTip = said.isEmpty() ? QString() : said + laterIndex;
        QCOMPARE(priceCell().data().toString(), concretePrice);
    }

    // Saved and opened again, the prices still say where they came from.
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("цены.merilon-bom"));
    window->setPathChooser([path](BillWindow::FileChoice) { return path; });
    window->saveBill();
    window->newBill();
    QCOMPARE(totals->model()->rowCount(), 0);
    // A new bill starts without the prices of the last one.
    addNormEntry();
    QCOMPARE(priceCell().data().toString(), QString());
    m_errors->answerChoicesWith(1); // «Не сохранять»
    window->openBill();
    QCOMPARE(m_errors->messages(), QStringList());
    QCOMPARE(priceCell().data().toString(), concretePrice);
    QCOMPARE(priceCell().data(Qt::ToolTipRole).toString(), concreteTip);
    QCOMPARE(hoursCell(lorry, billtexts::HoursColumnCount + 2),
             QStringLiteral("ФСБЦ 01.01.2022 × ") + index);
    QCOMPARE(window->findChild<QLineEdit *>(QStringLiteral("BillPriceIndex"))->text(), index);
}

void BillPricesTest::fillSaysWhyItCannot_data()
{
    QTest::addColumn<bool>("withCatalogue");
    QTest::addColumn<QString>("index");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("question"); // asked, and declined; empty: none
    const char noIndex[] = "Цены из ФСБЦ не заполнены: укажите «Индекс к ценам 01.01.2022» — цены "
                           "каталога умножаются на него.";
    QTest::newRow("no catalogue in the base")
        << false << "9,12"
        << "Цены из ФСБЦ не заполнены: в базе норм нет сметных цен. Загрузите "
           "«ФСБЦ_Мат&Оборуд.xml» и «ФСБЦ_Маш.xml» («Действия» → «Загрузить базу норм...»)"
        << "";
    QTest::newRow("no index") << true << "" << noIndex << "";
    QTest::newRow("an index that is no number")
        << true << "девять"
        << "Индекс — число больше нуля с десятичной запятой, например 9,12."
        << "";
    QTest::newRow("an index with a point")
        << true << "9.12"
        << "Индекс — число больше нуля с десятичной запятой, например 9,12."
        << "";
    QTest::newRow("an index below what a double holds")
        << true << "1e-400"
        << "Индекс слишком мал: цены по нему округляются до 0,00."
        << "";
    QTest::newRow("a million, declined") << true << "1000000" << noIndex
                                         << "Индекс 1000000 больше 100: цены ФСБЦ станут в "
                                            "1000000 раз выше цен 01.01.2022. Принять такой "
                                            "индекс?";
}

void BillPricesTest::fillSaysWhyItCannot()
{
    QFETCH(bool, withCatalogue);
    QFETCH(QString, index);
    QFETCH(QString, message);
    QFETCH(QString, question);
    if (withCatalogue)
        readings().setCatalogue(catalogue());
    addNormEntry();
    BillWindow *window = openBill();
    QTableView *totals = table(window, "BillTotals");
    // Without a catalogue, no row shows a catalogue price.
    QCOMPARE(totals->isColumnHidden(TotalsModel::CatalogueColumn), !withCatalogue);
    if (!index.isEmpty())
        typeIndex(window, index);
    const bom::Bill before = book().bill();
    m_driver->click(window->findChild<QPushButton *>(QStringLiteral("BillFillPrices")));
    QCOMPARE(m_errors->messages(), QStringList{message});
    QCOMPARE(m_errors->questions(), question.isEmpty() ? QStringList() : QStringList{question});
    QVERIFY(book().bill().terms == before.terms);
}

void BillPricesTest::importedCataloguePricesTheBill_data()
{
    QTest::addColumn<bool>("published"); // a byte-order mark and CR LF, as the ministry's files
    QTest::newRow("as published") << true;
    QTest::newRow("LF, no byte-order mark") << false;
}

// The catalogues imported into the program's norm base price the bill: a material's estimate
// price (Cost), a machine-hour's PriceCostWithoutSalary + SalaryMach.
void BillPricesTest::importedCataloguePricesTheBill()
{
    QFETCH(bool, published);
    const auto file = [published](const char *type, const char *sections) {
        QString text =
            QStringLiteral("<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<ResourceCatalog "
                           "xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\" "
                           "xmlns:xsd=\"http://www.w3.org/2001/XMLSchema\">\n <Decrees "
                           "ApprovingActNumber=\"490/пр\" ApprovingActDate=\"14.08.2025\"/>\n "
                           "<ResourcesDirectory>\n  <ResourceCategory Type=\"%1\">%2\n  "
                           "</ResourceCategory>\n </ResourcesDirectory>\n</ResourceCatalog>\n")
                .arg(QString::fromUtf8(type), QString::fromUtf8(sections));
        if (published)
            text = QStringLiteral("\uFEFF") + text.replace(u'\n', QStringLiteral("\r\n"));
        return text.toUtf8();
    };
    QTemporaryDir folder;
    const QList<std::pair<QString, QByteArray>> files = {
        {QStringLiteral("ФСБЦ_Мат&Оборуд.xml"), file("Материал", R"xml(
   <Section Name="Материалы для общестроительных работ" Code="04" Type="Книга">
    <Section Name="Смеси бетонные" Code="04.1.02" Type="Группа">
     <Resource Code="04.1.02.05-0006" Name="Смеси бетонные тяжелого бетона (БСТ), класс B15 (М200)" MeasureUnit="м3">
      <Prices><Price Cost="6127.65" OptCost="5105.30"/></Prices>
     </Resource>
    </Section>
   </Section>)xml")},
        {QStringLiteral("ФСБЦ_Маш.xml"), file("МашиныМеханизмы", R"xml(
   <Section Name="Машины и механизмы" Code="91" Type="Книга">
    <Section Name="Автомобили" Code="91.14" Type="Раздел">
     <Resource Code="91.14.02-001" Name="Автомобили бортовые, до 5 т">
      <Prices><Price SalaryMach="96.65" LabourMach="1.00" PriceCostWithoutSalary="961.73" WithRelocation="false" DriverCode="4-100-040" MachinistCategory="4.0">
       <ExpendableMaterials><Material Electricity="0" ElectricityCost="0"/></ExpendableMaterials>
      </Price></Prices>
     </Resource>
    </Section>
   </Section>)xml")}};
    QStringList paths;
    for (const auto &[name, bytes] : files) {
        QFile out(folder.filePath(name));
        QVERIFY(out.open(QIODevice::WriteOnly));
        out.write(bytes);
        paths.append(out.fileName());
    }
    NormControl &control = m_driver->window().normControl();
    control.setFileChooser([paths] { return paths; });
    QSignalSpy finished(&control, &NormControl::importFinished);
    control.importAction()->trigger();
    QVERIFY(finished.wait(60'000));
    QCOMPARE(finished.front().at(0).toBool(), true);
    QCOMPARE(m_errors->messages(), QStringList());

    addNormEntry();
    BillWindow *window = openBill();
    QTableView *totals = table(window, "BillTotals");
    QTableView *hours = table(window, "BillHours");
    const int concrete = rowOf(totals, 0, QString::fromUtf8(kConcrete));
    const int lorry = rowOf(hours, billtexts::HoursCode, QStringLiteral("91.14.02-001"));
    QVERIFY(!totals->isColumnHidden(TotalsModel::CatalogueColumn));
    QCOMPARE(totals->model()->index(concrete, TotalsModel::CatalogueColumn).data().toString(),
             QStringLiteral("6\u00A0127,65"));
    QCOMPARE(hours->model()->index(lorry, HoursModel::CatalogueColumn).data().toString(),
             QStringLiteral("1\u00A0058,38"));
    typeIndex(window, QStringLiteral("9,12"));
    m_driver->click(window->findChild<QPushButton *>(QStringLiteral("BillFillPrices")));
    QCOMPARE(m_errors->messages(), QStringList());
    QCOMPARE(totals->model()->index(concrete, billtexts::UnitPrice).data().toString(),
             QStringLiteral("55\u00A0884,17"));
    QCOMPARE(hours->model()->index(lorry, billtexts::HoursColumnCount).data().toString(),
             QStringLiteral("9\u00A0652,43"));
}

void BillPricesTest::linkTakesOnlyUnitsThatConvert_data()
{
    QTest::addColumn<QString>("query");
    QTest::addColumn<QString>("problem"); // empty: the link is taken
    QTest::newRow("concrete in cubic metres, found by the beginnings of words") << "смес бет B15"
                                                                                << "";
    QTest::newRow("concrete found by its code") << "04.1.02"
                                                << "";
    QTest::newRow("cement in tonnes for concrete in cubic metres")
        << "цемент"
        << "Единица ресурса «т» не совпадает с единицей материала «м3» и не пересчитывается в "
           "нее: связать можно ресурс в той же единице, т и кг, м3 и л";
}

void BillPricesTest::linkTakesOnlyUnitsThatConvert()
{
    QFETCH(QString, query);
    QFETCH(QString, problem);
    readings().setCatalogue(catalogue());
    addNormEntry();
    addPageConcrete();
    BillWindow *window = openBill();
    QTableView *totals = table(window, "BillTotals");
    const int page = rowOf(totals, billtexts::Material, QStringLiteral("Бетон"));
    QVERIFY(page >= 0);
    const double pageAmount = book().totals().rows.at(page).quantity;
    totals->setCurrentIndex(totals->model()->index(page, billtexts::Material));
    auto *link = window->findChild<QAction *>(QStringLiteral("BillLinkResource"));
    QVERIFY(link->isEnabled());
    QVERIFY(!window->findChild<QAction *>(QStringLiteral("BillUnlinkResource"))->isEnabled());
    const int steps = book().undoStack()->index();
    // What the dialog showed: the results, the reason and whether «Связать» could be pressed.
    int found = -1;
    QString shownProblem;
    bool canLink = false;
    m_driver->modals().expect([&](QWidget *dialog) {
        auto *field = dialog->findChild<QLineEdit *>(QStringLiteral("CatalogueQuery"));
        field->setFocus();
        field->selectAll();
        typeText(field, query);
        auto *results = dialog->findChild<QListWidget *>(QStringLiteral("CatalogueResults"));
        found = results->count();
        results->setCurrentRow(0);
        shownProblem = dialog->findChild<QLabel *>(QStringLiteral("CatalogueProblem"))->text();
        QPushButton *ok = dialog->findChild<QDialogButtonBox *>()->button(QDialogButtonBox::Ok);
        canLink = ok->isEnabled();
        if (canLink)
            QTest::mouseClick(ok, Qt::LeftButton);
        else
            static_cast<QDialog *>(dialog)->reject();
    });
    link->trigger();
    // The watchdog hands the dialog over on the next turn of the event loop.
    QTRY_VERIFY(found >= 0);
    QCOMPARE(found, 1);
    QCOMPARE(shownProblem, problem);
    QCOMPARE(canLink, problem.isEmpty());
    if (!problem.isEmpty()) {
        QCOMPARE(rowOf(totals, billtexts::Material, QStringLiteral("Бетон")), page);
        QCOMPARE(book().undoStack()->index(), steps);
        return;
    }
    // The page's concrete is the norm's now: one row, the page's name in its tooltip.
    QCOMPARE(rowOf(totals, billtexts::Material, QStringLiteral("Бетон")), -1);
    const int joined = rowOf(totals, billtexts::Material, QString::fromUtf8(kConcrete));
    QCOMPARE(book().totals().rows.at(joined).quantity, pageAmount + 3);
    QCOMPARE(totals->model()->index(joined, billtexts::Material).data(Qt::ToolTipRole).toString(),
             QStringLiteral("Связано с ресурсом ФСБЦ 04.1.02.05-0006:\nБетон, м3"));
    QTRY_COMPARE(book().undoStack()->index(), steps + 1);

    // «Отвязать» brings the page's row back, and so does undoing the link.
    totals->setCurrentIndex(totals->model()->index(joined, billtexts::Material));
    auto *unlink = window->findChild<QAction *>(QStringLiteral("BillUnlinkResource"));
    QVERIFY(unlink->isEnabled());
    unlink->trigger();
    QVERIFY(rowOf(totals, billtexts::Material, QStringLiteral("Бетон")) >= 0);
    book().undoStack()->undo();
    QCOMPARE(rowOf(totals, billtexts::Material, QStringLiteral("Бетон")), -1);

    // A later bill links the page's concrete by itself.
    m_errors->answerChoicesWith(1); // «Не сохранять»
    window->newBill();
    QCOMPARE(totals->model()->rowCount(), 0);
    addPageConcrete();
    QCOMPARE(rowOf(totals, billtexts::Material, QStringLiteral("Бетон")), -1);
    QCOMPARE(rowOf(totals, TotalsModel::CodeColumn, QStringLiteral("04.1.02.05-0006")), 0);
}

void BillPricesTest::machinePriceIsTypedLikeAMaterials_data()
{
    QTest::addColumn<bool>("fillFirst");
    QTest::addColumn<QString>("undone"); // the price after one undo
    QTest::newRow("typed, then left alone by the fill") << false << "1\u00A0200,00";
    QTest::newRow("typed over the catalogue's") << true << "9\u00A0652,43";
}

void BillPricesTest::machinePriceIsTypedLikeAMaterials()
{
    QFETCH(bool, fillFirst);
    QFETCH(QString, undone);
    readings().setCatalogue(catalogue());
    addNormEntry();
    BillWindow *window = openBill();
    QTableView *hours = table(window, "BillHours");
    const QModelIndex price =
        hours->model()->index(rowOf(hours, billtexts::HoursCode, QStringLiteral("91.14.02-001")),
                              HoursModel::PriceColumn);
    const auto fill = [&] {
        typeIndex(window, QStringLiteral("9,12"));
        m_driver->click(window->findChild<QPushButton *>(QStringLiteral("BillFillPrices")));
    };
    if (fillFirst)
        fill();
    hours->setCurrentIndex(price);
    hours->edit(price);
    typeText(hours->viewport()->findChild<QLineEdit *>(), QStringLiteral("1200"));
    QTest::keyClick(hours->viewport()->findChild<QLineEdit *>(), Qt::Key_Return);
    QTRY_COMPARE(price.data().toString(), QStringLiteral("1\u00A0200,00"));
    if (!fillFirst)
        fill();
    // 1,25 machine-hours at 1200 and the concrete's 167652,51.
    QTRY_COMPARE(window->findChild<QLabel *>(QStringLiteral("BillTotal"))->text(),
                 QStringLiteral("Всего по ведомости: 169\u00A0152,51 руб."));
    QCOMPARE(price.siblingAtColumn(HoursModel::PriceColumn + 2).data().toString(), QString());
    book().undoStack()->undo();
    QCOMPARE(price.data().toString(), undone);
}

void BillPricesTest::paintingAsksTheBaseNothing_data()
{
    QTest::addColumn<QString>("change"); // how the bill came to show its prices
    QTest::newRow("an entry added") << "add";
    QTest::newRow("a bill opened") << "open";
    QTest::newRow("a removal undone") << "undo";
    QTest::newRow("the catalogue imported anew under the shown bill") << "import";
}

// The catalogue is read when the bill's codes or the catalogue change; painting every cell of
// the bill reads it no more.
void BillPricesTest::paintingAsksTheBaseNothing()
{
    QFETCH(QString, change);
    const std::shared_ptr<FakeCatalogue> base = catalogue();
    readings().setCatalogue(base);
    // The firm norms' versions are read the same way, and counted too.
    const auto versionReads = std::make_shared<int>(0);
    readings().setNormVersions([versionReads](const QString &) {
        ++*versionReads;
        return std::optional<int>(2);
    });
    BillWindow *window = openBill();
    addNormEntry(1);
    if (change == QStringLiteral("open")) {
        const bom::Bill bill = book().bill();
        book().replace({}, QString());
        book().replace(bill, QStringLiteral("ведомость.merilon-bom"));
    } else if (change == QStringLiteral("undo")) {
        book().remove({0});
        book().undoStack()->undo();
    } else if (change == QStringLiteral("import")) {
        base->replace({material("01.7.03.01-0001", "Цемент", "т", 1)});
        readings().catalogueChanged();
        base->replace(resources());
        readings().catalogueChanged();
    }
    base->reads = 0;
    *versionReads = 0;
    for (const char *name : {"BillEntries", "BillTotals", "BillHours"}) {
        const QAbstractItemModel *model = table(window, name)->model();
        for (int row = 0; row < model->rowCount(); ++row) {
            for (int column = 0; column < model->columnCount(); ++column) {
                for (int role = 0; role <= Qt::UserRole; ++role)
                    model->index(row, column).data(role);
            }
        }
    }
    window->grab();
    QCOMPARE(base->reads, 0);
    QCOMPARE(*versionReads, 0);
    // Read before: the prices and the norm's later version are there to be painted.
    QCOMPARE(table(window, "BillEntries")->model()->index(0, EntriesModel::Work).data().toString(),
             QStringLiteral("ГЭСН 06-01-001-01 Устройство бетонной подготовки — Рассчитано по "
                            "версии 1 нормы ГЭСН 06-01-001-01; сейчас действует версия 2."));
    QTableView *totals = table(window, "BillTotals");
    QTableView *hours = table(window, "BillHours");
    const int concrete = rowOf(totals, 0, QString::fromUtf8(kConcrete));
    QCOMPARE(totals->model()->index(concrete, TotalsModel::CatalogueColumn).data().toString(),
             QStringLiteral("6\u00A0127,65"));
    const int lorry = rowOf(hours, billtexts::HoursCode, QStringLiteral("91.14.02-001"));
    QCOMPARE(hours->model()->index(lorry, HoursModel::CatalogueColumn).data().toString(),
             QStringLiteral("1\u00A0058,38"));
}

QTEST_MAIN(BillPricesTest)
#include "tst_billprices.moc"
