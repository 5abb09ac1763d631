#include "../norms/footings.h"
#include "errorrecorder.h"
#include "firmstore.h"
#include "normimport.h"
#include "norms/normbase.h"
#include "norms/normcontrol.h"
#include "normsearch.h"
#include "pages/calculatorpage.h"
#include "pages/rownorms.h"
#include "windowdriver.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QDialog>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QSettings>
#include <QTemporaryDir>
#include <QTreeView>
#include <QTreeWidget>

namespace {

// A norm per 1000 m2 whose materials are in units the grass rows take, convert or refuse.
constexpr char kGrassBase[] = R"(<?xml version="1.0" encoding="UTF-8"?>
<base BaseName="ФСНБ-2022" PriceLevel="01.01.2022">
 <ResourcesDirectory>
  <ResourceCategory Type="СТРОИТЕЛЬНЫЕ РАБОТЫ" CodePrefix="ГЭСНз">
   <Section Name="Озеленение" Type="Сборник" Code="47">
    <Work Code="47-01-046-06" EndName="Посев газонов гидропосевом" MeasureUnit="1000 м2">
     <Resources>
      <Resource Code="16.2.01.02-0001" EndName="Семена газонных трав" MeasureUnit="кг" Quantity="30"/>
      <Resource Code="01.2.01.02-0031" EndName="Эмульсия битумная" MeasureUnit="т" Quantity="0.5"/>
      <Resource Code="01.2.03.03-0045" EndName="Эмульсия латексная" MeasureUnit="м3" Quantity="0.2"/>
      <Resource Code="16.3.02.01-0001" EndName="Удобрения минеральные" MeasureUnit="т" Quantity="0.05"/>
      <Resource Code="01.7.03.04-0001" EndName="Опилки древесные" MeasureUnit="м3" Quantity="П"/>
     </Resources>
    </Work>
   </Section>
  </ResourceCategory>
 </ResourcesDirectory>
</base>
)";

const QString kOffer =
    QStringLiteral("Чтобы взять расход из нормы, щелкните название строки правой "
                   "кнопкой мыши и выберите «Выбрать норму...».");

} // namespace

// Rows without a published rate taken from a norm the user chose: offered, computed from the
// norm as the base has it, remembered across windows, forgotten on request, refused when the
// norm cannot give the row's rate.
class RowNormsTest : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void foundationRowFromAChosenNorm();
    void firmNormIsReadAsTheBaseHasItNow();
    void grassRowsTakeConvertedRates_data();
    void grassRowsTakeConvertedRates();
    void dialogShowsTheRateOrWhyNot_data();
    void dialogShowsTheRateOrWhyNot();
    void dialogStartsFromTheWorkAndMarksFirmNorms_data();
    void dialogStartsFromTheWorkAndMarksFirmNorms();
    void resourceLineReadsAsInTheNormWindow_data();
    void resourceLineReadsAsInTheNormWindow();

private:
    void newWindow(bool withBase);
    QString tip(const char *name) { return m_driver->widget(QString::fromLatin1(name))->toolTip(); }
    // The caption's context menu, as a right click opens it; closed after reading.
    QStringList menuOf(const char *caption, const char *trigger = nullptr);
    void computeFoundation(int sizeClass);

    std::unique_ptr<QTemporaryDir> m_settings;
    std::unique_ptr<QTemporaryDir> m_files;
    std::unique_ptr<ErrorRecorder> m_errors;
    std::unique_ptr<WindowDriver> m_driver;
    std::optional<RowChoice> m_answer;
};

void RowNormsTest::init()
{
    m_settings = std::make_unique<QTemporaryDir>();
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, m_settings->path());
    m_files = std::make_unique<QTemporaryDir>();
    for (const auto &[name, text] :
         {std::pair{"ГЭСН.xml", kFootingsBase}, std::pair{"ГЭСНз.xml", kGrassBase}}) {
        QFile file(m_files->filePath(QString::fromUtf8(name)));
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(text) > 0);
    }
    m_errors = std::make_unique<ErrorRecorder>();
    RowNorms::setChooser([this](const RowNormRequest &) { return m_answer; });
    newWindow(true);
}

void RowNormsTest::cleanup()
{
    RowNorms::setChooser({});
    m_driver.reset();
    m_errors.reset();
    m_files.reset();
    m_settings.reset();
}

void RowNormsTest::newWindow(bool withBase)
{
    m_driver.reset();
    m_driver = std::make_unique<WindowDriver>();
    if (!withBase)
        return;
    const norms::ImportResult imported =
        norms::importFiles(m_driver->workFolder() + QStringLiteral("/data/norms.db"),
                           {m_files->filePath(QStringLiteral("ГЭСН.xml")),
                            m_files->filePath(QStringLiteral("ГЭСНз.xml"))});
    QVERIFY2(imported.reason.isEmpty(), qPrintable(imported.reason));
    m_driver->window().normControl().base().reopen();
}

QStringList RowNormsTest::menuOf(const char *caption, const char *trigger)
{
    QWidget *label = m_driver->widget(QString::fromLatin1(caption));
    QContextMenuEvent event(QContextMenuEvent::Mouse, label->rect().center(),
                            label->mapToGlobal(label->rect().center()));
    QApplication::sendEvent(label, &event);
    auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
    if (!menu)
        return {};
    QStringList texts;
    for (const QAction *action : menu->actions())
        texts.append(action->text());
    QAction *chosen = trigger ? menu->findChild<QAction *>(QString::fromLatin1(trigger)) : nullptr;
    menu->close();
    if (chosen)
        chosen->trigger();
    return texts;
}

void RowNormsTest::computeFoundation(int sizeClass)
{
    m_driver->clickNode(7);
    m_driver->type(QStringLiteral("Edit8"), QStringLiteral("2"));
    m_driver->type(QStringLiteral("Edit9"), QStringLiteral("1,5"));
    m_driver->type(QStringLiteral("Edit10"), QStringLiteral("0,8"));
    m_driver->pickVariant(QStringLiteral("RadioGroup1"), sizeClass);
    m_driver->newJournalLines();
    m_driver->click(QStringLiteral("BitBtn2"));
}

void RowNormsTest::foundationRowFromAChosenNorm()
{
    const QString nails = QStringLiteral("Гвозди строительные 100 мм — норма не задана");
    computeFoundation(1);
    QCOMPARE(m_driver->text(QStringLiteral("Label39")), QStringLiteral("—"));
    QCOMPARE(tip("Label27"), nails + u'\n' + kOffer);
    const QStringList usual{"Копировать результаты", "Добавить в ведомость"};
    const QStringList offered = usual + QStringList{QString(), "Выбрать норму..."};
    // A row with a formula is not offered a norm.
    QCOMPARE(menuOf("Label24"), usual);
    m_answer = RowChoice{QStringLiteral("ГЭСН 06-01-001-02"), QStringLiteral("01.7.15.06-0111")};
    QCOMPARE(menuOf("Label27", "ChooseRowNorm"), offered);

    // 2 × 1,5 × 0,8 m3 × 0,005 t per 100 m3, in the row's kilograms.
    const QString explained = QStringLiteral(
        "Гвозди строительные 100 мм = объем бетона × 0,05 кг/м3 (ГЭСН 06-01-001-02 «Устройство "
        "бетонных фундаментов общего назначения объемом: до 5 м3», ресурс 01.7.15.06-0111; выбрано "
        "пользователем)");
    QCOMPARE(tip("Label27"), explained);
    m_driver->newJournalLines();
    m_driver->click(QStringLiteral("BitBtn2"));
    QCOMPARE(m_driver->text(QStringLiteral("Label39")), QStringLiteral("0,12 кг"));
    QCOMPARE(m_driver->text(QStringLiteral("Label38")), QStringLiteral("—"));
    QCOMPARE(m_driver->newJournalLines().value(3),
             QStringLiteral("Гвозди строительные 100 мм: 0,12 кг"));
    // The bill takes the figure in the row's unit, naming the norm.
    auto *page = m_driver->widget<CalculatorPage>(QStringLiteral("TabSheet2"));
    const CalculatorPage::Figure figure = page->currentResults(nullptr).value().figures.value(3);
    QCOMPARE(figure.what.unit, QStringLiteral("кг"));
    QCOMPARE(figure.what.source, QStringLiteral("Фундаменты под колонны; норма ГЭСН 06-01-001-02"));
    QCOMPARE(figure.value, std::optional<double>(0.12));
    // The choice is the size class's own.
    computeFoundation(0);
    QCOMPARE(m_driver->text(QStringLiteral("Label39")), QStringLiteral("—"));

    // A new window remembers the choice; without the norm in the base, the row says so.
    newWindow(false);
    computeFoundation(1);
    QCOMPARE(m_driver->text(QStringLiteral("Label39")), QStringLiteral("—"));
    QCOMPARE(tip("Label27"), nails +
                                 QStringLiteral("\nВыбранная норма ГЭСН 06-01-001-02 не "
                                                "найдена в базе норм.\n") +
                                 kOffer);
    newWindow(true);
    computeFoundation(1);
    QCOMPARE(m_driver->text(QStringLiteral("Label39")), QStringLiteral("0,12 кг"));

    QCOMPARE(menuOf("Label27", "ForgetRowNorm"), offered + QStringList{"Не брать расход из нормы"});
    QCOMPARE(tip("Label27"), nails + u'\n' + kOffer);
    m_driver->click(QStringLiteral("BitBtn2"));
    QCOMPARE(m_driver->text(QStringLiteral("Label39")), QStringLiteral("—"));
    QCOMPARE(m_errors->messages(), QStringList());
}

void RowNormsTest::firmNormIsReadAsTheBaseHasItNow()
{
    norms::NormDatabase &base = *m_driver->window().normControl().base().database();
    const QList<norms::NormHit> hits = norms::searchNorms(base, QStringLiteral("06-01-001-02"));
    norms::firm::Draft draft = norms::firm::draftFrom(*norms::readNorm(base, hits.value(0).id));
    draft.source = QStringLiteral("Калькуляция № 12 от 03.03.2026, утв. главным инженером");
    norms::firm::FirmStore store(base);
    const auto saveNails = [&](qint64 id, double rate) {
        draft.resources[3].rate = rate;
        return store.save(id, draft, QStringLiteral("ivanov"), QDateTime::currentDateTime()).id;
    };
    const qint64 id = saveNails(0, 0.006);
    computeFoundation(1);
    m_answer = RowChoice{QStringLiteral("ФН-06-01-001-02"), QStringLiteral("01.7.15.06-0111")};
    menuOf("Label27", "ChooseRowNorm");
    m_driver->click(QStringLiteral("BitBtn2"));
    QCOMPARE(m_driver->text(QStringLiteral("Label39")), QStringLiteral("0,144 кг"));
    // A later version counts from the next computation on.
    saveNails(id, 0.007);
    m_driver->click(QStringLiteral("BitBtn2"));
    QCOMPARE(m_driver->text(QStringLiteral("Label39")), QStringLiteral("0,168 кг"));
    QCOMPARE(
        tip("Label27"),
        QStringLiteral("Гвозди строительные 100 мм = объем бетона × 0,07 кг/м3 (ФН-06-01-001-02, "
                       "версия 2, ресурс 01.7.15.06-0111; источник: Калькуляция № 12 от "
                       "03.03.2026, утв. главным инженером; выбрано пользователем)"));
}

void RowNormsTest::grassRowsTakeConvertedRates_data()
{
    QTest::addColumn<int>("way");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("resource");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<QString>("explained");
    QTest::newRow("fertilizers, t to kg") << 0 << "Label52"
                                          << "Label58"
                                          << "16.3.02.01-0001"
                                          << "6"
                                          << "Удобрения = площадь × 0,05 кг/м2";
    QTest::newRow("latex emulsion, m3 to l") << 2 << "Label44"
                                             << "Label45"
                                             << "01.2.03.03-0045"
                                             << "24"
                                             << "Эмульсия латексная = площадь × 0,2 л/м2";
}

void RowNormsTest::grassRowsTakeConvertedRates()
{
    QFETCH(int, way);
    QFETCH(QString, caption);
    QFETCH(QString, value);
    QFETCH(QString, resource);
    QFETCH(QString, shown);
    QFETCH(QString, explained);
    m_driver->clickNode(17);
    m_driver->type(QStringLiteral("Edit11"), QStringLiteral("12"));
    m_driver->type(QStringLiteral("Edit12"), QStringLiteral("10"));
    m_driver->pickVariant(QStringLiteral("RadioGroup2"), way);
    m_answer = RowChoice{QStringLiteral("ГЭСНз 47-01-046-06"), resource};
    menuOf(qPrintable(caption), "ChooseRowNorm");
    m_driver->newJournalLines();
    m_driver->click(QStringLiteral("BitBtn4"));
    QCOMPARE(m_driver->text(value), shown);
    QCOMPARE(tip(qPrintable(caption)),
             explained +
                 QStringLiteral(" (ГЭСНз 47-01-046-06 «Посев газонов гидропосевом», ресурс ") +
                 resource + QStringLiteral("; выбрано пользователем)"));
    const QString captionText = m_driver->text(caption);
    QVERIFY(m_driver->newJournalLines().contains(captionText + QStringLiteral(": ") + shown));
}

void RowNormsTest::dialogShowsTheRateOrWhyNot_data()
{
    QTest::addColumn<int>("node");
    QTest::addColumn<QString>("variants");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("search");
    QTest::addColumn<QString>("rate");
    QTest::addColumn<QString>("compute");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("shown");
    // The resource named like the row is offered first.
    QTest::newRow("seeds in kg per 1000 m2") << 17 << "RadioGroup2"
                                             << "Label50"
                                             << "газон гидро"
                                             << "Расход: 0,03 кг на 1 м2 площадки"
                                             << "BitBtn4"
                                             << "Label56"
                                             << "3,6";
    QTest::newRow("tonnes for a row in kilograms") << 7 << "RadioGroup1"
                                                   << "Label27"
                                                   << "06-01-001-02"
                                                   << "Расход: 0,05 кг на 1 м3 бетона"
                                                   << "BitBtn2"
                                                   << "Label39"
                                                   << "0 кг";
    QTest::newRow("tonnes for a row in litres")
        << 17 << "RadioGroup2"
        << "Label53"
        << "47-01-046"
        << "Нельзя взять расход: ресурс «Эмульсия битумная» измеряется в «т», а строка — в «л»; "
           "перевести нельзя."
        << "BitBtn4"
        << "Label59"
        << "—";
    QTest::newRow("no rate in the norm")
        << 17 << "RadioGroup2"
        << "Label46"
        << "гидропосев"
        << "Нельзя взять расход: расход ресурса «Опилки древесные» — по проекту, в норме его нет."
        << "BitBtn4"
        << "Label47"
        << "—";
    QTest::newRow("a norm per m2 for a row per m3 of concrete")
        << 7 << "RadioGroup1"
        << "Label29"
        << "бетонирование полов"
        << "Нельзя взять расход: измеритель нормы «100 м2» — не м3: расход на 1 м3 бетона из нее "
           "не получить."
        << "BitBtn2"
        << "Label41"
        << "—";
}

// The real dialog: searched, a norm picked, and OK pressed when it is enabled, Cancel otherwise.
void RowNormsTest::dialogShowsTheRateOrWhyNot()
{
    QFETCH(int, node);
    QFETCH(QString, variants);
    QFETCH(QString, caption);
    QFETCH(QString, search);
    QFETCH(QString, rate);
    QFETCH(QString, compute);
    QFETCH(QString, value);
    QFETCH(QString, shown);
    RowNorms::setChooser({});
    m_driver->clickNode(node);
    m_driver->type(node == 7 ? QStringLiteral("Edit8") : QStringLiteral("Edit11"),
                   QStringLiteral("12"));
    m_driver->type(node == 7 ? QStringLiteral("Edit9") : QStringLiteral("Edit12"),
                   QStringLiteral("10"));
    m_driver->pickVariant(variants, 2);
    QString title, rateShown;
    bool stayed = false;
    m_driver->modals().expect([&](QWidget *dialog) {
        title = dialog->windowTitle();
        m_driver->type(QStringLiteral("RowNormSearch"), search);
        auto *field = dialog->findChild<QLineEdit *>(QStringLiteral("RowNormSearch"));
        QTest::keyClick(field, Qt::Key_Return);
        auto *hits = dialog->findChild<QTreeView *>(QStringLiteral("RowNormHits"));
        if (const QModelIndex first = hits->model()->index(0, 0); first.isValid())
            QTest::mouseClick(hits->viewport(), Qt::LeftButton, {},
                              hits->visualRect(first).center());
        rateShown = dialog->findChild<QLabel *>(QStringLiteral("RowNormRate"))->text();
        // Enter in the search only searches, even with OK there to press.
        QTest::keyClick(field, Qt::Key_Return);
        stayed = dialog->isVisible();
        auto *buttons = dialog->findChild<QDialogButtonBox *>(QStringLiteral("RowNormButtons"));
        QPushButton *ok = buttons->button(QDialogButtonBox::Ok);
        QTest::mouseClick(ok->isEnabled() ? ok : buttons->button(QDialogButtonBox::Cancel),
                          Qt::LeftButton);
    });
    menuOf(qPrintable(caption), "ChooseRowNorm");
    QVERIFY(m_driver->modals().expectationMet());
    QCOMPARE(title, QStringLiteral("Выбор нормы — ") + m_driver->text(caption));
    QCOMPARE(rateShown, rate);
    QVERIFY(stayed);
    m_driver->click(compute);
    QCOMPARE(m_driver->text(value), shown);
}

void RowNormsTest::dialogStartsFromTheWorkAndMarksFirmNorms_data()
{
    QTest::addColumn<int>("node");
    QTest::addColumn<QString>("variants");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("work");
    QTest::newRow("nails of a column foundation") << 7 << "RadioGroup1"
                                                  << "Label27"
                                                  << "фундамент столбч";
    QTest::newRow("seeds of a lawn") << 17 << "RadioGroup2"
                                     << "Label50"
                                     << "посев газон";
}

// The search starts from the work, not from the material, whose name finds no norm; a firm norm
// says so, and a rate left to the design is written out.
void RowNormsTest::dialogStartsFromTheWorkAndMarksFirmNorms()
{
    QFETCH(int, node);
    QFETCH(QString, variants);
    QFETCH(QString, caption);
    QFETCH(QString, work);
    norms::NormDatabase &base = *m_driver->window().normControl().base().database();
    norms::firm::Draft draft = norms::firm::draftFrom(*norms::readNorm(
        base, norms::searchNorms(base, QStringLiteral("ГЭСН 06-01-001-02")).value(0).id));
    draft.source = QStringLiteral("Калькуляция № 12 от 03.03.2026, утв. главным инженером");
    draft.resources[4].rate = 102;
    norms::firm::FirmStore(base).save(0, draft, QStringLiteral("ivanov"),
                                      QDateTime::currentDateTime());
    RowNorms::setChooser({});
    m_driver->clickNode(node);
    m_driver->pickVariant(variants, 2);
    QString search;
    QStringList kinds, rates;
    m_driver->modals().expect([&](QWidget *dialog) {
        search = dialog->findChild<QLineEdit *>(QStringLiteral("RowNormSearch"))->text();
        m_driver->type(QStringLiteral("RowNormSearch"), QStringLiteral("бетон фунд 5"));
        QTest::keyClick(dialog->findChild<QLineEdit *>(QStringLiteral("RowNormSearch")),
                        Qt::Key_Return);
        auto *hits = dialog->findChild<QTreeView *>(QStringLiteral("RowNormHits"));
        const QAbstractItemModel *found = hits->model();
        for (int row = 0; row < found->rowCount(); ++row)
            kinds.append(
                found->index(row, 0).data().toString() + u'|' +
                (hits->isColumnHidden(3) ? QString() : found->index(row, 3).data().toString()));
        hits->setCurrentIndex(found->index(found->rowCount() - 1, 0));
        auto *resources = dialog->findChild<QTreeWidget *>(QStringLiteral("RowNormResources"));
        for (int row = 0; row < resources->topLevelItemCount(); ++row)
            rates.append(resources->topLevelItem(row)->text(3));
        qobject_cast<QDialog *>(dialog)->reject();
    });
    menuOf(qPrintable(caption), "ChooseRowNorm");
    QVERIFY(m_driver->modals().expectationMet());
    QCOMPARE(search, work);
    QCOMPARE(kinds, (QStringList{"ФН-06-01-001-02|фирменная", "ГЭСН 06-01-001-02|"}));
    QCOMPARE(rates.value(4), QStringLiteral("по проекту"));
}

void RowNormsTest::resourceLineReadsAsInTheNormWindow_data()
{
    QTest::addColumn<int>("line");
    QTest::addColumn<QString>("shown"); // name|unit|rate
    QTest::newRow("a rate with more digits than shown") << 3 << "Гвозди строительные|т|0,00612346";
    QTest::newRow("an abstract resource with its group")
        << 4 << "Смеси бетонные (технологическая группа 04.1.02.05.01)|м3|по проекту";
}

// The same line of the same norm in «Нормы» and in a row's «Выбрать норму...».
void RowNormsTest::resourceLineReadsAsInTheNormWindow()
{
    QFETCH(int, line);
    QFETCH(QString, shown);
    norms::NormDatabase &base = *m_driver->window().normControl().base().database();
    norms::firm::Draft draft = norms::firm::draftFrom(*norms::readNorm(
        base, norms::searchNorms(base, QStringLiteral("ГЭСН 06-01-001-02")).value(0).id));
    draft.source = QStringLiteral("Калькуляция № 12 от 03.03.2026, утв. главным инженером");
    draft.resources[3].rate = 0.00612345678;
    norms::firm::FirmStore(base).save(0, draft, QStringLiteral("ivanov"),
                                      QDateTime::currentDateTime());
    const auto lineOf = [](const QTreeWidgetItem *item) {
        return QStringList{item->text(1), item->text(2), item->text(3)}.join(u'|');
    };

    m_driver->window().normControl().showWindow();
    m_driver->type(QStringLiteral("NormSearch"), QStringLiteral("ФН-06-01-001-02"));
    QTest::keyClick(m_driver->widget(QStringLiteral("NormSearch")), Qt::Key_Down);
    QStringList inWindow;
    auto *resources = m_driver->widget<QTreeWidget>(QStringLiteral("NormResources"));
    for (int group = 0; group < resources->topLevelItemCount(); ++group)
        for (int row = 0; row < resources->topLevelItem(group)->childCount(); ++row)
            inWindow.append(lineOf(resources->topLevelItem(group)->child(row)));
    m_driver->window().normControl().closeWindow();

    RowNorms::setChooser({});
    m_driver->clickNode(7);
    m_driver->pickVariant(QStringLiteral("RadioGroup1"), 2);
    QStringList inDialog;
    m_driver->modals().expect([&](QWidget *shownDialog) {
        m_driver->type(QStringLiteral("RowNormSearch"), QStringLiteral("ФН-06-01-001-02"));
        auto *field = shownDialog->findChild<QLineEdit *>(QStringLiteral("RowNormSearch"));
        QTest::keyClick(field, Qt::Key_Return);
        auto *hits = shownDialog->findChild<QTreeView *>(QStringLiteral("RowNormHits"));
        hits->setCurrentIndex(hits->model()->index(0, 0));
        auto *lines = shownDialog->findChild<QTreeWidget *>(QStringLiteral("RowNormResources"));
        for (int row = 0; row < lines->topLevelItemCount(); ++row)
            inDialog.append(lineOf(lines->topLevelItem(row)));
        qobject_cast<QDialog *>(shownDialog)->reject();
    });
    menuOf("Label27", "ChooseRowNorm");
    QVERIFY(m_driver->modals().expectationMet());
    QVERIFY2(inWindow.contains(shown), qPrintable(inWindow.join(u'\n')));
    QVERIFY2(inDialog.contains(shown), qPrintable(inDialog.join(u'\n')));
}

QTEST_MAIN(RowNormsTest)
#include "tst_rownorms.moc"
