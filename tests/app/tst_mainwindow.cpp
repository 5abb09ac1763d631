#include "clock.h"
#include "common/errorreport.h"
#include "errorrecorder.h"
#include "journal.h"
#include "windowdriver.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QHelpEvent>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPrintDialog>
#include <QProcess>
#include <QScreen>
#include <QScrollBar>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextEdit>
#include <QTextLayout>
#include <QToolBar>
#include <QToolButton>
#include <QToolTip>

namespace {

const QString kFirstLine = QStringLiteral("Ведеться история расчетов программы \"Мерилон 3\"");
const QString kSaveLine = QStringLiteral(
    "Сохранение по запросу.История расчетов сохранена. Дата 06.12.2026 время сохранения: 10:05:07");
const QString kCloseLine = QStringLiteral(
    "Текущая история расчетов сохранена. Дата 06.12.2026 время сохранения: 10:05:07");

} // namespace

// The window as a user meets it: what the journal panel shows, which fields take typing, tips,
// placement, the error report's wording, the journal files byte for byte, and printing.
class MainWindowTest : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void catalogueShowsTheNodeTextsInStatusAndJournal_data();
    void catalogueShowsTheNodeTextsInStatusAndJournal();
    void pagesShowTheirCaptions_data();
    void pagesShowTheirCaptions();
    void resultValuesStandBesideTheirCaptions_data();
    void resultValuesStandBesideTheirCaptions();
    void variantListsShowTheirItems_data();
    void variantListsShowTheirItems();
    void journalPanelShowsEveryAppendedLine_data();
    void journalPanelShowsEveryAppendedLine();
    void journalPanelAndThicknessFieldTakeNoTyping();
    void journalPanelWrapsLongLinesAndScrollsUpAndDownOnly();
    void otherNodesLeaveTheThicknessAlone();
    void clearOnClickEmptiesOnlyForAPressEndingInside_data();
    void clearOnClickEmptiesOnlyForAPressEndingInside();
    void menusAndToolBarNameTheirEntries();
    void toolButtonsShowOnlyTheirOwnTips_data();
    void toolButtonsShowOnlyTheirOwnTips();
    void windowIsCentredOnFirstShow();
    void windowShownAgainKeepsItsPlaceAndPage();
    void windowHasTheClientSizeOfItsLayout();
    void statusBarShowsTheClockTime();
    void catalogueClickActsWhenTheButtonIsReleased();
    void keyboardReachesTheFirstPlace();
    void catalogueNodesCannotBeRenamed();
    void catalogueIndentsItsKindsAndHasNoHeader();
    void catalogueNodesChangeTheirIconWhenSelectedButFloors();
    void boldHeadingsStandOut();
    void homePageShowsTheProgramsPurposeAndSource();
    void overviewPageLaysOutItsCollage();
    void explanationsNameRateAndUnit_data();
    void explanationsNameRateAndUnit();
    void errorReportAddsFullStopAfterCharactersAboveIt_data();
    void errorReportAddsFullStopAfterCharactersAboveIt();
    void saveOnRequestWritesWindows1251Lines();
    void closeWritesTheJournalEndingWithItsLine();
    void printGoesThroughTheDialogToTheChosenPrinter();
    void cancelledPrintPrintsNothing();

private:
    QPlainTextEdit *panel() { return m_driver->widget<QPlainTextEdit>(QStringLiteral("Memo2")); }
    void fixClock();

    std::unique_ptr<WindowDriver> m_driver;
    std::unique_ptr<ErrorRecorder> m_errors;
};

void MainWindowTest::init()
{
    m_errors = std::make_unique<ErrorRecorder>();
    m_driver = std::make_unique<WindowDriver>();
}

void MainWindowTest::cleanup()
{
    m_driver.reset();
    m_errors.reset();
}

void MainWindowTest::fixClock()
{
    Clock &clock = m_driver->window().clock();
    clock.setTimeSource([] { return QDateTime(QDate(2026, 12, 6), QTime(10, 5, 7)); });
    clock.Timer1Timer();
}

void MainWindowTest::catalogueShowsTheNodeTextsInStatusAndJournal_data()
{
    QTest::addColumn<int>("place");
    QTest::addColumn<QString>("text");
    const char *const texts[] = {"Главная страница",
                                 "Конструкции из кирпича",
                                 "Кирпичная кладка 1,0 кирпич (250 мм.)",
                                 "Кирпичная кладка 1,5 кирпича (380 мм.)",
                                 "Кирпичная кладка 2,0 кирпича  (510 мм.)",
                                 "Кирпичная кладка 2,5 кирпича  (640 мм.)",
                                 "Конструкции монолитные",
                                 "Фундаменты под здания и сооружения",
                                 "Конструкции из дерева",
                                 "Устройство ворот",
                                 "Конструкции из металла",
                                 "Окраска поверхности (сурик)",
                                 "Полы",
                                 "Устройство подстилающих слоев",
                                 "Наружние покрытия",
                                 "Расчет тротуарной плитки",
                                 "Благоустройство",
                                 "Посев многолетних трав",
                                 "О программе"};
    // The level of each place: sections at 1, their kinds of work at 2.
    const int levels[] = {1, 1, 2, 2, 2, 2, 1, 2, 1, 2, 1, 2, 1, 2, 1, 2, 1, 2, 1};
    static_assert(std::size(levels) == std::size(texts));
    QTest::addColumn<int>("level");
    for (int place = 0; place < int(std::size(texts)); ++place)
        QTest::addRow("%d %s", place, texts[place])
            << place << QString::fromUtf8(texts[place]) << levels[place];
}

void MainWindowTest::catalogueShowsTheNodeTextsInStatusAndJournal()
{
    QFETCH(int, place);
    QFETCH(QString, text);
    QFETCH(int, level);
    QTreeWidgetItem *node = m_driver->window().catalogue()->node(place);
    QCOMPARE(node->parent() ? 2 : 1, level);
    // A kind of work sits under the nearest section above it.
    if (node->parent()) {
        int section = place - 1;
        while (m_driver->window().catalogue()->node(section)->parent())
            --section;
        QCOMPARE(node->parent(), m_driver->window().catalogue()->node(section));
    }
    QCOMPARE(m_driver->window().statusText(0),
             QStringLiteral("Добро пожаловать в программу \"Мерилон\"!"));
    m_driver->clickNode(place);
    QCOMPARE(m_driver->window().catalogue()->node(place)->text(0), text);
    QCOMPARE(m_driver->window().statusText(0), QStringLiteral("Текущий расчет: ") + text);
    QCOMPARE(m_driver->journal(), (QStringList{kFirstLine, QStringLiteral("Выбрано:  ") + text}));
}

void MainWindowTest::pagesShowTheirCaptions_data()
{
    QTest::addColumn<int>("place");
    QTest::addColumn<QStringList>("names");
    QTest::addColumn<QStringList>("texts");
    QTest::newRow("masonry") << 2 << QStringList{"GroupBox1", "Label3",  "Label4",  "Label5",
                                                 "Label6",    "Label7",  "Label8",  "Label9",
                                                 "Label10",   "Label11", "Label12", "GroupBox2",
                                                 "Label22",   "Label13", "Label14", "Label15",
                                                 "BitBtn8",   "BitBtn9"}
                             << QStringList{"Условия расчета",
                                            "Стена",
                                            "Длина стены по периметру, м.",
                                            "Высота стены по периметру, м.",
                                            "Толщина кладки, м.",
                                            "Оконные проемы:",
                                            "Общая длина оконных проемов, м.",
                                            "Общая высота оконных проемов, м.",
                                            "Дверные проемы",
                                            "Общая длина дверных проемов, м.",
                                            "Общая высота дверных проемов, м.",
                                            "Итоги расчета",
                                            "Объем кирпичной кладки, м3.",
                                            "Кирпич глиняный обыкновенный, шт.",
                                            "Раствор, м3",
                                            "Пробки деревянные, м3",
                                            "&Очистить",
                                            "&Расчет"};
    QTest::newRow("foundation") << 7
                                << QStringList{"GroupBox4", "Label31", "Label32",     "Label33",
                                               "Label34",   "Label36", "RadioGroup1", "GroupBox3",
                                               "Label24",   "Label25", "Label26",     "Label27",
                                               "Label28",   "Label29", "BitBtn1",     "BitBtn2"}
                                << QStringList{"Размеры конструкции",
                                               "Длина конструкции",
                                               "Ширина конструкции",
                                               "Высота конструкции",
                                               "Расчет объема, м3 - ",
                                               "Нажать для расчета",
                                               "Устройство бетонных (ж.б) фундаментов под колонны",
                                               "Материалы",
                                               "Бетон, м3",
                                               "Щиты опалубки 25 мм.",
                                               "Доски 40 мм",
                                               "Гвозди строительные 100 мм",
                                               "Проволока стальная 4 мм",
                                               "Смазка",
                                               "&Очистить",
                                               "&Расчет"};
    QTest::newRow("gates") << 9
                           << QStringList{"Label106", "Label117", "GroupBox12", "Button6",
                                          "Button5"}
                           << QStringList{"Площадь конструкций", "100 м2 ворот",
                                          "Расход материалов", "&Очистить", "&Расчет"};
    QTest::newRow("painting") << 11
                              << QStringList{"GroupBox7",   "Label60",   "Label61", "Label103",
                                             "RadioGroup3", "GroupBox9", "Label62", "Label63",
                                             "GroupBox10",  "Label64",   "Label65", "Label66",
                                             "Label67",     "Label68",   "BitBtn5", "BitBtn6"}
                              << QStringList{"Размеры окрашиваемой поверхности",
                                             "Длина (или ширина) поверхности, м",
                                             "Ширина (или высота) поверхности, м",
                                             "Площадь окрашиваемой поверхности, м2  -",
                                             "Перечень работ",
                                             "Материалы для проолифки",
                                             "Олифа, кг",
                                             "Краски тертые, кг",
                                             "Материалы для окраски",
                                             "Состав окрасочный, кг",
                                             "в том числе:",
                                             "Сурик железный тертый, кг.",
                                             "Олифа,кг ",
                                             "Ветошь,кг",
                                             "&Очистить",
                                             "&Расчет"};
    QTest::newRow("underlay") << 13 << QStringList{"Label20", "Label78", "GroupBox8", "Label79",
                                                   "Label80", "Label81", "Label82",   "Label83",
                                                   "Label84", "Label85", "Label86",   "Label87",
                                                   "Label88", "Label89", "Label101",  "Button2",
                                                   "Button1"}
                              << QStringList{"Объем подстилающего слоя",
                                             "куб. метр(ов)",
                                             "Материалы",
                                             "Песок, куб. метр",
                                             "Шлак или гравий, куб. метр",
                                             "Щебень, куб. метр",
                                             "Клинец, куб. метр",
                                             "Каменная мелочь. куб. метр",
                                             "Глина, куб. метр",
                                             "Битум БН-60/90, кг.",
                                             "Глина Песок, куб. метр",
                                             "Бетон, куб. метр",
                                             "Бетон кислоупорный, куб. метр",
                                             "Водный раствор серной кислоты, кг.",
                                             "Камень булыжный, м3",
                                             "&Очистить",
                                             "&Расчет"};
    QTest::newRow("tiles") << 15 << QStringList{"GroupBox11", "GroupBox13", "Label77",
                                                "Label107",   "Label105",   "GroupBox14",
                                                "Label110",   "Button4",    "Button3"}
                           << QStringList{"Внешний вид плитки",
                                          "Расчет площади покрытия",
                                          "Длина, м.",
                                          "X",
                                          "Ширина, м.",
                                          "Расчет количества плитки",
                                          "Расчет не проведен",
                                          "&Очистить",
                                          "&Расчет"};
    QTest::newRow("grass") << 17
                           << QStringList{"GroupBox5", "Label42", "Label43", "GroupBox6", "Label48",
                                          "Label49",   "Label50", "Label51", "Label52",   "Label53",
                                          "Label44",   "Label46", "BitBtn3", "BitBtn4"}
                           << QStringList{"Размеры площадки",
                                          "Длина конструкции, м",
                                          "Ширина конструкции, м",
                                          "Материалы",
                                          "Дерн, м2",
                                          "Спицы  деревянные, м3",
                                          "Семена трав, кг",
                                          "Земля растительная, м3",
                                          "Удобрения, кг",
                                          "Эмульсия битумная, л.",
                                          "Эмульсия латексная, л.",
                                          "Опилки, м3",
                                          "&Очистить",
                                          "&Расчет"};
}

void MainWindowTest::pagesShowTheirCaptions()
{
    QFETCH(int, place);
    QFETCH(QStringList, names);
    QFETCH(QStringList, texts);
    m_driver->clickNode(place);
    QStringList shown;
    for (const QString &name : names) {
        QWidget *widget = m_driver->widget(name);
        if (auto *label = qobject_cast<QLabel *>(widget))
            shown.append(label->text());
        else if (auto *button = qobject_cast<QAbstractButton *>(widget))
            shown.append(button->text());
        else if (auto *group = qobject_cast<QGroupBox *>(widget))
            shown.append(group->title());
        else
            shown.append(QStringLiteral("(no text: %1)").arg(name));
    }
    QCOMPARE(shown, texts);
}

void MainWindowTest::resultValuesStandBesideTheirCaptions_data()
{
    QTest::addColumn<int>("place");
    QTest::addColumn<QString>("list");
    QTest::addColumn<QString>("compute");
    QTest::addColumn<QStringList>("captions");
    QTest::addColumn<QStringList>("values");
    QTest::newRow("masonry") << 2 << ""
                             << "BitBtn9" << QStringList{"Label22", "Label13", "Label14", "Label15"}
                             << QStringList{"Label23", "Label17", "Label18", "Label19"};
    QTest::newRow("gates") << 9 << "RadioGroup6"
                           << "Button5"
                           << QStringList{"Label118", "Label119", "Label120", "Label121",
                                          "Label122", "Label123", "Label124"}
                           << QStringList{"Label125", "Label126", "Label127", "Label128",
                                          "Label129", "Label130", "Label131"};
    // The note "в том числе:" stands on a line of its own between the first two rows.
    QTest::newRow("painting, rows around a note")
        << 11 << ""
        << "BitBtn6" << QStringList{"Label64", "Label66", "Label67", "Label68"}
        << QStringList{"Label71", "Label72", "Label73", "Label74"};
}

void MainWindowTest::resultValuesStandBesideTheirCaptions()
{
    QFETCH(int, place);
    QFETCH(QString, list);
    QFETCH(QString, compute);
    QFETCH(QStringList, captions);
    QFETCH(QStringList, values);
    m_driver->clickNode(place);
    if (!list.isEmpty())
        m_driver->pickVariant(list, 0);
    // Values show only once computed.
    for (const QString &value : values)
        QVERIFY2(!m_driver->shown(value), qPrintable(value));
    m_driver->click(compute);
    int above = -1;
    for (qsizetype i = 0; i < captions.size(); ++i) {
        const QRect caption = m_driver->widget(captions[i])->geometry();
        const QRect value = m_driver->widget(values[i])->geometry();
        QVERIFY2(value.left() > caption.left(), qPrintable(values[i]));
        QVERIFY2(qAbs(value.center().y() - caption.center().y()) <= 2, qPrintable(values[i]));
        QVERIFY2(caption.top() > above, qPrintable(captions[i]));
        // The values stand in one column.
        QCOMPARE(value.left(), m_driver->widget(values[0])->geometry().left());
        above = caption.bottom();
    }
    if (place == 11) {
        const QRect note = m_driver->widget(QStringLiteral("Label65"))->geometry();
        QCOMPARE(m_driver->text(QStringLiteral("Label65")), QStringLiteral("в том числе:"));
        const QRect first = m_driver->widget(QStringLiteral("Label64"))->geometry();
        const QRect second = m_driver->widget(QStringLiteral("Label66"))->geometry();
        QCOMPARE(note.left(), first.left());
        QVERIFY(note.top() > first.bottom());
        QVERIFY(note.bottom() < second.top());
    }
}

void MainWindowTest::variantListsShowTheirItems_data()
{
    QTest::addColumn<int>("place");
    QTest::addColumn<QString>("list");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QStringList>("items");
    QTest::newRow("foundation") << 7 << "RadioGroup1"
                                << "Устройство бетонных (ж.б) фундаментов под колонны"
                                << QStringList{
                                       "Объмом до 3 м3, опалубка", "Объемом до 5 м3, опалубка",
                                       "Объемом более 5м3, опалубка", "Объемом до 25 м3, опалубка",
                                       "Объемом более 25 м3, опалубка"};
    QTest::newRow("gates") << 9 << "RadioGroup6"
                           << "Перчень работ"
                           << QStringList{"Устройство глухих ворот с устновкой столбов",
                                          "Устройство решетчитых ворот высотой 1,2 метра",
                                          "То же, высотой 1,6 метра",
                                          "То же, высотой 2,0 метра",
                                          "Устройство глухих ворот при установ. столбах",
                                          "Устройство решетчитых ворот высотой 1,2 метра",
                                          "То же, высотой 1,6 метра",
                                          "То же, высотой 2,0 метра"};
    QTest::newRow("underlay") << 13 << "RadioGroup4"
                              << "Устройство подстилающего слоя"
                              << QStringList{"Устройство подстилающего слоя из песка",
                                             "Устройство подстилающего слоя из шлака",
                                             "Устройство подстиляющего слоя из щебня",
                                             "Устройство глинобитного подстилающего слоя",
                                             "То же с масляннистыми добавками",
                                             "То же с добавкой щебня",
                                             "Устройство глинобетонного подстилающего слоя",
                                             "Устройство булыжного подстилающего слоя",
                                             "Устройство бетонного подстилающего слоя",
                                             "Устройство кислотоупорного подстилающего слоя"};
    QTest::newRow("tiles") << 15 << "RadioGroup5"
                           << "Тип плитки"
                           << QStringList{"квадрат",
                                          "шестигранник",
                                          "облицовочная плитка- дикий камень",
                                          "облицовочная плитка - сланец",
                                          "брусчатка",
                                          "соты",
                                          "фиалка",
                                          "крест",
                                          "солнечный",
                                          "треугольник"};
    QTest::newRow("grass") << 17 << "RadioGroup2"
                           << "Перечень работ"
                           << QStringList{"Посев трав в ручную", "Посев трав с помощью механизмов",
                                          "Посев трав гидропосевом, 1000 м2"};
}

void MainWindowTest::variantListsShowTheirItems()
{
    QFETCH(int, place);
    QFETCH(QString, list);
    QFETCH(QString, caption);
    QFETCH(QStringList, items);
    m_driver->clickNode(place);
    auto *group = m_driver->widget<QGroupBox>(list);
    QCOMPARE(group->title(), caption);
    const QList<QAbstractButton *> buttons =
        group->findChildren<QAbstractButton *>(QString(), Qt::FindDirectChildrenOnly);
    QStringList shown;
    for (const QAbstractButton *button : buttons)
        shown.append(button->text());
    QCOMPARE(shown, items);
    for (const QAbstractButton *button : buttons)
        QVERIFY(!button->isChecked());
}

void MainWindowTest::journalPanelShowsEveryAppendedLine_data()
{
    QTest::addColumn<QString>("operation");
    QTest::addColumn<QStringList>("lines");
    const QString gatesClick = QStringLiteral("Выбрано:  Устройство ворот");
    QTest::newRow("catalogue click") << "click" << QStringList{kFirstLine, gatesClick};
    QTest::newRow("forward") << "forward"
                             << QStringList{kFirstLine, gatesClick,
                                            QStringLiteral("Перемещение: Конструкции из металла")};
    QTest::newRow("compute")
        << "compute"
        << QStringList{kFirstLine,
                       gatesClick,
                       QStringLiteral("Выбрано:  Устройство глухих ворот с устновкой столбов"),
                       QStringLiteral("Произведен расчет: Устройство глухих ворот с устновкой "
                                      "столбов"),
                       QStringLiteral("Условия расчета:"),
                       QStringLiteral("Площадь конструкций: 1 - ед.изм.( 100 м2 ворот )"),
                       QStringLiteral("Итоги расчета: необходимо материалов:"),
                       QStringLiteral("Бревна 180 мм., м3: 2"),
                       QStringLiteral("Бруски 50-60 мм., м3: 2,5"),
                       QStringLiteral("Доски 19-22 мм, м3: 2,1"),
                       QStringLiteral("Доск 25-32 мм., м3: 0"),
                       QStringLiteral("Болты и поковки, кг.: 35"),
                       QStringLiteral("Смола, кг.: 26,6"),
                       QStringLiteral("Гвозди, кг.: 3,6")};
    QTest::newRow("save on request")
        << "save"
        << QStringList{kFirstLine, gatesClick, kSaveLine,
                       QStringLiteral("Файл создан и сохранен в папке data/06.12.2026.txt")};
    QTest::newRow("close attempt without a data folder")
        << "close" << QStringList{kFirstLine, gatesClick, kCloseLine};
}

void MainWindowTest::journalPanelShowsEveryAppendedLine()
{
    QFETCH(QString, operation);
    QFETCH(QStringList, lines);
    fixClock();
    QCOMPARE(panel()->toPlainText(), kFirstLine);
    m_driver->clickNode(9);
    if (operation == QLatin1String("forward")) {
        m_driver->click(QStringLiteral("ToolButton9"));
    } else if (operation == QLatin1String("compute")) {
        m_driver->pickVariant(QStringLiteral("RadioGroup6"), 0);
        m_driver->click(QStringLiteral("Button5"));
    } else if (operation == QLatin1String("save")) {
        m_driver->click(QStringLiteral("ToolButton4"));
    } else if (operation == QLatin1String("close")) {
        QVERIFY(QDir(QStringLiteral("data")).removeRecursively());
        m_driver->click(QStringLiteral("ToolButton16"));
        QCOMPARE(m_errors->messages(), QStringList{QStringLiteral("Invalid filename.")});
        QVERIFY(m_driver->window().isVisible());
    }
    // The panel takes the lines of an operation at the next turn of the event loop.
    QTRY_COMPARE_WITH_TIMEOUT(panel()->toPlainText(), lines.join(u'\n'), 1000);
    // The newest line is in view, as the user would look for it.
    QScrollBar *bar = panel()->verticalScrollBar();
    QCOMPARE(bar->value(), bar->maximum());
}

void MainWindowTest::journalPanelAndThicknessFieldTakeNoTyping()
{
    m_driver->clickNode(3);
    auto *thickness = m_driver->widget<QLineEdit>(QStringLiteral("Edit3"));
    QVERIFY(thickness->isReadOnly());
    QVERIFY(panel()->isReadOnly());
    m_driver->click(thickness);
    QTest::keyClicks(thickness, QStringLiteral("9"));
    QTest::keyClick(thickness, Qt::Key_Backspace);
    QCOMPARE(thickness->text(), QStringLiteral("0,38"));

    QTRY_COMPARE_WITH_TIMEOUT(
        panel()->toPlainText(),
        kFirstLine + QStringLiteral("\nВыбрано:  Кирпичная кладка 1,5 кирпича (380 мм.)"), 1000);
    const QString shown = panel()->toPlainText();
    m_driver->click(panel()->viewport());
    QTest::keyClicks(panel()->viewport(), QStringLiteral("abc"));
    QTest::keyClick(panel()->viewport(), Qt::Key_Return);
    QTest::keyClick(panel()->viewport(), Qt::Key_Backspace);
    QCOMPARE(panel()->toPlainText(), shown);
}

// A line wider than the panel wraps, as in a memo with a vertical scroll bar only; it stays one
// line of the journal and of its files.
void MainWindowTest::journalPanelWrapsLongLinesAndScrollsUpAndDownOnly()
{
    const QString longLine = QStringLiteral("Файл создан и сохранен в папке ") +
                             QStringLiteral("/очень/длинная/папка").repeated(12);
    m_driver->window().journal().append(longLine);
    QTRY_COMPARE(panel()->document()->lastBlock().text(), longLine);
    QCOMPARE(panel()->document()->blockCount(), 2);
    QVERIFY2(panel()->document()->lastBlock().layout()->lineCount() > 1,
             "the long line is not wrapped");
    QVERIFY(!panel()->horizontalScrollBar()->isVisible());
    QCOMPARE(panel()->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
    QVERIFY(panel()->verticalScrollBar()->isVisible());
    QCOMPARE(m_driver->journal().last(), longLine);
}

void MainWindowTest::otherNodesLeaveTheThicknessAlone()
{
    m_driver->clickNode(4);
    for (int place : {0, 1, 6, 7, 9, 11, 13, 15, 17, 18})
        m_driver->clickNode(place);
    m_driver->clickNode(1);
    m_driver->click(QStringLiteral("ToolButton9"));
    QCOMPARE(m_driver->widget<QLineEdit>(QStringLiteral("Edit3"))->text(), QStringLiteral("0,25"));
    m_driver->clickNode(0);
    QCOMPARE(m_driver->widget<QLineEdit>(QStringLiteral("Edit3"))->text(), QStringLiteral("0,25"));
    m_driver->clickNode(5);
    m_driver->clickNode(18);
    QCOMPARE(m_driver->widget<QLineEdit>(QStringLiteral("Edit3"))->text(), QStringLiteral("0,64"));
}

void MainWindowTest::clearOnClickEmptiesOnlyForAPressEndingInside_data()
{
    QTest::addColumn<int>("place");
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("text");
    QTest::newRow("masonry wall length") << 2 << "Edit1"
                                         << "12,5";
    QTest::newRow("masonry door height") << 2 << "Edit7"
                                         << "2,1";
    QTest::newRow("tiles length") << 15 << "Edit19"
                                  << "7";
}

void MainWindowTest::clearOnClickEmptiesOnlyForAPressEndingInside()
{
    QFETCH(int, place);
    QFETCH(QString, field);
    QFETCH(QString, text);
    m_driver->clickNode(place);
    m_driver->type(field, text);
    auto *edit = m_driver->widget<QLineEdit>(field);
    QCOMPARE(edit->text(), text);

    // A press inside that the user drags out before letting go is no click.
    const QPoint inside = edit->rect().center();
    const QPoint outside(edit->width() + 20, inside.y());
    QTest::mousePress(edit, Qt::LeftButton, Qt::NoModifier, inside);
    QTest::mouseMove(edit, outside);
    QTest::mouseRelease(edit, Qt::LeftButton, Qt::NoModifier, outside);
    QCOMPARE(edit->text(), text);

    // Nor is a press of another button than the left.
    QTest::mouseClick(edit, Qt::MiddleButton, Qt::NoModifier, inside);
    QCOMPARE(edit->text(), text);

    m_driver->click(edit);
    QCOMPARE(edit->text(), QString());
}

void MainWindowTest::menusAndToolBarNameTheirEntries()
{
    QStringList menus;
    for (const char *name : {"N1", "N2", "N10"}) {
        auto *menu = m_driver->widget<QMenu>(QString::fromLatin1(name));
        QStringList entries;
        for (const QAction *action : menu->actions()) {
            if (!action->isSeparator())
                entries.append(action->objectName() + u' ' + action->text());
        }
        menus.append(menu->title() + QStringLiteral(": ") + entries.join(QStringLiteral(", ")));
    }
    QCOMPARE(menus,
             (QStringList{"&Действия: AddToBill &Добавить в ведомость, ShowBill "
                          "&Ведомость материалов..., ShowNorms &Расчет по нормам..., "
                          "ImportNorms &Загрузить базу норм..., ImportNormsFolder Загрузить базу "
                          "норм из пап&ки..., ImportPrices Загрузить сметные &цены региона..., "
                          "ExportFirmNorms &Экспорт фирменных "
                          "норм..., ShowRateTables &Нормативы НР и СП..., PrintJournal &Печать "
                          "истории..., "
                          "SaveJournalAsPdf &Сохранить историю в PDF..., N6 Выход из "
                          "программы",
                          "&Управление: N7 &Вперед, N8 &Назад", "?: N13 Домашняя страница"}));

    QStringList captions;
    for (const char *name : {"ToolButton16", "ToolButton1", "ToolButton8", "ToolButton9",
                             "ToolButton4", "ToolButton5"})
        captions.append(m_driver->widget<QToolButton>(QString::fromLatin1(name))->text());
    QCOMPARE(captions, (QStringList{"Выход", "Главная", "Назад", "Вперед", "История", "ГОСТы"}));
    // The tool bar stays at the top, and the window can be resized by its corner.
    QVERIFY(!m_driver->widget<QToolBar>(QStringLiteral("ToolBar1"))->isMovable());
    QVERIFY(m_driver->window().statusBar()->isSizeGripEnabled());
}

void MainWindowTest::toolButtonsShowOnlyTheirOwnTips_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("tip");
    QTest::newRow("exit") << "ToolButton16"
                          << "";
    QTest::newRow("home") << "ToolButton1"
                          << "";
    QTest::newRow("back") << "ToolButton8"
                          << "";
    QTest::newRow("forward") << "ToolButton9"
                             << "";
    QTest::newRow("history") << "ToolButton4"
                             << "Сохранить историю расчетов";
    QTest::newRow("standards") << "ToolButton5"
                               << "Посетить магазин";
}

void MainWindowTest::toolButtonsShowOnlyTheirOwnTips()
{
    QFETCH(QString, button);
    QFETCH(QString, tip);
    QWidget *target = m_driver->widget(button);
    const QPoint at = target->rect().center();
    QHelpEvent hover(QEvent::ToolTip, at, target->mapToGlobal(at));
    QApplication::sendEvent(target, &hover);
    QCOMPARE(QToolTip::isVisible() ? QToolTip::text() : QString(), tip);
    QToolTip::hideText();
}

void MainWindowTest::windowIsCentredOnFirstShow()
{
    TForm1 &window = m_driver->window();
    const QRect available = window.screen()->availableGeometry();
    const QPoint offset = window.frameGeometry().center() - available.center();
    QVERIFY2(
        offset.manhattanLength() <= 1,
        qPrintable(QStringLiteral("off the centre by %1, %2").arg(offset.x()).arg(offset.y())));
}

void MainWindowTest::windowShownAgainKeepsItsPlaceAndPage()
{
    TForm1 &window = m_driver->window();
    m_driver->clickNode(9);
    window.move(window.pos() + QPoint(40, 30));
    const QPoint moved = window.pos();
    window.hide();
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QCOMPARE(window.pos(), moved);
    QCOMPARE(m_driver->visiblePage()->objectName(), QStringLiteral("TabSheet10"));
    QCOMPARE(window.statusText(0), QStringLiteral("Текущий расчет: Устройство ворот"));
}

void MainWindowTest::windowHasTheClientSizeOfItsLayout()
{
    TForm1 &window = m_driver->window();
    // The regions are laid out for a client area of 650 × 668 below the menu bar.
    QCOMPARE(window.width(), 650);
    QCOMPARE(window.height() - window.menuBar()->height(), 668);
    QCOMPARE(panel()->geometry(), QRect(8, 553, 633, 49));
}

void MainWindowTest::statusBarShowsTheClockTime()
{
    fixClock();
    QCOMPARE(m_driver->window().statusText(1), QStringLiteral("Текущее время: 10:05:07"));
    Clock &clock = m_driver->window().clock();
    clock.setTimeSource([] { return QDateTime(QDate(2026, 12, 6), QTime(23, 59, 59)); });
    clock.Timer1Timer();
    QCOMPARE(m_driver->window().statusText(1), QStringLiteral("Текущее время: 23:59:59"));
}

void MainWindowTest::catalogueClickActsWhenTheButtonIsReleased()
{
    Catalogue *tree = m_driver->window().catalogue();
    const QPoint at = tree->visualItemRect(tree->node(18)).center();
    QTest::mousePress(tree->viewport(), Qt::LeftButton, Qt::NoModifier, at);
    QCOMPARE(m_driver->journal(), QStringList{kFirstLine});
    QTest::mouseRelease(tree->viewport(), Qt::LeftButton, Qt::NoModifier, at);
    QCOMPARE(m_driver->journal(),
             (QStringList{kFirstLine, QStringLiteral("Выбрано:  О программе")}));
}

void MainWindowTest::keyboardReachesTheFirstPlace()
{
    m_driver->clickNode(1);
    m_driver->newJournalLines();
    QTest::keyClick(m_driver->window().catalogue(), Qt::Key_Up);
    QCOMPARE(m_driver->window().catalogue()->selectedPlace(), 0);
    QCOMPARE(m_driver->window().statusText(0), QStringLiteral("Текущий расчет: Главная страница"));
    QCOMPARE(m_driver->visiblePage()->objectName(), QStringLiteral("TabSheet3"));
    QVERIFY(!m_driver->window().catalogue()->node(1)->isExpanded());
    QCOMPARE(m_driver->newJournalLines(), QStringList());
}

void MainWindowTest::catalogueNodesCannotBeRenamed()
{
    Catalogue *tree = m_driver->window().catalogue();
    m_driver->clickNode(12);
    QTreeWidgetItem *node = tree->node(12);
    QTest::keyClick(tree, Qt::Key_F2);
    const QPoint at = tree->visualItemRect(node).center();
    QTest::mouseDClick(tree->viewport(), Qt::LeftButton, Qt::NoModifier, at);
    QVERIFY(!tree->isPersistentEditorOpen(node));
    QCOMPARE(QApplication::focusWidget(), tree);
    QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("x"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    QCOMPARE(node->text(0), QStringLiteral("Полы"));
}

void MainWindowTest::catalogueIndentsItsKindsAndHasNoHeader()
{
    Catalogue *tree = m_driver->window().catalogue();
    QCOMPARE(tree->indentation(), 19);
    QVERIFY(tree->isHeaderHidden());
    QVERIFY(tree->rootIsDecorated());
    m_driver->clickNode(1);
    const int section = tree->visualItemRect(tree->node(1)).left();
    QCOMPARE(tree->visualItemRect(tree->node(2)).left() - section, 19);
}

void MainWindowTest::catalogueNodesChangeTheirIconWhenSelectedButFloors()
{
    Catalogue *tree = m_driver->window().catalogue();
    for (int place = 0; place < 19; ++place) {
        const QIcon icon = tree->node(place)->icon(0);
        const QImage usual = icon.pixmap(16, QIcon::Normal).toImage();
        const QImage selected = icon.pixmap(16, QIcon::Selected).toImage();
        QVERIFY2(!usual.isNull(), qPrintable(QString::number(place)));
        QVERIFY2((usual == selected) == (place == 12), qPrintable(QString::number(place)));
    }
}

void MainWindowTest::boldHeadingsStandOut()
{
    m_driver->clickNode(2);
    for (const char *name : {"Label3", "Label7", "Label10"})
        QVERIFY2(m_driver->widget(QString::fromLatin1(name))->font().bold(), name);
    QVERIFY(!m_driver->widget(QStringLiteral("Label4"))->font().bold());
    // A heading starts where the captions below it start.
    QCOMPARE(m_driver->widget(QStringLiteral("Label7"))->x(),
             m_driver->widget(QStringLiteral("Label8"))->x());
    m_driver->clickNode(7);
    QVERIFY(m_driver->widget(QStringLiteral("Label34"))->font().bold());
    QVERIFY(!m_driver->widget(QStringLiteral("Label31"))->font().bold());
}

void MainWindowTest::homePageShowsTheProgramsPurposeAndSource()
{
    const QString text = m_driver->widget<QTextEdit>(QStringLiteral("Memo1"))->toPlainText();
    QStringList lines = text.split(u'\n');
    lines.removeAll(QString());
    QCOMPARE(lines, (QStringList{"Данная программа создана для производственно-",
                                 "технических служб строительных организаций",
                                 "В основу расчетов программы положены ",
                                 "расчетные коэффициенты из следующих ",
                                 "источников:", "Справочник инженера-строителя",
                                 "\"Расход материалов на общестроительные",
                                 "и отделочные работы\".", "Москва, Стройиздат."}));
    QCOMPARE(m_driver->text(QStringLiteral("Label16")), QStringLiteral("Сборка 3.1"));
    // At the top right of the title picture, whole.
    QWidget *build = m_driver->widget(QStringLiteral("Label16"));
    const QRect picture = m_driver->widget(QStringLiteral("Image8"))->geometry();
    QVERIFY(picture.contains(build->geometry()));
    QVERIFY2(picture.right() - build->geometry().right() <= 20 &&
                 build->geometry().top() - picture.top() <= 20,
             qPrintable(QStringLiteral("%1,%2").arg(build->x()).arg(build->y())));
    QVERIFY(build->width() >= build->sizeHint().width());
}

void MainWindowTest::overviewPageLaysOutItsCollage()
{
    m_driver->clickNode(16);
    const struct
    {
        const char *name;
        QRect geometry;
    } pictures[] = {
        {"Image4", {8, 8, 200, 150}},    {"Image6", {120, 32, 200, 150}},
        {"Image2", {32, 104, 200, 150}}, {"Image3", {104, 192, 200, 150}},
        {"Image5", {8, 264, 200, 150}},  {"Image7", {152, 352, 150, 113}},
    };
    QWidget *previous = nullptr;
    for (const auto &picture : pictures) {
        QWidget *widget = m_driver->widget(QString::fromLatin1(picture.name));
        QCOMPARE(widget->geometry(), picture.geometry);
        // Each later picture lies over the earlier ones.
        if (previous)
            QVERIFY(widget->parentWidget()->children().indexOf(widget) >
                    widget->parentWidget()->children().indexOf(previous));
        previous = widget;
    }
    QCOMPARE(m_driver->widget(QStringLiteral("Label75"))->pos(), QPoint(24, 472));
    QCOMPARE(m_driver->text(QStringLiteral("Label75")), QStringLiteral("Раздел программы:"));
    QWidget *title = m_driver->widget(QStringLiteral("Label76"));
    QCOMPARE(title->pos(), QPoint(24, 488));
    QVERIFY(title->font().bold());
    QCOMPARE(title->font().pixelSize(), 16);
    QCOMPARE(m_driver->text(QStringLiteral("Label76")), QStringLiteral("Благоустройство"));
}

void MainWindowTest::explanationsNameRateAndUnit_data()
{
    QTest::addColumn<int>("place");
    QTest::addColumn<QString>("list");
    QTest::addColumn<int>("variant");
    QTest::addColumn<QStringList>("labels");
    QTest::addColumn<QStringList>("texts");
    // A row without a published rate offers to take one from a norm.
    const QString offer = QStringLiteral("\nЧтобы взять расход из нормы, щелкните название строки "
                                         "правой кнопкой мыши и выберите «Выбрать норму...».");
    QTest::newRow("masonry 2,0 bricks")
        << 4 << "" << -1 << QStringList{"Label22", "Label13", "Label14", "Label15"}
        << QStringList{"Объем кирпичной кладки = (длина × высота стены − длина × высота "
                       "оконных проемов − длина × высота дверных проемов) × толщина кладки",
                       "Кирпич глиняный обыкновенный = объем кладки × 394 шт./м3 "
                       "(кладка 2,0 кирпича)",
                       "Раствор = объем кладки × 0,236 м3/м3 (кладка 2,0 кирпича)",
                       "Пробки деревянные = объем кладки × 0,001 м3/м3 (кладка 2,0 кирпича)"};
    QTest::newRow("masonry 2,5 bricks")
        << 5 << "" << -1 << QStringList{"Label17", "Label18", "Label19"}
        << QStringList{"Кирпич глиняный обыкновенный = объем кладки × 392 шт./м3 "
                       "(кладка 2,5 кирпича)",
                       "Раствор = объем кладки × 0,246 м3/м3 (кладка 2,5 кирпича)",
                       "Пробки деревянные = объем кладки × 0,001 м3/м3 (кладка 2,5 кирпича)"};
    QTest::newRow("gates, lattice 1,2 m")
        << 9 << "RadioGroup6" << 1 << QStringList{"Label118", "Label119", "Label120", "Label121",
                                                  "Label122", "Label123", "Label124"}
        << QStringList{"Бревна 180 мм. = площадь × 3,5 м3 на 100 м2 ворот",
                       "Бруски 50-60 мм. = площадь × 3,56 м3 на 100 м2 ворот",
                       "Доски 19-22 мм = площадь × 0 м3 на 100 м2 ворот",
                       "Доск 25-32 мм. = площадь × 1,97 м3 на 100 м2 ворот",
                       "Болты и поковки = площадь × 72 кг на 100 м2 ворот",
                       "Смола = площадь × 26,6 кг на 100 м2 ворот",
                       "Гвозди = площадь × 4,8 кг на 100 м2 ворот"};
    QTest::newRow("foundation, first class chosen")
        << 7 << "RadioGroup1" << 0 << QStringList{"Label24", "Label26", "Label29"}
        << QStringList{"Бетон = длина × ширина × высота", "Доски 40 мм — норма не задана" + offer,
                       "Смазка — норма не задана" + offer};
    QTest::newRow("foundation, no class chosen")
        << 7 << "" << -1 << QStringList{"Label25", "Label27"}
        << QStringList{"Щиты опалубки 25 мм. = 2 × (длина + ширина) × высота",
                       "Гвозди строительные 100 мм — выберите класс фундамента"};
    QTest::newRow("painting, area in two coats")
        << 11 << "RadioGroup3" << 1 << QStringList{"Label103"}
        << QStringList{"Площадь окрашиваемой поверхности = длина × ширина"};
    QTest::newRow("gates, no kind chosen")
        << 9 << "" << -1 << QStringList{"Label118", "Label124"}
        << QStringList{"Бревна 180 мм. — выберите вид работ", "Гвозди — выберите вид работ"};
    QTest::newRow("gates, values of the blind kind on posts")
        << 9 << "RadioGroup6" << 4 << QStringList{"Label125", "Label129", "Label130"}
        << QStringList{"Бревна 180 мм. = площадь × 0 м3 на 100 м2 ворот",
                       "Болты и поковки = площадь × 35 кг на 100 м2 ворот",
                       "Смола = площадь × 0 кг на 100 м2 ворот"};
    QTest::newRow("underlay, clay with oily additions")
        << 13 << "RadioGroup4" << 4
        << QStringList{"Label79", "Label80", "Label83", "Label84", "Label85", "Label86"}
        << QStringList{"Песок = объем слоя × 0,98 м3/м3",
                       "Шлак или гравий — не входит в выбранный вид работ",
                       "Каменная мелочь. куб. метр — не входит в выбранный вид работ",
                       "Глина = объем слоя × 0,43 м3/м3",
                       "Битум БН-60/90 = объем слоя × 78,5 кг/м3",
                       "Глина Песок — не входит в выбранный вид работ"};
    QTest::newRow("underlay, acid-resistant")
        << 13 << "RadioGroup4" << 9 << QStringList{"Label98", "Label99", "Label100", "Label102"}
        << QStringList{"Бетон — не входит в выбранный вид работ",
                       "Бетон кислоупорный = объем слоя × 1,02 м3/м3",
                       "Водный раствор серной кислоты = объем слоя × 26 кг/м3",
                       "Камень булыжный — не входит в выбранный вид работ"};
    QTest::newRow("underlay, no kind chosen")
        << 13 << "" << -1 << QStringList{"Label79", "Label101"}
        << QStringList{"Песок — выберите вид подстилающего слоя",
                       "Камень булыжный — выберите вид подстилающего слоя"};
    QTest::newRow("grass seeds by hand")
        << 17 << "RadioGroup2" << 0 << QStringList{"Label50"}
        << QStringList{"Семена трав = площадь × 0,02 кг/м2 (ЭСНиЕРс-01-07-013-1 «Посев газонных "
                       "трав вручную»: 20 кг на 1000 м2)"};
    QTest::newRow("grass seeds by machine")
        << 17 << "RadioGroup2" << 1 << QStringList{"Label56"}
        << QStringList{"Семена трав = площадь × 0,02 кг/м2 (ЭСНиЕРс-01-07-014-1 «Посев газонных "
                       "трав механизированным способом»: 20 кг на 1000 м2)"};
    // Zero rates name the norm that leaves the material out; unread rates say so.
    QTest::newRow("grass by hand leaves out")
        << 17 << "RadioGroup2" << 0 << QStringList{"Label48", "Label52"}
        << QStringList{"Дерн — не используется: нет в составе работ ГЭСН 27-08-001-23 (ред. 2022) "
                       "и в материалах ЭСНиЕРс-01-07-013-1",
                       "Удобрения — норма не задана" + offer};
    QTest::newRow("grass by machine leaves out")
        << 17 << "RadioGroup2" << 1 << QStringList{"Label48"}
        << QStringList{"Дерн — не используется: нет в материалах ЭСНиЕРс-01-07-014-1"};
    QTest::newRow("grass hydroseeding leaves out")
        << 17 << "RadioGroup2" << 2 << QStringList{"Label48", "Label53"}
        << QStringList{"Дерн — не используется: нет в составе работ ГЭСН 27-08-001-22 (ред. 2022)",
                       "Эмульсия битумная — норма не задана" + offer};
    QTest::newRow("tiles, hexagon") << 15 << "RadioGroup5" << 1 << QStringList{"Label110"}
                                    << QStringList{"Плитки = длина × ширина × 24 шт./м2 "
                                                   "(шестигранник)"};
}

void MainWindowTest::explanationsNameRateAndUnit()
{
    QFETCH(int, place);
    QFETCH(QString, list);
    QFETCH(int, variant);
    QFETCH(QStringList, labels);
    QFETCH(QStringList, texts);
    m_driver->clickNode(place);
    if (!list.isEmpty())
        m_driver->pickVariant(list, variant);
    for (qsizetype i = 0; i < labels.size(); ++i)
        QCOMPARE(m_driver->widget(labels[i])->toolTip(), texts[i]);
}

void MainWindowTest::errorReportAddsFullStopAfterCharactersAboveIt_data()
{
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("shown");
    QTest::newRow("ends in a full stop") << "Invalid filename."
                                         << "Invalid filename.";
    QTest::newRow("ends in a letter") << "Invalid filename"
                                      << "Invalid filename.";
    QTest::newRow("ends in a quote above the full stop")
        << "'abc' is not a valid floating point value"
        << "'abc' is not a valid floating point value.";
    QTest::newRow("ends in a digit") << "I/O error 28"
                                     << "I/O error 28.";
    QTest::newRow("ends in a slash, just above") << "a/"
                                                 << "a/.";
    QTest::newRow("ends in a hyphen, just below") << "a-"
                                                  << "a-";
    QTest::newRow("ends in a closing quote") << "'1.5'"
                                             << "'1.5'";
    QTest::newRow("ends in an exclamation mark") << "Нет!"
                                                 << "Нет!";
    QTest::newRow("ends in a Cyrillic letter") << "Ошибка"
                                               << "Ошибка.";
    QTest::newRow("empty") << ""
                           << "";
}

void MainWindowTest::errorReportAddsFullStopAfterCharactersAboveIt()
{
    QFETCH(QString, message);
    QFETCH(QString, shown);
    errorreport::show(message);
    QCOMPARE(m_errors->messages(), QStringList{shown});
}

void MainWindowTest::saveOnRequestWritesWindows1251Lines()
{
    fixClock();
    m_driver->clickNode(9);
    m_driver->click(QStringLiteral("ToolButton4"));
    QFile file(QStringLiteral("data/06.12.2026.txt"));
    QVERIFY(file.open(QIODevice::ReadOnly));
    // Each line ends in CR LF, and one more CR LF closes the file.
    const QByteArray expected(
        "\xC2\xE5\xE4\xE5\xF2\xFC\xF1\xFF \xE8\xF1\xF2\xEE\xF0\xE8\xFF \xF0\xE0\xF1\xF7\xE5\xF2"
        "\xEE\xE2 \xEF\xF0\xEE\xE3\xF0\xE0\xEC\xEC\xFB \"\xCC\xE5\xF0\xE8\xEB\xEE\xED 3\"\r\n"
        "\xC2\xFB\xE1\xF0\xE0\xED\xEE:  \xD3\xF1\xF2\xF0\xEE\xE9\xF1\xF2\xE2\xEE \xE2\xEE\xF0"
        "\xEE\xF2\r\n"
        "\xD1\xEE\xF5\xF0\xE0\xED\xE5\xED\xE8\xE5 \xEF\xEE \xE7\xE0\xEF\xF0\xEE\xF1\xF3.\xC8\xF1"
        "\xF2\xEE\xF0\xE8\xFF \xF0\xE0\xF1\xF7\xE5\xF2\xEE\xE2 \xF1\xEE\xF5\xF0\xE0\xED\xE5\xED"
        "\xE0. \xC4\xE0\xF2\xE0 06.12.2026 \xE2\xF0\xE5\xEC\xFF \xF1\xEE\xF5\xF0\xE0\xED\xE5\xED"
        "\xE8\xFF: 10:05:07\r\n"
        "\r\n");
    QCOMPARE(file.readAll(), expected);
}

void MainWindowTest::closeWritesTheJournalEndingWithItsLine()
{
    fixClock();
    m_driver->clickNode(9);
    m_driver->click(QStringLiteral("ToolButton16"));
    QVERIFY(!m_driver->window().isVisible());
    QFile file(QStringLiteral("data/history.txt"));
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray expected(
        "\xC2\xE5\xE4\xE5\xF2\xFC\xF1\xFF \xE8\xF1\xF2\xEE\xF0\xE8\xFF \xF0\xE0\xF1\xF7\xE5\xF2"
        "\xEE\xE2 \xEF\xF0\xEE\xE3\xF0\xE0\xEC\xEC\xFB \"\xCC\xE5\xF0\xE8\xEB\xEE\xED 3\"\r\n"
        "\xC2\xFB\xE1\xF0\xE0\xED\xEE:  \xD3\xF1\xF2\xF0\xEE\xE9\xF1\xF2\xE2\xEE \xE2\xEE\xF0"
        "\xEE\xF2\r\n"
        "\xD2\xE5\xEA\xF3\xF9\xE0\xFF \xE8\xF1\xF2\xEE\xF0\xE8\xFF \xF0\xE0\xF1\xF7\xE5\xF2\xEE"
        "\xE2 \xF1\xEE\xF5\xF0\xE0\xED\xE5\xED\xE0. \xC4\xE0\xF2\xE0 06.12.2026 \xE2\xF0\xE5\xEC"
        "\xFF \xF1\xEE\xF5\xF0\xE0\xED\xE5\xED\xE8\xFF: 10:05:07\r\n"
        "\r\n");
    QCOMPARE(file.readAll(), expected);
    QCOMPARE(m_errors->messages(), QStringList());
}

void MainWindowTest::printGoesThroughTheDialogToTheChosenPrinter()
{
    fixClock();
    m_driver->clickNode(9);
    const QStringList before = m_driver->journal();
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("printed.pdf"));
    QString title;
    m_driver->modals().expect([&](QWidget *dialog) {
        auto *print = qobject_cast<QPrintDialog *>(dialog);
        QVERIFY(print);
        title = print->windowTitle();
        // The dialog's own printer list offers a PDF file where no printer is set up; the
        // file name is the printer's own, which the dialog takes on accepting.
        if (auto *printers = print->findChild<QComboBox *>(QStringLiteral("printers")))
            printers->setCurrentIndex(printers->count() - 1);
        if (auto *name = print->findChild<QLineEdit *>(QStringLiteral("filename")))
            name->setText(path);
        print->accept();
    });
    m_driver->widget<QAction>(QStringLiteral("PrintJournal"))->trigger();
    QVERIFY(m_driver->modals().expectationMet());
    QCOMPARE(m_driver->journal(), before);
    QVERIFY(!QFile::exists(QStringLiteral("data/history.txt")));

    QProcess text;
    text.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), path, QStringLiteral("-")});
    QVERIFY(text.waitForFinished(30000));
    QCOMPARE(text.exitCode(), 0);
    const QString extracted = QString::fromUtf8(text.readAllStandardOutput());
    QVERIFY2(extracted.contains(QStringLiteral("Мерилон 3 — история расчетов")),
             qPrintable(extracted));
    QVERIFY(extracted.contains(QStringLiteral("Дата: 06.12.2026")));
    QVERIFY(extracted.contains(QStringLiteral("Время: 10:05:07")));
    QVERIFY(extracted.contains(kFirstLine));
    QVERIFY(extracted.contains(QStringLiteral("Выбрано: Устройство ворот")));
}

void MainWindowTest::cancelledPrintPrintsNothing()
{
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("printed.pdf"));
    m_driver->modals().expect([&](QWidget *dialog) {
        if (auto *name = dialog->findChild<QLineEdit *>(QStringLiteral("filename")))
            name->setText(path);
        QTest::keyClick(dialog, Qt::Key_Escape);
    });
    m_driver->widget<QAction>(QStringLiteral("PrintJournal"))->trigger();
    QVERIFY(m_driver->modals().expectationMet());
    QVERIFY(!QFile::exists(path));
    QCOMPARE(m_driver->journal(), QStringList{kFirstLine});
}

QTEST_MAIN(MainWindowTest)
#include "tst_mainwindow.moc"
