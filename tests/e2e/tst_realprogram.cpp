#include "../norms/footings.h"
#include "billfile.h"
#include "expectedjournal.h"
#include "layoutmodel.h"
#include "programrun.h"
#include "totals.h"
#include "virtualscreen.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

namespace {

// The catalogue's nodes by place.
const QStringList kNodes{"Главная страница",
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

QString chosen(int place)
{
    return QStringLiteral("Выбрано:  ") + kNodes.at(place);
}

QString moved(int place)
{
    return QStringLiteral("Перемещение: ") + kNodes.at(place);
}

QString conversionError(const QString &text)
{
    return u'\'' + text + QStringLiteral("' is not a valid floating point value.");
}

// Result lines: each caption with its shown value.
QStringList rows(const QStringList &captions, const QStringList &values)
{
    QStringList lines;
    for (qsizetype i = 0; i < captions.size(); ++i)
        lines.append(captions.at(i) + QStringLiteral(": ") + values.value(i));
    return lines;
}

const QStringList kMasonryCaptions{"Объем кирпичной кладки, м3.",
                                   "Кирпич глиняный обыкновенный, шт.", "Раствор, м3",
                                   "Пробки деревянные, м3"};
const QStringList kFoundationCaptions{"Бетон, м3",
                                      "Щиты опалубки 25 мм.",
                                      "Доски 40 мм",
                                      "Гвозди строительные 100 мм",
                                      "Проволока стальная 4 мм",
                                      "Смазка"};
const QStringList kGatesCaptions{"Бревна 180 мм., м3", "Бруски 50-60 мм., м3", "Доски 19-22 мм, м3",
                                 "Доск 25-32 мм., м3", "Болты и поковки, кг.", "Смола, кг.",
                                 "Гвозди, кг."};
const QStringList kPaintingCaptions{
    "Олифа, кг", "Краски тертые, кг", "Состав окрасочный, кг", "Сурик железный тертый, кг.",
    "Олифа,кг ", "Ветошь,кг"};
const QStringList kGrassCaptions{
    "Дерн, м2",      "Спицы  деревянные, м3", "Семена трав, кг",        "Земля растительная, м3",
    "Удобрения, кг", "Эмульсия битумная, л.", "Эмульсия латексная, л.", "Опилки, м3"};

QStringList gatesBlock(const QString &work, const QString &area, const QStringList &values)
{
    return QStringList{QStringLiteral("Произведен расчет: ") + work, "Условия расчета:",
                       QStringLiteral("Площадь конструкций: ") + area +
                           QStringLiteral(" - ед.изм.( 100 м2 ворот )"),
                       "Итоги расчета: необходимо материалов:"} +
           rows(kGatesCaptions, values);
}

QStringList underlayBlock(const QString &work, const QString &volume, const QStringList &lines)
{
    return QStringList{QStringLiteral("Произведен расчет: ") + work, "Условия расчета:",
                       QStringLiteral("Объем подстилающего слоя: ") + volume +
                           QStringLiteral(" куб. метр(ов)"),
                       "Итоги расчета: необходимо материалов:"} +
           lines;
}

QStringList grassBlock(const QString &way, const QStringList &values)
{
    return QStringList{QStringLiteral("Произведен расчет: ") + way,
                       "Условия расчета:", "Размеры площадки: 12 x 10 м",
                       "Итоги расчета: необходимо материалов:"} +
           rows(kGrassCaptions, values);
}

} // namespace

// The built program in its own process on a virtual X server, driven by pointer and keyboard
// events only; what it did is read from the journal files it leaves behind.
class RealProgramTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void navigatesByCatalogueAndToolButtons();
    void everyMouseButtonChoosesANode();
    void masonryByMouseAndAccelerators();
    void foundationVolumeAndMaterials();
    void gatesByVariant();
    void paintingInOneAndTwoCoats();
    void underlayKindsWithCyrillicInput();
    void tilesByPictureAndVariant();
    void grassByHandAndWithMachines();
    void closeWithoutDataFolderKeepsWindowUntilFolderExists();
    void closeWithoutDataFolderEndsWhenTheUserGoesAhead();
    void billOfAnObjectSavedAndReopened();
    void billSurvivesAKill();
    void normBaseFromTheTerminalComputedIntoTheBill();
    void installedLauncherKeepsJournalsInUserFolder();

private:
    QProcessEnvironment environment() const;
    bool startInWorkFolder();
    QString inWorkFolder(const QString &relative) const;
    void verifyJournalFiles(ExpectedJournal &journal, bool savedOnRequest);
    // "История", which the journal expects to succeed.
    void saveOnRequest(ExpectedJournal &journal);
    // "Выход", then the journal files compared with what the scenario expects.
    void exitAndVerifyJournalFiles(ExpectedJournal &journal, bool savedOnRequest);

    std::unique_ptr<VirtualScreen> m_screen;
    std::unique_ptr<QTemporaryDir> m_work;
    std::unique_ptr<LayoutModel> m_layout;
    std::unique_ptr<ProgramRun> m_run;
};

void RealProgramTest::initTestCase()
{
    m_screen = std::make_unique<VirtualScreen>();
    QVERIFY2(m_screen->failure().isEmpty(), qPrintable(m_screen->failure()));
}

void RealProgramTest::init()
{
    m_work = std::make_unique<QTemporaryDir>();
    QVERIFY(m_work->isValid());
    QVERIFY(QDir(m_work->path()).mkdir(QStringLiteral("data")));
    m_layout = std::make_unique<LayoutModel>();
    m_run = std::make_unique<ProgramRun>(*m_screen, *m_layout);
}

void RealProgramTest::cleanup()
{
    m_run.reset();
    m_layout.reset();
    m_work.reset();
}

QProcessEnvironment RealProgramTest::environment() const
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("LANG"), QStringLiteral("ru_RU.UTF-8"));
    environment.insert(QStringLiteral("LC_ALL"), QStringLiteral("ru_RU.UTF-8"));
    const QString runtime = m_work->filePath(QStringLiteral("runtime"));
    QDir().mkpath(runtime);
    QFile::setPermissions(runtime, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime);
    // The bill's remembered terms stay in the scenario's folder.
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"),
                       m_work->filePath(QStringLiteral("config")));
    return environment;
}

bool RealProgramTest::startInWorkFolder()
{
    const QString program = qEnvironmentVariable("MERILON_PROGRAM");
    if (program.isEmpty()) {
        QTest::qFail("MERILON_PROGRAM names no program", __FILE__, __LINE__);
        return false;
    }
    if (!m_run->start(program, m_work->path(), environment())) {
        QTest::qFail(qPrintable(m_run->failure()), __FILE__, __LINE__);
        return false;
    }
    return true;
}

QString RealProgramTest::inWorkFolder(const QString &relative) const
{
    return m_work->filePath(relative);
}

void RealProgramTest::verifyJournalFiles(ExpectedJournal &journal, bool savedOnRequest)
{
    const QString last = journal.mismatch(inWorkFolder(QStringLiteral("data/history.txt")));
    QVERIFY2(last.isEmpty(), qPrintable(last));
    if (savedOnRequest) {
        const QString day =
            journal.mismatch(inWorkFolder(journal.dayFile()), journal.dayFileLines());
        QVERIFY2(day.isEmpty(), qPrintable(day));
    }
}

void RealProgramTest::saveOnRequest(ExpectedJournal &journal)
{
    m_run->saveOnRequest();
    journal.saveRequested();
    journal.saveSucceeded();
}

void RealProgramTest::exitAndVerifyJournalFiles(ExpectedJournal &journal, bool savedOnRequest)
{
    QVERIFY2(m_run->exit(), qPrintable(m_run->failure()));
    journal.closeRequested();
    verifyJournalFiles(journal, savedOnRequest);
}

void RealProgramTest::navigatesByCatalogueAndToolButtons()
{
    QVERIFY(startInWorkFolder());
    ExpectedJournal journal(m_run->startedAt());
    m_run->keepScreenshot(QStringLiteral("main-window.png"));

    m_run->clickNode(1);
    m_run->keepScreenshot(QStringLiteral("overview.png"));
    m_run->clickNode(3);
    m_run->back();
    m_run->forward();
    m_run->forward();
    journal << chosen(1) << chosen(3) << moved(2) << moved(3) << moved(4);

    // Home shows the home page: a click where the masonry page has its compute button finds
    // no button there.
    m_run->click(QStringLiteral("ToolButton1"));
    m_run->click(QStringLiteral("BitBtn9"));

    // A click on the selected node, and a click on another section's expand button, both act
    // on the selected node again.
    m_run->clickNode(4);
    m_run->clickNode(4);
    m_run->clickExpandButton(6);
    journal << chosen(4) << chosen(4) << chosen(4);
    // The opened section moves the nodes below it; a click on one of them still finds it.
    m_run->clickNode(7);
    m_run->back();
    journal << chosen(7) << moved(6);

    saveOnRequest(journal);
    exitAndVerifyJournalFiles(journal, true);
}

void RealProgramTest::masonryByMouseAndAccelerators()
{
    QVERIFY(startInWorkFolder());
    ExpectedJournal journal(m_run->startedAt());
    m_run->clickNode(1);
    m_run->clickNode(2);
    m_run->type(QStringLiteral("Edit1"), QStringLiteral("12"));
    m_run->type(QStringLiteral("Edit2"), QStringLiteral("3"));
    m_run->click(QStringLiteral("BitBtn9"));
    m_run->keepScreenshot(QStringLiteral("masonry.png"));
    journal << chosen(1) << chosen(2) << "Итоги произведенного расчета:"
            << rows(kMasonryCaptions, {"9", "3600", "1,998", "0,009"});

    m_run->clickNode(5);
    const QStringList fields{"Edit1", "Edit2", "Edit4", "Edit5", "Edit6", "Edit7"};
    const QStringList typed{"10", "3", "2", "1,5", "1", "2"};
    for (qsizetype i = 0; i < fields.size(); ++i)
        m_run->type(fields.at(i), typed.at(i));
    m_run->pressAccelerator(u'Р');
    journal << chosen(5) << "Итоги произведенного расчета:"
            << rows(kMasonryCaptions, {"16", "6272", "3,936", "0,016"});

    m_run->type(QStringLiteral("Edit1"), QStringLiteral("12.5"));
    m_run->click(QStringLiteral("BitBtn9"));
    QVERIFY2(m_run->dismissError(conversionError(QStringLiteral("12.5"))),
             qPrintable(m_run->failure()));

    // Clearing puts every typed field back to zero, so the computation goes through again.
    m_run->pressAccelerator(u'О');
    m_run->pressAccelerator(u'Р');
    journal << "Итоги произведенного расчета:" << rows(kMasonryCaptions, {"0", "0", "0", "0"});

    saveOnRequest(journal);
    exitAndVerifyJournalFiles(journal, true);
}

void RealProgramTest::everyMouseButtonChoosesANode()
{
    QVERIFY(startInWorkFolder());
    ExpectedJournal journal(m_run->startedAt());
    m_run->clickNode(1);
    m_run->clickNode(3, 3);
    m_run->clickNode(2, 2);
    m_run->clickNode(2, 3);
    journal << chosen(1) << chosen(3) << chosen(2) << chosen(2);
    exitAndVerifyJournalFiles(journal, false);
}

void RealProgramTest::foundationVolumeAndMaterials()
{
    QVERIFY(startInWorkFolder());
    ExpectedJournal journal(m_run->startedAt());
    m_run->clickNode(6);
    m_run->clickNode(7);
    m_run->type(QStringLiteral("Edit8"), QStringLiteral("2"));
    m_run->type(QStringLiteral("Edit9"), QStringLiteral("1,5"));
    m_run->type(QStringLiteral("Edit10"), QStringLiteral("0,8"));
    m_run->click(QStringLiteral("Label36"));
    // Without a size class the figures of the dimensions alone are shown and logged.
    m_run->click(QStringLiteral("BitBtn2"));
    m_run->pickVariant(QStringLiteral("RadioGroup1"), 0);
    m_run->click(QStringLiteral("BitBtn2"));
    m_run->keepScreenshot(QStringLiteral("foundation.png"));
    const QStringList materials = rows(kFoundationCaptions, {"2,4", "5,6", "—", "—", "—", "—"});
    journal << chosen(6) << chosen(7) << materials << materials;

    // The volume link and the compute button read the same fields and fail alike.
    m_run->type(QStringLiteral("Edit10"), QStringLiteral("z"));
    m_run->click(QStringLiteral("Label36"));
    QVERIFY2(m_run->dismissError(conversionError(QStringLiteral("z"))),
             qPrintable(m_run->failure()));
    m_run->click(QStringLiteral("BitBtn2"));
    QVERIFY2(m_run->dismissError(conversionError(QStringLiteral("z"))),
             qPrintable(m_run->failure()));

    m_run->type(QStringLiteral("Edit10"), QStringLiteral("0,8"));
    m_run->pressAccelerator(u'Р');
    journal << materials;

    exitAndVerifyJournalFiles(journal, false);
}

void RealProgramTest::gatesByVariant()
{
    QVERIFY(startInWorkFolder());
    ExpectedJournal journal(m_run->startedAt());
    const QString lattice = QStringLiteral("Устройство решетчитых ворот высотой 2,0 метра");
    const QString blind = QStringLiteral("Устройство глухих ворот с устновкой столбов");
    m_run->clickNode(8);
    m_run->clickNode(9);
    m_run->pickVariant(QStringLiteral("RadioGroup6"), 3);
    m_run->type(QStringLiteral("Edit17"), QStringLiteral("2,5"));
    m_run->click(QStringLiteral("Button5"));
    m_run->keepScreenshot(QStringLiteral("gates.png"));
    journal << chosen(8) << chosen(9) << QStringLiteral("Выбрано:  ") + lattice
            << gatesBlock(lattice, "2,5", {"9,375", "9,5", "0", "1,575", "110", "66,5", "7,75"});

    m_run->pickVariant(QStringLiteral("RadioGroup6"), 0);
    m_run->type(QStringLiteral("Edit17"), QStringLiteral("1.5"));
    m_run->click(QStringLiteral("Button5"));
    QVERIFY2(m_run->dismissError(conversionError(QStringLiteral("1.5"))),
             qPrintable(m_run->failure()));
    m_run->type(QStringLiteral("Edit17"), QStringLiteral("1"));
    m_run->pressAccelerator(u'Р');
    journal << QStringLiteral("Выбрано:  ") + blind
            << gatesBlock(blind, "1", {"2", "2,5", "2,1", "0", "35", "26,6", "3,6"});

    // Clearing takes the kind of work away, and without one nothing is computed.
    m_run->pressAccelerator(u'О');
    m_run->click(QStringLiteral("Button5"));

    saveOnRequest(journal);
    exitAndVerifyJournalFiles(journal, true);
}

void RealProgramTest::paintingInOneAndTwoCoats()
{
    QVERIFY(startInWorkFolder());
    ExpectedJournal journal(m_run->startedAt());
    m_run->clickNode(10);
    m_run->clickNode(11);
    m_run->type(QStringLiteral("Edit13"), QStringLiteral("5"));
    m_run->type(QStringLiteral("Edit14"), QStringLiteral("2"));
    m_run->pickVariant(QStringLiteral("RadioGroup3"), 1);
    m_run->click(QStringLiteral("BitBtn6"));
    m_run->keepScreenshot(QStringLiteral("painting.png"));
    journal << chosen(10) << chosen(11) << "Условия расчета:"
            << "Окраска в два слоя"
            << "Необходимые материалы:"
            << rows(kPaintingCaptions, {"0,29", "0,058", "2,51", "0,58", "1,93", "0,01"});

    m_run->type(QStringLiteral("Edit13"), QStringLiteral("abc"));
    m_run->click(QStringLiteral("BitBtn6"));
    QVERIFY2(m_run->dismissError(conversionError(QStringLiteral("abc"))),
             qPrintable(m_run->failure()));

    m_run->type(QStringLiteral("Edit13"), QStringLiteral("3,3"));
    m_run->type(QStringLiteral("Edit14"), QStringLiteral("1,7"));
    m_run->pickVariant(QStringLiteral("RadioGroup3"), 0);
    m_run->pressAccelerator(u'Р');
    journal << "Условия расчета:"
            << "Окраска в один слой"
            << "Необходимые материалы:"
            << rows(kPaintingCaptions,
                    {"0,1571", "0,03142", "1,049", "0,1515", "0,8976", "0,00561"});

    saveOnRequest(journal);
    exitAndVerifyJournalFiles(journal, true);
}

void RealProgramTest::underlayKindsWithCyrillicInput()
{
    QVERIFY(startInWorkFolder());
    ExpectedJournal journal(m_run->startedAt());
    const QString oily =
        QStringLiteral("Устройство глинобитного подстилающего слоя с масляннистыми добавками");
    const QString sand = QStringLiteral("Устройство подстилающего слоя из песка");
    m_run->clickNode(12);
    m_run->clickNode(13);
    m_run->pickVariant(QStringLiteral("RadioGroup4"), 4);
    m_run->click(QStringLiteral("Button1"));
    m_run->keepScreenshot(QStringLiteral("underlay.png"));
    journal << chosen(12) << chosen(13) << QStringLiteral("Выбрано:  ") + oily
            << underlayBlock(oily, "1",
                             {"Глина, куб. метр: 0,43", "Песок, куб. метр: 0,98",
                              "Битум БН-60/90, кг.: 78,5"});

    // The error report repeats the field's text, so it shows what the Russian layout typed.
    m_run->type(QStringLiteral("Edit15"), QStringLiteral("не число"));
    m_run->click(QStringLiteral("Button1"));
    QVERIFY2(m_run->dismissError(conversionError(QStringLiteral("не число"))),
             qPrintable(m_run->failure()));

    m_run->pickVariant(QStringLiteral("RadioGroup4"), 0);
    m_run->type(QStringLiteral("Edit15"), QStringLiteral("2,50"));
    m_run->pressAccelerator(u'Р');
    journal << QStringLiteral("Выбрано:  ") + sand
            << underlayBlock(sand, "2,50", {"Песок, куб. метр: 2,775"});

    exitAndVerifyJournalFiles(journal, false);
}

void RealProgramTest::tilesByPictureAndVariant()
{
    QVERIFY(startInWorkFolder());
    ExpectedJournal journal(m_run->startedAt());
    m_run->clickNode(14);
    m_run->clickNode(15);
    m_run->click(QStringLiteral("Image13"));
    m_run->click(QStringLiteral("Image9"));
    m_run->pickVariant(QStringLiteral("RadioGroup5"), 0);
    m_run->type(QStringLiteral("Edit19"), QStringLiteral("3,3"));
    m_run->type(QStringLiteral("Edit16"), QStringLiteral("2,7"));
    m_run->click(QStringLiteral("Button3"));
    m_run->keepScreenshot(QStringLiteral("tiles.png"));
    journal << chosen(14) << chosen(15) << "Выбранный тип плитки: брусчатка"
            << "Выбранный тип плитки: соты"
            << "Выбранный тип плитки: квадрат"
            << "Итого плитки: 142,6 шт. на площади 8,91 кв. метров";

    m_run->type(QStringLiteral("Edit19"), QStringLiteral("x"));
    m_run->type(QStringLiteral("Edit16"), QStringLiteral("y"));
    m_run->click(QStringLiteral("Button3"));
    QVERIFY2(m_run->dismissError(conversionError(QStringLiteral("x"))),
             qPrintable(m_run->failure()));

    m_run->click(QStringLiteral("Image15"));
    m_run->type(QStringLiteral("Edit19"), QStringLiteral("12,5"));
    m_run->type(QStringLiteral("Edit16"), QStringLiteral("8"));
    m_run->pressAccelerator(u'Р');
    journal << "Выбранный тип плитки: шестигранник"
            << "Итого плитки: 2400 шт. на площади 100 кв. метров";

    saveOnRequest(journal);
    exitAndVerifyJournalFiles(journal, true);
}

void RealProgramTest::grassByHandAndWithMachines()
{
    QVERIFY(startInWorkFolder());
    ExpectedJournal journal(m_run->startedAt());
    m_run->clickNode(16);
    m_run->clickNode(17);
    m_run->type(QStringLiteral("Edit11"), QStringLiteral("12"));
    m_run->type(QStringLiteral("Edit12"), QStringLiteral("10"));
    m_run->pickVariant(QStringLiteral("RadioGroup2"), 0);
    m_run->click(QStringLiteral("BitBtn4"));
    m_run->keepScreenshot(QStringLiteral("grass.png"));
    journal << chosen(16) << chosen(17)
            << grassBlock("Посев трав в ручную", {"0", "0", "2,4", "12", "—", "0", "0", "0"});

    // A click empties the field, and the empty text is no number.
    m_run->click(QStringLiteral("Edit12"));
    m_run->click(QStringLiteral("BitBtn4"));
    QVERIFY2(m_run->dismissError(conversionError(QString())), qPrintable(m_run->failure()));

    m_run->type(QStringLiteral("Edit12"), QStringLiteral("10"));
    m_run->pickVariant(QStringLiteral("RadioGroup2"), 1);
    m_run->pressAccelerator(u'Р');
    journal << grassBlock("Посев трав с помощью механизмов",
                          {"0", "0", "2,4", "0", "0", "0", "0", "0"});

    exitAndVerifyJournalFiles(journal, false);
}

// Two walls, a foundation and a paved yard go into the bill with Ctrl+D; the bill is saved
// through its file dialog, opened in a new run and saved again unchanged.
void RealProgramTest::billOfAnObjectSavedAndReopened()
{
    QVERIFY(startInWorkFolder());
    ExpectedJournal journal(m_run->startedAt());
    m_run->clickNode(1);
    m_run->clickNode(3);
    m_run->type(QStringLiteral("Edit1"), QStringLiteral("12"));
    m_run->type(QStringLiteral("Edit2"), QStringLiteral("3"));
    m_run->click(QStringLiteral("BitBtn9"));
    m_run->press(QStringLiteral("ctrl+d"));
    m_run->type(QStringLiteral("Edit1"), QStringLiteral("8"));
    m_run->click(QStringLiteral("BitBtn9"));
    m_run->press(QStringLiteral("ctrl+d"));
    // 12 × 3 × 0,38 and 8 × 3 × 0,38 m3 at 395 bricks and 0,235 m3 of mortar per m3.
    journal << chosen(1) << chosen(3) << "Итоги произведенного расчета:"
            << rows(kMasonryCaptions, {"13,68", "5403,6", "3,215", "0,01368"})
            << "Итоги произведенного расчета:"
            << rows(kMasonryCaptions, {"9,12", "3602,4", "2,143", "0,00912"});

    m_run->clickNode(6);
    m_run->clickNode(7);
    m_run->type(QStringLiteral("Edit8"), QStringLiteral("2"));
    m_run->type(QStringLiteral("Edit9"), QStringLiteral("1,5"));
    m_run->type(QStringLiteral("Edit10"), QStringLiteral("0,8"));
    m_run->pickVariant(QStringLiteral("RadioGroup1"), 0);
    m_run->click(QStringLiteral("BitBtn2"));
    m_run->press(QStringLiteral("ctrl+d"));
    journal << chosen(6) << chosen(7)
            << rows(kFoundationCaptions, {"2,4", "5,6", "—", "—", "—", "—"});

    m_run->clickNode(14);
    m_run->clickNode(15);
    m_run->pickVariant(QStringLiteral("RadioGroup5"), 0);
    m_run->type(QStringLiteral("Edit19"), QStringLiteral("3,3"));
    m_run->type(QStringLiteral("Edit16"), QStringLiteral("2,7"));
    m_run->click(QStringLiteral("Button3"));
    m_run->press(QStringLiteral("ctrl+d"));
    journal << chosen(14) << chosen(15) << "Выбранный тип плитки: квадрат"
            << "Итого плитки: 142,6 шт. на площади 8,91 кв. метров";

    const QString saved = inWorkFolder(QStringLiteral("object.merilon-bom"));
    QVERIFY2(m_run->saveBill(saved), qPrintable(m_run->failure()));
    QVERIFY2(m_run->closeBill(), qPrintable(m_run->failure()));
    exitAndVerifyJournalFiles(journal, false);

    const billfile::Reading reading = billfile::read(saved);
    QVERIFY2(reading.bill, qPrintable(reading.failure));
    const bom::Bill &bill = *reading.bill;
    QCOMPARE(bill.entries.size(), 4);
    QCOMPARE(bill.entries[0].work, QStringLiteral("Кирпичная кладка 1,5 кирпича (380 мм.)"));
    QCOMPARE(bill.entries[2].work,
             QStringLiteral("Фундаменты под здания и сооружения: Объмом до 3 м3, опалубка"));
    QCOMPARE(bill.entries[3].work, QStringLiteral("Расчет тротуарной плитки: квадрат"));
    QCOMPARE(bill.entries[3].inputs, QStringLiteral("Длина 3,3 м; Ширина 2,7 м"));
    const bom::Totals totals = bom::computeTotals(bill);
    const auto total = [&totals](const char *name) {
        for (const bom::Total &row : totals.rows) {
            if (row.key.name == QString::fromUtf8(name))
                return bom::quantityText(row.quantity);
        }
        return QStringLiteral("none");
    };
    QCOMPARE(total("Кирпич глиняный обыкновенный"), QStringLiteral("9006"));
    QCOMPARE(total("Раствор"), QStringLiteral("5,358"));
    QCOMPARE(total("Бетон"), QStringLiteral("2,4"));
    // The count itself, not the four digits the page shows.
    QCOMPARE(total("Плитка «квадрат»"), QStringLiteral("142,56"));

    // A new run opens the bill and saves it again: the same bytes.
    m_layout = std::make_unique<LayoutModel>();
    m_run = std::make_unique<ProgramRun>(*m_screen, *m_layout);
    QVERIFY(startInWorkFolder());
    ExpectedJournal second(m_run->startedAt());
    QVERIFY2(m_run->openBill(saved), qPrintable(m_run->failure()));
    const QString again = inWorkFolder(QStringLiteral("again.merilon-bom"));
    QVERIFY2(m_run->saveBill(again), qPrintable(m_run->failure()));
    QVERIFY2(m_run->closeBill(), qPrintable(m_run->failure()));
    exitAndVerifyJournalFiles(second, false);
    QFile first(saved), copy(again);
    QVERIFY(first.open(QIODevice::ReadOnly));
    QVERIFY(copy.open(QIODevice::ReadOnly));
    QCOMPARE(copy.readAll(), first.readAll());
}

// The program is killed while its bill holds an entry not saved in its file; the next start
// offers the bill back, and Enter restores it, still marked as not saved and still belonging to
// its file, which the restoring leaves as it was.
// The norm base as a firm deploys it: imported by the program from a terminal, then searched,
// computed and added to the bill in the window with the keyboard alone.
void RealProgramTest::normBaseFromTheTerminalComputedIntoTheBill()
{
    QFile base(inWorkFolder(QStringLiteral("ГЭСН.xml")));
    QVERIFY(base.open(QIODevice::WriteOnly));
    base.write(kFootingsBase);

    base.close();
    QProcess import;
    import.setWorkingDirectory(m_work->path());
    import.setProcessEnvironment(environment());
    import.start(qEnvironmentVariable("MERILON_PROGRAM"),
                 {QStringLiteral("--import-norms"), QStringLiteral("ГЭСН.xml")});
    QVERIFY(import.waitForFinished(60'000));
    QCOMPARE(import.exitCode(), 0);
    QVERIFY(QString::fromUtf8(import.readAllStandardOutput())
                .contains(QStringLiteral("норм 6, строк ресурсов 5")));

    QVERIFY(startInWorkFolder());
    ExpectedJournal journal(m_run->startedAt());
    QVERIFY2(m_run->computeNormAndAdd(QStringLiteral("бетон фунд 5"), QStringLiteral("25")),
             qPrintable(m_run->failure()));
    journal << "Расчет по норме: ГЭСН 06-01-001-02 Устройство бетонных фундаментов общего "
               "назначения объемом: до 5 м3"
            << "Объем работ, м3: 25"
            << "Необходимые материалы:"
            << "Гвозди строительные, т: 0,00125"
            << "Смеси бетонные, м3: по проекту"
            << "Затраты труда, чел.-ч: 45"
            << "Затраты труда машинистов, чел.-ч: 0,125"
            << "Машины, маш.-ч: 0,3";
    const QString saved = inWorkFolder(QStringLiteral("norms.merilon-bom"));
    QVERIFY2(m_run->saveBill(saved), qPrintable(m_run->failure()));
    QVERIFY2(m_run->closeBill(), qPrintable(m_run->failure()));
    exitAndVerifyJournalFiles(journal, false);

    const billfile::Reading reading = billfile::read(saved);
    QVERIFY2(reading.bill, qPrintable(reading.failure));
    QCOMPARE(reading.bill->entries.size(), 1);
    QCOMPARE(reading.bill->entries[0].inputs, QStringLiteral("Объем работ, м3: 25"));
    const bom::Totals totals = bom::computeTotals(*reading.bill);
    QCOMPARE(totals.rows.size(), 1);
    QCOMPARE(totals.rows[0].key.code, QStringLiteral("01.7.15.06-0111"));
    QCOMPARE(bom::quantityText(totals.rows[0].quantity), QStringLiteral("0,00125"));
    QCOMPARE(bom::quantityText(totals.labourHours), QStringLiteral("45,125"));
}

void RealProgramTest::billSurvivesAKill()
{
    QVERIFY(startInWorkFolder());
    m_run->clickNode(1);
    m_run->clickNode(3);
    m_run->type(QStringLiteral("Edit1"), QStringLiteral("12"));
    m_run->type(QStringLiteral("Edit2"), QStringLiteral("3"));
    m_run->click(QStringLiteral("BitBtn9"));
    m_run->press(QStringLiteral("ctrl+d"));
    const QString own = inWorkFolder(QStringLiteral("object.merilon-bom"));
    QVERIFY2(m_run->saveBill(own), qPrintable(m_run->failure()));
    QVERIFY2(m_run->closeBill(), qPrintable(m_run->failure()));
    m_run->type(QStringLiteral("Edit1"), QStringLiteral("8"));
    m_run->click(QStringLiteral("BitBtn9"));
    m_run->press(QStringLiteral("ctrl+d"));
    // The recovery file is written shortly after the change.
    QTest::qWait(2500);
    QVERIFY(m_run->kill());

    m_layout = std::make_unique<LayoutModel>();
    m_run = std::make_unique<ProgramRun>(*m_screen, *m_layout);
    QVERIFY(startInWorkFolder());
    QVERIFY2(m_run->restoreBill(), qPrintable(m_run->failure()));
    QCOMPARE(m_run->billTitle(),
             QStringLiteral("object.merilon-bom* — Ведомость материалов — Мерилон 3"));
    const QString saved = inWorkFolder(QStringLiteral("restored.merilon-bom"));
    QVERIFY2(m_run->saveBill(saved), qPrintable(m_run->failure()));
    QCOMPARE(m_run->billTitle(),
             QStringLiteral("restored.merilon-bom — Ведомость материалов — Мерилон 3"));
    QVERIFY2(m_run->closeBill(), qPrintable(m_run->failure()));
    QVERIFY2(m_run->exit(), qPrintable(m_run->failure()));
    for (const auto &[path, entries] : {std::pair{own, 1}, std::pair{saved, 2}}) {
        const billfile::Reading reading = billfile::read(path);
        QVERIFY2(reading.bill, qPrintable(reading.failure));
        QCOMPARE(reading.bill->entries.size(), entries);
    }
}

void RealProgramTest::closeWithoutDataFolderKeepsWindowUntilFolderExists()
{
    QVERIFY(QDir(inWorkFolder(QStringLiteral("data"))).removeRecursively());
    QVERIFY(startInWorkFolder());
    ExpectedJournal journal(m_run->startedAt());
    m_run->clickNode(0);
    journal << chosen(0);

    QVERIFY2(m_run->exitRefused(QStringLiteral("Invalid filename.")), qPrintable(m_run->failure()));
    journal.closeRequested();
    m_run->saveOnRequest();
    QVERIFY2(m_run->dismissError(QStringLiteral("Invalid filename.")),
             qPrintable(m_run->failure()));
    journal.saveRequested();

    QVERIFY(QDir(m_work->path()).mkdir(QStringLiteral("data")));
    exitAndVerifyJournalFiles(journal, false);
}

void RealProgramTest::closeWithoutDataFolderEndsWhenTheUserGoesAhead()
{
    QVERIFY(QDir(inWorkFolder(QStringLiteral("data"))).removeRecursively());
    QVERIFY(startInWorkFolder());
    m_run->clickNode(0);
    QVERIFY2(m_run->exitWithoutSaving(QStringLiteral("Invalid filename.")),
             qPrintable(m_run->failure()));
    QVERIFY(!QFileInfo::exists(inWorkFolder(QStringLiteral("data"))));
}

// Run by the package test: the launcher of an unpacked package prepares the user's working
// folder and starts the program there.
void RealProgramTest::installedLauncherKeepsJournalsInUserFolder()
{
    const QString launcher = qEnvironmentVariable("MERILON_LAUNCHER");
    if (launcher.isEmpty())
        QSKIP("MERILON_LAUNCHER names no installed launcher");
    QProcessEnvironment environment = this->environment();
    environment.insert(QStringLiteral("XDG_DATA_HOME"), m_work->filePath(QStringLiteral("share")));
    QVERIFY2(m_run->start(launcher, QString(), environment), qPrintable(m_run->failure()));
    ExpectedJournal journal(m_run->startedAt());
    m_run->clickNode(18);
    journal << chosen(18);
    QVERIFY2(m_run->exit(), qPrintable(m_run->failure()));
    journal.closeRequested();
    const QString problem =
        journal.mismatch(inWorkFolder(QStringLiteral("share/merilon/data/history.txt")));
    QVERIFY2(problem.isEmpty(), qPrintable(problem));
}

QTEST_MAIN(RealProgramTest)
#include "tst_realprogram.moc"
