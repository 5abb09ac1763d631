#include "bill/billbook.h"
#include "bill/billcontrol.h"
#include "bill/billwindow.h"
#include "bill/vorentrydialog.h"
#include "billfile.h"
#include "errorrecorder.h"
#include "vorfile.h"
#include "windowdriver.h"

#include <QAbstractItemModel>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSettings>
#include <QTableView>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QToolButton>

namespace {

// Taken whole before a test's window makes a temporary folder the current one: on Windows a path
// from the root names a place on the current drive, which is then another.
const QString kExample =
    QFileInfo(QStringLiteral(MERILON_GGE_FIXTURES "/example-vor.gge")).absoluteFilePath();

} // namespace

// The bill of quantities in the bill window: what the export lacks is listed and its first
// place selected; sections, documents and references typed in the window reach the file; a
// .gge opens as a new bill, and a broken one leaves the bill as it was.
class VorWindowTest : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void exportListsWhatIsMissingAndSelectsIt_data();
    void exportListsWhatIsMissingAndSelectsIt();
    void sectionsDocumentsAndReferencesReachTheFile();
    void pagesGiveTheirVolumesAndFormulas_data();
    void pagesGiveTheirVolumesAndFormulas();
    void sectionChangesAreUndone_data();
    void sectionChangesAreUndone();
    void fileGivenToTheProgramOpensInTheBillWindow_data();
    void fileGivenToTheProgramOpensInTheBillWindow();
    void openingAVorReplacesTheBillOnlyWhenItReads_data();
    void openingAVorReplacesTheBillOnlyWhenItReads();

private:
    BillWindow *openBill();
    void addMasonryWall();
    void typeInto(const char *name, const QString &text);
    void fillHead(const QString &skip);
    void addDocument(const QString &fileName);
    const bom::Bill &bill() { return m_driver->window().bill().book().bill(); }

    std::unique_ptr<QTemporaryDir> m_settings;
    std::unique_ptr<QTemporaryDir> m_files;
    std::unique_ptr<WindowDriver> m_driver;
    std::unique_ptr<ErrorRecorder> m_errors;
};

void VorWindowTest::init()
{
    m_settings = std::make_unique<QTemporaryDir>();
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, m_settings->path());
    m_files = std::make_unique<QTemporaryDir>();
    m_errors = std::make_unique<ErrorRecorder>();
    m_driver = std::make_unique<WindowDriver>();
}

void VorWindowTest::cleanup()
{
    m_errors->answerChoicesWith(1);
    m_driver.reset();
    m_errors.reset();
    m_files.reset();
    m_settings.reset();
}

BillWindow *VorWindowTest::openBill()
{
    m_driver->window().bill().showBill();
    BillWindow *window = m_driver->window().bill().window();
    QApplication::setActiveWindow(window);
    // The bill of quantities' fields are folded away at first.
    auto *unfold = window->findChild<QToolButton *>(QStringLiteral("BillVorToggle"));
    if (!unfold->isChecked())
        m_driver->click(unfold);
    return window;
}

void VorWindowTest::addMasonryWall()
{
    QApplication::setActiveWindow(&m_driver->window());
    m_driver->clickNode(3);
    m_driver->type(QStringLiteral("Edit1"), QStringLiteral("12,3"));
    m_driver->type(QStringLiteral("Edit2"), QStringLiteral("3"));
    m_driver->click(QStringLiteral("BitBtn9"));
    m_driver->pressKey(Qt::Key_D, Qt::ControlModifier);
    QCOMPARE(bill().entries.size(), 1);
}

void VorWindowTest::typeInto(const char *name, const QString &text)
{
    auto *field = openBill()->findChild<QLineEdit *>(QString::fromLatin1(name));
    QVERIFY2(field, name);
    field->setFocus();
    // Cyrillic cannot be typed key by key here; the field takes the text and Enter ends it.
    field->setText(text);
    QTest::keyClick(field, Qt::Key_Return);
}

// Every field of the head a bill of quantities needs, but the one named.
void VorWindowTest::fillHead(const QString &skip)
{
    const std::pair<const char *, const char *> fields[] = {
        {"BillObject", "Жилой дом"},          {"VorConstructionSite", "Квартал 5"},
        {"VorReason", "Раздел ПД №4 том №4"}, {"BillCompiledBy", "Иванов И.И."},
        {"VorCompiledPosition", "Инженер"},   {"BillCheckedBy", "Петров А.А."},
        {"VorCheckedPosition", "ГИП"},        {"BillDate", "07.12.2026"}};
    for (const auto &[name, text] : fields) {
        if (skip != QLatin1String(name))
            typeInto(name, QString::fromUtf8(text));
    }
}

void VorWindowTest::addDocument(const QString &fileName)
{
    BillWindow *window = openBill();
    m_driver->click(window->findChild<QPushButton *>(QStringLiteral("VorAddDocument")));
    auto *documents = window->findChild<QTableWidget *>(QStringLiteral("VorDocuments"));
    auto *editor = documents->viewport()->findChild<QLineEdit *>();
    QVERIFY(editor);
    editor->setText(fileName);
    QTest::keyClick(editor, Qt::Key_Return);
    QCoreApplication::processEvents();
}

void VorWindowTest::exportListsWhatIsMissingAndSelectsIt_data()
{
    QTest::addColumn<QString>("skipped");
    QTest::addColumn<bool>("document");
    QTest::addColumn<QString>("line");
    QTest::addColumn<QString>("focus"); // a widget, or "BillEntries:column"
    QTest::newRow("nothing filled") << "*" << false << "Не указана стройка"
                                    << "VorConstructionSite";
    QTest::newRow("checker's position")
        << "VorCheckedPosition" << true << "Не указана должность проверившего"
        << "VorCheckedPosition";
    QTest::newRow("compiler") << "BillCompiledBy" << true << "Не указан составивший"
                              << "BillCompiledBy";
    QTest::newRow("no document") << "" << false
                                 << "Нет ни одного документа, на который ссылаются записи"
                                 << "VorDocuments";
    QTest::newRow("entry without a reference") << "" << true << "Запись 1: нет ссылки на документ"
                                               << "BillEntries:10";
}

void VorWindowTest::exportListsWhatIsMissingAndSelectsIt()
{
    QFETCH(QString, skipped);
    QFETCH(bool, document);
    QFETCH(QString, line);
    QFETCH(QString, focus);
    addMasonryWall();
    BillWindow *window = openBill();
    if (skipped != u"*")
        fillHead(skipped);
    if (document)
        addDocument(QStringLiteral("Раздел ПД №4 том №4-КР.pdf"));
    const QString path = m_files->filePath(QStringLiteral("вор.gge"));
    window->setPathChooser([path](BillWindow::FileChoice) { return path; });
    m_errors->clear();
    m_driver->click(window->findChild<QPushButton *>(QStringLiteral("VorExport")));
    QCOMPARE(m_errors->messages().size(), 1);
    QVERIFY2(m_errors->messages().first().contains(line), qPrintable(m_errors->messages().first()));
    QVERIFY(!QFile::exists(path));
    QWidget *focused = QApplication::focusWidget();
    QVERIFY(focused);
    if (focus.startsWith(QStringLiteral("BillEntries:"))) {
        auto *entries = window->findChild<QTableView *>(QStringLiteral("BillEntries"));
        QCOMPARE(focused, entries);
        QCOMPARE(entries->currentIndex().row(), 0);
        QCOMPARE(entries->currentIndex().column(), focus.section(u':', 1).toInt());
    } else {
        QCOMPARE(focused->objectName(), focus);
    }
}

void VorWindowTest::sectionsDocumentsAndReferencesReachTheFile()
{
    addMasonryWall();
    BillWindow *window = openBill();
    fillHead(QString());
    addDocument(QStringLiteral("Раздел ПД №4 том №4-КР.pdf"));
    // A second section, named by the user, takes the wall.
    auto *sections = window->findChild<QListWidget *>(QStringLiteral("VorSections"));
    QCOMPARE(sections->item(0)->text(), QStringLiteral("Раздел 1"));
    m_driver->click(window->findChild<QPushButton *>(QStringLiteral("VorAddSection")));
    auto *nameEditor = sections->viewport()->findChild<QLineEdit *>();
    QVERIFY(nameEditor);
    nameEditor->setText(QStringLiteral("Стены"));
    QTest::keyClick(nameEditor, Qt::Key_Return);
    // The view takes an editor's text after the key, from its event queue.
    QCoreApplication::processEvents();
    QCOMPARE(bill().sections.size(), 2);
    QCOMPARE(bill().sections.at(1).name, QStringLiteral("Стены"));
    auto *entries = window->findChild<QTableView *>(QStringLiteral("BillEntries"));
    entries->setCurrentIndex(entries->model()->index(0, 0));
    entries->selectRow(0);
    sections->setCurrentRow(1);
    m_driver->click(window->findChild<QPushButton *>(QStringLiteral("VorMoveEntries")));
    QCOMPARE(entries->model()->index(0, 6).data().toString(), QStringLiteral("Стены"));

    // The reference, typed in the entry's editor.
    entries->selectRow(0);
    bool accepted = false;
    m_driver->modals().expect([this, &accepted](QWidget *shown) {
        auto *dialog = qobject_cast<VorEntryDialog *>(shown);
        QVERIFY(dialog);
        m_driver->click(dialog->findChild<QPushButton *>(QStringLiteral("VorAddLink")));
        auto *links = dialog->findChild<QTableWidget *>(QStringLiteral("VorLinks"));
        auto *pages = links->viewport()->findChild<QLineEdit *>();
        QVERIFY(pages);
        pages->setText(QStringLiteral("114 115"));
        QTest::keyClick(pages, Qt::Key_Return);
        QCoreApplication::processEvents();
        links->item(0, 2)->setText(QStringLiteral("38.2023/002-КР-ГЧ"));
        dialog->accept();
        accepted = true;
    });
    m_driver->click(window->findChild<QPushButton *>(QStringLiteral("VorEntryBasis")));
    QTRY_VERIFY(accepted);
    QCOMPARE(entries->model()->index(0, 10).data().toString(),
             QStringLiteral("док. 1, с. 114 115 (38.2023/002-КР-ГЧ)"));

    const QString path = m_files->filePath(QStringLiteral("вор.gge"));
    window->setPathChooser([path](BillWindow::FileChoice) { return path; });
    m_errors->clear();
    m_driver->click(window->findChild<QPushButton *>(QStringLiteral("VorExport")));
    QCOMPARE(m_errors->messages(), QStringList());
    const vorfile::Reading reading = vorfile::read(path, QDateTime::currentDateTime());
    QVERIFY2(reading.bill, qPrintable(reading.failure));
    const bom::Bill &read = *reading.bill;
    // The empty first section has no line in the file.
    QCOMPARE(read.sections.size(), 1);
    QCOMPARE(read.sections.at(0).name, QStringLiteral("Стены"));
    QCOMPARE(read.head.checkedPosition, QStringLiteral("ГИП"));
    QCOMPARE(read.documents.at(0).fileName, QStringLiteral("Раздел ПД №4 том №4-КР.pdf"));
    const bom::Entry &wall = read.entries.at(0);
    QCOMPARE(wall.links, (QList<bom::Link>{
                             {1, QStringLiteral("114 115"), QStringLiteral("38.2023/002-КР-ГЧ")}}));
    QCOMPARE(wall.volume.unit, QStringLiteral("м3"));
    QCOMPARE(wall.volume.formula, QStringLiteral("12.3*3*0.38"));
    QCOMPARE(wall.volume.quantity, 14.022);
    // Bricks, mortar and plugs: the volume's formula times each rate.
    QCOMPARE(wall.materials.size(), 3);
    QCOMPARE(wall.materials.at(1).formula, QStringLiteral("12.3*3*0.38*0.235"));

    // The window with its sections and references, for the documentation.
    const QString folder = QCoreApplication::applicationDirPath() + QStringLiteral("/screenshots");
    QDir().mkpath(folder);
    window->resize(1100, 760);
    entries->scrollTo(entries->model()->index(0, 10));
    QVERIFY(window->grab().toImage().save(folder + QStringLiteral("/bill-vor.png")));
}

void VorWindowTest::pagesGiveTheirVolumesAndFormulas_data()
{
    QTest::addColumn<QString>("page");
    QTest::addColumn<QString>("unit");
    QTest::addColumn<QString>("formula");
    QTest::addColumn<double>("volume");
    QTest::addColumn<QString>("material");
    QTest::addColumn<QString>("materialFormula");
    QTest::newRow("masonry") << "masonry"
                             << "м3"
                             << "12.3*3*0.38" << 14.022 << "Кирпич глиняный обыкновенный"
                             << "12.3*3*0.38*395";
    QTest::newRow("paving stone") << "tiles"
                                  << "м2"
                                  << "3*2.5" << 7.5 << "Плитка «брусчатка»"
                                  << "3*2.5*40";
    QTest::newRow("concrete underlay") << "underlay"
                                       << "м3"
                                       << "12.5" << 12.5 << "Бетон"
                                       << "12.5*1.02";
    QTest::newRow("gates") << "gates"
                           << "100 м2"
                           << "0.4" << 0.4 << "Бруски 50-60 мм"
                           << "0.4*2.5";
    QTest::newRow("painting, two coats") << "painting"
                                         << "м2"
                                         << "4*2.5" << 10.0 << "Краски тертые"
                                         << "4*2.5*2.9/100*0.2";
    QTest::newRow("column foundation") << "foundation"
                                       << "м3"
                                       << "1.2*1.2*1.5" << 2.16 << "Щиты опалубки 25 мм"
                                       << "2*(1.2+1.2)*1.5";
    QTest::newRow("grass by hand") << "grass"
                                   << "м2"
                                   << "10*20" << 200.0 << "Семена трав"
                                   << "10*20*0.02";
}

void VorWindowTest::pagesGiveTheirVolumesAndFormulas()
{
    QFETCH(QString, page);
    QFETCH(QString, unit);
    QFETCH(QString, formula);
    QFETCH(double, volume);
    QFETCH(QString, material);
    QFETCH(QString, materialFormula);
    if (page == u"masonry") {
        addMasonryWall();
    } else if (page == u"underlay") {
        m_driver->clickNode(13);
        m_driver->pickVariant(QStringLiteral("RadioGroup4"), 8);
        m_driver->type(QStringLiteral("Edit15"), QStringLiteral("12,5"));
        m_driver->click(QStringLiteral("Button1"));
        m_driver->pressKey(Qt::Key_D, Qt::ControlModifier);
    } else if (page == u"foundation") {
        m_driver->clickNode(7);
        m_driver->type(QStringLiteral("Edit8"), QStringLiteral("1,2"));
        m_driver->type(QStringLiteral("Edit9"), QStringLiteral("1,2"));
        m_driver->type(QStringLiteral("Edit10"), QStringLiteral("1,5"));
        m_driver->pickVariant(QStringLiteral("RadioGroup1"), 0);
        m_driver->click(QStringLiteral("BitBtn2"));
        m_driver->pressKey(Qt::Key_D, Qt::ControlModifier);
    } else if (page == u"grass") {
        m_driver->clickNode(17);
        m_driver->type(QStringLiteral("Edit11"), QStringLiteral("10"));
        m_driver->type(QStringLiteral("Edit12"), QStringLiteral("20"));
        m_driver->pickVariant(QStringLiteral("RadioGroup2"), 0);
        m_driver->click(QStringLiteral("BitBtn4"));
        m_driver->pressKey(Qt::Key_D, Qt::ControlModifier);
    } else if (page == u"gates") {
        m_driver->clickNode(9);
        m_driver->pickVariant(QStringLiteral("RadioGroup6"), 0);
        m_driver->type(QStringLiteral("Edit17"), QStringLiteral("0,4"));
        m_driver->click(QStringLiteral("Button5"));
        m_driver->pressKey(Qt::Key_D, Qt::ControlModifier);
    } else if (page == u"tiles") {
        m_driver->clickNode(15);
        m_driver->pickVariant(QStringLiteral("RadioGroup5"), 4);
        m_driver->type(QStringLiteral("Edit19"), QStringLiteral("3"));
        m_driver->type(QStringLiteral("Edit16"), QStringLiteral("2,5"));
        m_driver->click(QStringLiteral("Button3"));
        m_driver->pressKey(Qt::Key_D, Qt::ControlModifier);
    } else {
        m_driver->clickNode(11);
        m_driver->type(QStringLiteral("Edit13"), QStringLiteral("4"));
        m_driver->type(QStringLiteral("Edit14"), QStringLiteral("2,5"));
        m_driver->pickVariant(QStringLiteral("RadioGroup3"), 1);
        m_driver->click(QStringLiteral("BitBtn6"));
        m_driver->pressKey(Qt::Key_D, Qt::ControlModifier);
    }
    QCOMPARE(bill().entries.size(), 1);
    const bom::Entry &entry = bill().entries.at(0);
    QCOMPARE(entry.volume.unit, unit);
    QCOMPARE(entry.volume.formula, formula);
    QCOMPARE(entry.volume.quantity, volume);
    bool found = false;
    for (const bom::Material &each : entry.materials) {
        if (each.key.name == material) {
            QCOMPARE(each.formula, materialFormula);
            found = true;
        }
    }
    QVERIFY(found);
    // Every line's formula gives its figure: all that is missing is the head and the references.
    for (const vorfile::Gap &gap : vorfile::check(bill()))
        QVERIFY2(gap.place == vorfile::Gap::Place::Head ||
                     gap.place == vorfile::Gap::Place::Documents ||
                     gap.place == vorfile::Gap::Place::Links,
                 qPrintable(gap.text));
}

void VorWindowTest::sectionChangesAreUndone_data()
{
    QTest::addColumn<QString>("button");
    QTest::newRow("added") << "VorAddSection";
    QTest::newRow("moved down") << "VorSectionDown";
    QTest::newRow("removed") << "VorRemoveSection";
    QTest::newRow("document added") << "VorAddDocument";
}

void VorWindowTest::sectionChangesAreUndone()
{
    QFETCH(QString, button);
    addMasonryWall();
    BillWindow *window = openBill();
    // Two sections, the wall in the second.
    m_driver->click(window->findChild<QPushButton *>(QStringLiteral("VorAddSection")));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    auto *entries = window->findChild<QTableView *>(QStringLiteral("BillEntries"));
    entries->selectRow(0);
    window->findChild<QListWidget *>(QStringLiteral("VorSections"))->setCurrentRow(1);
    m_driver->click(window->findChild<QPushButton *>(QStringLiteral("VorMoveEntries")));
    window->findChild<QListWidget *>(QStringLiteral("VorSections"))->setCurrentRow(0);
    const bom::Bill before = bill();
    m_driver->click(window->findChild<QPushButton *>(button));
    QCoreApplication::processEvents();
    QVERIFY(!(bill() == before));
    QTest::keyClick(window, Qt::Key_Z, Qt::ControlModifier);
    QVERIFY(bill() == before);
}

void VorWindowTest::fileGivenToTheProgramOpensInTheBillWindow_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<int>("entries");
    QTest::addColumn<bool>("modified"); // a .gge is a new bill, not yet in a bill file
    QTest::newRow(".gge") << "gge" << 7 << true;
    QTest::newRow(".merilon-bom") << "merilon-bom" << 7 << false;
    // Opened by Ctrl+O over the .gge, whose changes are not saved.
    QTest::newRow(".merilon-bom in place of an unsaved .gge") << "in place" << 7 << false;
}

void VorWindowTest::fileGivenToTheProgramOpensInTheBillWindow()
{
    QFETCH(QString, kind);
    QFETCH(int, entries);
    QFETCH(bool, modified);
    QString path = kExample;
    if (kind != u"gge") {
        const vorfile::Reading reading = vorfile::read(path, QDateTime::currentDateTime());
        QVERIFY2(reading.bill, qPrintable(reading.failure));
        path = m_files->filePath(QStringLiteral("пример.merilon-bom"));
        QVERIFY(!billfile::write(*reading.bill, path));
    }
    if (kind == u"in place") {
        m_driver->window().bill().openFile(kExample);
        openBill()->setPathChooser([path](BillWindow::FileChoice) { return path; });
        m_errors->answerChoicesWith(1);
        QTest::keyClick(openBill(), Qt::Key_O, Qt::ControlModifier);
    } else {
        m_driver->window().bill().openFile(path);
    }
    QCOMPARE(m_errors->messages(), QStringList());
    QVERIFY(m_driver->window().bill().window()->isVisible());
    QCOMPARE(m_driver->window().bill().window()->isWindowModified(), modified);
    QCOMPARE(bill().entries.size(), entries);
    QCOMPARE(bill().sections.at(2).name, QStringLiteral("Устройство СВСиУ"));
}

void VorWindowTest::openingAVorReplacesTheBillOnlyWhenItReads_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("failure"); // empty: read
    QTest::newRow("the expertise's example") << kExample << QString();
    QTest::newRow("broken") << QStringLiteral("broken") << QStringLiteral("(строка 3, столбец 1)");
    QTest::newRow("a bill file is no .gge")
        << QStringLiteral("bill") << QStringLiteral("это не XML или XML с ошибкой разметки");
}

void VorWindowTest::openingAVorReplacesTheBillOnlyWhenItReads()
{
    QFETCH(QString, file);
    QFETCH(QString, failure);
    addMasonryWall();
    BillWindow *window = openBill();
    QString path = file;
    if (file == u"broken" || file == u"bill") {
        path = m_files->filePath(file + QStringLiteral(".gge"));
        QFile out(path);
        QVERIFY(out.open(QIODevice::WriteOnly));
        out.write(file == u"broken" ? QByteArray("<Construction>\n  <Meta>\n")
                                    : billfile::encode(bill()));
    }
    const bom::Bill before = bill();
    window->setPathChooser([path](BillWindow::FileChoice) { return path; });
    // The unsaved wall is dropped when asked.
    m_errors->answerChoicesWith(1);
    m_driver->click(window->findChild<QPushButton *>(QStringLiteral("VorOpen")));
    if (!failure.isEmpty()) {
        QCOMPARE(m_errors->messages().size(), 1);
        QVERIFY2(m_errors->messages().first().contains(failure),
                 qPrintable(m_errors->messages().first()));
        QVERIFY(bill() == before);
        return;
    }
    QCOMPARE(m_errors->messages(), QStringList());
    QCOMPARE(bill().entries.size(), 7);
    QCOMPARE(bill().sections.size(), 3);
    // Its totals sum the materials: the two concretes, the sand, the steels...
    auto *totals = window->findChild<QTableView *>(QStringLiteral("BillTotals"));
    QStringList materials;
    for (int row = 0; row < totals->model()->rowCount(); ++row)
        materials.append(totals->model()->index(row, 0).data().toString());
    QVERIFY2(materials.contains(QStringLiteral("Песок природный для строительных работ I класс, "
                                               "средний")),
             qPrintable(materials.join(u'\n')));
    // ...but not the sand's transport: a service, not a material to buy.
    QVERIFY2(!materials.join(u'\n').contains(QStringLiteral("Перевозка песка")),
             qPrintable(materials.join(u'\n')));
    QVERIFY(window->isWindowModified());
}

QTEST_MAIN(VorWindowTest)
#include "tst_vorwindow.moc"
