#include "bill/billbook.h"
#include "bill/billcontrol.h"
#include "bill/billwindow.h"
#include "bill/billxlsx.h"
#include "billfile.h"
#include "errorrecorder.h"
#include "windowdriver.h"

#include <QAbstractItemModel>
#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QScrollBar>
#include <QSettings>
#include <QSplitter>
#include <QStatusBar>
#include <QTableView>
#include <QTemporaryDir>

// The bill of materials driven through the main window: pages computed, their results added,
// the bill's window opened, edited, saved, opened again and exported.
class BillTest : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void menuOffersTheBillWithShortcuts();
    void addingWithoutCurrentResultsSaysWhy_data();
    void addingWithoutCurrentResultsSaysWhy();
    void totalsSumTheKeptFiguresOfThreePages();
    void windowFollowsAdditionsAndDeleteRemoves();
    void deleteTakesTheSelectedEntriesOnly();
    void fileDialogsOfferTheirNames_data();
    void fileDialogsOfferTheirNames();
    void windowShowsItsTotalBoldAndClosesWithCtrlW();
    void badCellEditsAreRefusedWithAReason_data();
    void badCellEditsAreRefusedWithAReason();
    void termsAreRememberedForTheNextRun();
    void savedBillOpensInANewRun();
    void badFileLeavesTheBillUntouched();
    void exportsHoldTheTotals();
    void normEntryShowsItsCodesAndHours();
    void renderBillWindow();

private:
    void computeMasonryWall(const QString &length, const QString &height);
    void computeFoundation();
    void computeConcreteUnderlay();
    // What the notice over the main window says, when it shows.
    QString notice()
    {
        const auto *shown = m_driver->window().findChild<QLabel *>(QStringLiteral("BillNotice"));
        return shown && shown->isVisible() ? shown->text() : QString();
    }
    BillWindow *openBill();
    // A norm's computation as the norm window hands it over: labour, a lorry and concrete.
    static bom::Entry normEntry();
    QAbstractItemModel *totals(BillWindow *window);
    int totalsRow(BillWindow *window, const QString &material);
    // The grand total as the window shows it.
    static QString shownGrandTotal(BillWindow *window)
    {
        return window->findChild<QLabel *>(QStringLiteral("BillGrandTotal"))->text();
    }
    // Types into a cell of the totals through its editor, as a user does.
    void editCell(BillWindow *window, int row, int column, const QString &text);

    std::unique_ptr<QTemporaryDir> m_settings;
    std::unique_ptr<WindowDriver> m_driver;
    std::unique_ptr<ErrorRecorder> m_errors;
};

void BillTest::init()
{
    // Remembered terms go to a folder of the test's own, never into the user's settings.
    m_settings = std::make_unique<QTemporaryDir>();
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, m_settings->path());
    m_errors = std::make_unique<ErrorRecorder>();
    m_driver = std::make_unique<WindowDriver>();
    m_driver->window().bill().setClock(
        [] { return QDateTime(QDate(2026, 12, 7), QTime(10, 30), Qt::UTC); });
}

void BillTest::cleanup()
{
    m_driver.reset();
    m_errors.reset();
    m_settings.reset();
}

void BillTest::computeMasonryWall(const QString &length, const QString &height)
{
    m_driver->clickNode(3);
    m_driver->type(QStringLiteral("Edit1"), length);
    m_driver->type(QStringLiteral("Edit2"), height);
    m_driver->click(QStringLiteral("BitBtn9"));
}

void BillTest::computeFoundation()
{
    m_driver->clickNode(7);
    m_driver->type(QStringLiteral("Edit8"), QStringLiteral("2"));
    m_driver->type(QStringLiteral("Edit9"), QStringLiteral("1,5"));
    m_driver->type(QStringLiteral("Edit10"), QStringLiteral("0,6"));
    m_driver->pickVariant(QStringLiteral("RadioGroup1"), 0);
    m_driver->click(QStringLiteral("BitBtn2"));
}

void BillTest::computeConcreteUnderlay()
{
    m_driver->clickNode(13);
    m_driver->pickVariant(QStringLiteral("RadioGroup4"), 8);
    m_driver->click(QStringLiteral("Button1"));
}

BillWindow *BillTest::openBill()
{
    m_driver->pressKey(Qt::Key_B, Qt::ControlModifier);
    BillWindow *window = m_driver->window().bill().window();
    if (!window || !QTest::qWaitFor([window] { return window->isVisible(); }))
        qFatal("the bill's window did not open");
    return window;
}

QAbstractItemModel *BillTest::totals(BillWindow *window)
{
    return window->findChild<QTableView *>(QStringLiteral("BillTotals"))->model();
}

int BillTest::totalsRow(BillWindow *window, const QString &material)
{
    QAbstractItemModel *model = totals(window);
    for (int row = 0; row < model->rowCount(); ++row) {
        if (model->index(row, 0).data().toString() == material)
            return row;
    }
    return -1;
}

void BillTest::editCell(BillWindow *window, int row, int column, const QString &text)
{
    auto *view = window->findChild<QTableView *>(QStringLiteral("BillTotals"));
    const QModelIndex index = view->model()->index(row, column);
    view->setCurrentIndex(index);
    view->edit(index);
    auto *editor = view->viewport()->findChild<QLineEdit *>();
    QVERIFY(editor);
    editor->selectAll();
    for (const QChar letter : text) {
        const auto key = Qt::Key(letter.toUpper().unicode());
        QTest::sendKeyEvent(QTest::Press, editor, key, QString(letter), Qt::NoModifier);
        QTest::sendKeyEvent(QTest::Release, editor, key, QString(letter), Qt::NoModifier);
    }
    QTest::keyClick(editor, Qt::Key_Return);
    // The delegate commits on its next turn; then the closed editor goes, so that the next edit
    // finds its own.
    QCoreApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

void BillTest::menuOffersTheBillWithShortcuts()
{
    auto *menu = m_driver->widget<QMenu>(QStringLiteral("N1"));
    QCOMPARE(menu->title(), QStringLiteral("&Действия"));
    const QList<QAction *> actions = menu->actions();
    QCOMPARE(actions.at(0)->text(), QStringLiteral("&Добавить в ведомость"));
    QCOMPARE(actions.at(0)->shortcut(), QKeySequence(QStringLiteral("Ctrl+D")));
    QCOMPARE(actions.at(1)->text(), QStringLiteral("&Ведомость материалов..."));
    QCOMPARE(actions.at(1)->shortcut(), QKeySequence(QStringLiteral("Ctrl+B")));
    // Every result area offers the addition in its context menu.
    for (const char *area : {"GroupBox2", "GroupBox3", "GroupBox6", "GroupBox8", "GroupBox9",
                             "GroupBox10", "GroupBox12", "GroupBox14"}) {
        QWidget *widget = m_driver->widget(QString::fromLatin1(area));
        QCOMPARE(widget->contextMenuPolicy(), Qt::ActionsContextMenu);
        auto *add = widget->findChild<QAction *>(QStringLiteral("AddResultsToBill"));
        QVERIFY2(add, area);
        QCOMPARE(add->text(), QStringLiteral("Добавить в ведомость"));
    }
    // The shortcuts work from a field too.
    m_driver->clickNode(3);
    m_driver->type(QStringLiteral("Edit1"), QStringLiteral("5"));
    QVERIFY(m_driver->widget(QStringLiteral("Edit1"))->hasFocus());
    m_driver->pressKey(Qt::Key_D, Qt::ControlModifier);
    QCOMPARE(notice(), QStringLiteral("Не добавлено в ведомость: на этой странице еще не "
                                      "было расчета."));
    // The bill's window stands beside the main window and does not block it.
    BillWindow *window = openBill();
    QVERIFY(window);
    QVERIFY(!window->isModal());
    QVERIFY(window->isWindow());
    QCOMPARE(window->windowTitle(),
             QStringLiteral("Новая ведомость[*] — Ведомость материалов — Мерилон 3"));
}

void BillTest::addingWithoutCurrentResultsSaysWhy_data()
{
    QTest::addColumn<QString>("steps");
    QTest::addColumn<QString>("message");
    QTest::newRow("home page") << ""
                               << "Не добавлено в ведомость: откройте страницу расчета и выполните "
                                  "расчет.";
    QTest::newRow("not computed") << "masonry page"
                                  << "Не добавлено в ведомость: на этой странице еще не было "
                                     "расчета.";
    QTest::newRow("cleared") << "masonry page,compute,clear"
                             << "Не добавлено в ведомость: результаты скрыты или очищены — "
                                "выполните расчет.";
    QTest::newRow("input changed")
        << "masonry page,compute,change length"
        << "Не добавлено в ведомость: данные изменены после расчета — нажмите «Расчет», чтобы "
           "получить результаты для них.";
    QTest::newRow("other thickness chosen")
        << "masonry page,compute,thicker wall"
        << "Не добавлено в ведомость: данные изменены после расчета — нажмите «Расчет», чтобы "
           "получить результаты для них.";
    QTest::newRow("failed computation") << "masonry page,compute,empty length,compute"
                                        << "Не добавлено в ведомость: последний расчет не дал "
                                           "результатов — исправьте данные и выполните расчет.";
    QTest::newRow("underlay kind changed")
        << "underlay,pick other kind"
        << "Не добавлено в ведомость: результаты скрыты или очищены — выполните расчет.";
}

void BillTest::addingWithoutCurrentResultsSaysWhy()
{
    QFETCH(QString, steps);
    QFETCH(QString, message);
    for (const QString &step : steps.split(u',', Qt::SkipEmptyParts)) {
        if (step == u"masonry page") {
            m_driver->clickNode(3);
        } else if (step == u"compute") {
            m_driver->click(QStringLiteral("BitBtn9"));
        } else if (step == u"clear") {
            m_driver->click(QStringLiteral("BitBtn8"));
        } else if (step == u"change length") {
            m_driver->type(QStringLiteral("Edit1"), QStringLiteral("7"));
        } else if (step == u"empty length") {
            m_driver->click(QStringLiteral("Edit1"));
        } else if (step == u"thicker wall") {
            m_driver->clickNode(4);
        } else if (step == u"underlay") {
            computeConcreteUnderlay();
        } else if (step == u"pick other kind") {
            m_driver->pickVariant(QStringLiteral("RadioGroup4"), 0);
        }
    }
    QWidget *work = m_driver->widget(QStringLiteral("StatusPanel0"));
    QWidget *clock = m_driver->widget(QStringLiteral("StatusPanel1"));
    const QRect workPlace = work->geometry(), clockPlace = clock->geometry();
    m_errors->clear();
    m_driver->pressKey(Qt::Key_D, Qt::ControlModifier);
    QCOMPARE(notice(), message);
    QCOMPARE(m_driver->window().bill().book().bill().entries.size(), 0);
    // The notice covers neither status panel, nor the status bar they stand in.
    const auto *shown = m_driver->window().findChild<QLabel *>(QStringLiteral("BillNotice"));
    QVERIFY(work->isVisible());
    QVERIFY(clock->isVisible());
    QVERIFY(!shown->geometry().intersects(m_driver->window().statusBar()->geometry()));
    QVERIFY(m_driver->window().statusText(1).startsWith(QStringLiteral("Текущее время: ")));
    QCOMPARE(work->geometry(), workPlace);
    QCOMPARE(clock->geometry(), clockPlace);
}

void BillTest::totalsSumTheKeptFiguresOfThreePages()
{
    computeMasonryWall(QStringLiteral("12,3"), QStringLiteral("2,7"));
    QCOMPARE(m_driver->text(QStringLiteral("Label18")), QStringLiteral("2,966"));
    m_driver->pressKey(Qt::Key_D, Qt::ControlModifier);
    QCOMPARE(notice(),
             QStringLiteral("Добавлено в ведомость: Кирпичная кладка 1,5 кирпича (380 мм.). "
                            "Записей в ведомости: 1."));
    computeMasonryWall(QStringLiteral("8"), QStringLiteral("2,7"));
    QCOMPARE(m_driver->text(QStringLiteral("Label18")), QStringLiteral("1,929"));
    m_driver->widget(QStringLiteral("GroupBox2"))
        ->findChild<QAction *>(QStringLiteral("AddResultsToBill"))
        ->trigger();
    computeFoundation();
    m_driver->widget(QStringLiteral("GroupBox3"))
        ->findChild<QAction *>(QStringLiteral("AddResultsToBill"))
        ->trigger();
    computeConcreteUnderlay();
    m_driver->widget<QAction>(QStringLiteral("AddToBill"))->trigger();

    const bom::Bill &bill = m_driver->window().bill().book().bill();
    QCOMPARE(bill.entries.size(), 4);
    QCOMPARE(bill.entries[0].work, QStringLiteral("Кирпичная кладка 1,5 кирпича (380 мм.)"));
    QCOMPARE(bill.entries[0].inputs,
             QStringLiteral("Длина стены по периметру 12,3 м; Высота стены по периметру 2,7 м; "
                            "Толщина кладки 0,38 м; Общая длина оконных проемов 0 м; Общая "
                            "высота оконных проемов 0 м; Общая длина дверных проемов 0 м; Общая "
                            "высота дверных проемов 0 м"));
    QCOMPARE(bill.entries[2].work,
             QStringLiteral("Фундаменты под здания и сооружения: Объмом до 3 м3, опалубка"));
    QCOMPARE(bill.entries[3].work,
             QStringLiteral("Устройство подстилающих слоев: Устройство бетонного подстилающего "
                            "слоя"));
    QCOMPARE(bill.entries[3].inputs, QStringLiteral("Объем подстилающего слоя 1 м3"));

    BillWindow *window = openBill();
    QAbstractItemModel *model = totals(window);
    // 12,3 × 2,7 × 0,38 × 0,235 and 8 × 2,7 × 0,38 × 0,235 show as 2,966 and 1,929; their
    // figures sum to 4,894533, not to the 4,895 of the texts.
    const int mortar = totalsRow(window, QStringLiteral("Раствор"));
    QVERIFY(mortar >= 0);
    QCOMPARE(model->index(mortar, 1).data().toString(), QStringLiteral("м3"));
    QCOMPARE(model->index(mortar, 2).data().toString(), QStringLiteral("4,89453"));
    const int bricks = totalsRow(window, QStringLiteral("Кирпич глиняный обыкновенный"));
    QCOMPARE(model->index(bricks, 1).data().toString(), QStringLiteral("шт."));
    QCOMPARE(model->index(bricks, 2).data().toString(), QStringLiteral("8226,98"));
    // "Бетон, м3" of the foundation and "Бетон, куб. метр" of the underlay are one material.
    const int concrete = totalsRow(window, QStringLiteral("Бетон"));
    QVERIFY(concrete >= 0);
    QCOMPARE(model->index(concrete, 1).data().toString(), QStringLiteral("м3"));
    QCOMPARE(m_driver->window().bill().book().totals().rows[concrete].counted, 2);
    QCOMPARE(window->grandTotalText().left(18), QStringLiteral("Итого: 0,00 руб. ("));

    // A price turns into money: bricks by the piece at 18,50, bought whole; money has its
    // thousands apart.
    editCell(window, bricks, 8, QStringLiteral("18,5"));
    QCOMPARE(model->index(bricks, 8).data().toString(), QStringLiteral("18,50"));
    QCOMPARE(model->index(bricks, 5).data().toString(), QStringLiteral("8227"));
    QCOMPARE(model->index(bricks, 10).data().toString(), QStringLiteral("152\u00A0199,50"));
    QVERIFY(window->grandTotalText().startsWith(QStringLiteral("Итого: 152\u00A0199,50 руб.")));
    QCOMPARE(shownGrandTotal(window), window->grandTotalText());
    // Packs of 250 with 5 % reserve: 8638,33 bricks make 35 packs; the price stays per piece.
    editCell(window, bricks, 3, QStringLiteral("5"));
    editCell(window, bricks, 6, QStringLiteral("250"));
    QCOMPARE(model->index(bricks, 4).data().toString(), QStringLiteral("8638,33"));
    QCOMPARE(model->index(bricks, 5).data().toString(), QStringLiteral("8639"));
    QCOMPARE(model->index(bricks, 7).data().toString(), QStringLiteral("35"));
    QCOMPARE(model->index(bricks, 10).data().toString(), QStringLiteral("159\u00A0821,50"));
    // A price per pack takes the place of the price per piece, and the sum says so.
    editCell(window, bricks, 9, QStringLiteral("4500"));
    QCOMPARE(model->index(bricks, 8).data().toString(), QString());
    QCOMPARE(model->index(bricks, 10).data().toString(), QStringLiteral("157\u00A0500,00"));
}

void BillTest::windowFollowsAdditionsAndDeleteRemoves()
{
    BillWindow *window = openBill();
    auto *entries = window->findChild<QTableView *>(QStringLiteral("BillEntries"));
    QCOMPARE(entries->model()->rowCount(), 0);
    computeMasonryWall(QStringLiteral("10"), QStringLiteral("3"));
    m_driver->pressKey(Qt::Key_D, Qt::ControlModifier);
    computeFoundation();
    m_driver->pressKey(Qt::Key_D, Qt::ControlModifier);
    QCOMPARE(entries->model()->rowCount(), 2);
    QCOMPARE(entries->model()->index(1, 0).data().toString(), QStringLiteral("07.12.2026 13:30"));
    QVERIFY(totalsRow(window, QStringLiteral("Бетон")) >= 0);

    QApplication::setActiveWindow(window);
    entries->setFocus();
    entries->selectRow(1);
    QTest::keyClick(entries, Qt::Key_Delete);
    QCOMPARE(entries->model()->rowCount(), 1);
    QCOMPARE(entries->verticalHeader()->count(), 1);
    QCOMPARE(totalsRow(window, QStringLiteral("Бетон")), -1);
    QCOMPARE(shownGrandTotal(window), window->grandTotalText());
    entries->selectRow(0);
    m_driver->click(window->findChild<QWidget *>(QStringLiteral("BillRemoveEntry")));
    QCOMPARE(entries->model()->rowCount(), 0);
    QCOMPARE(entries->verticalHeader()->count(), 0);
    QCOMPARE(totals(window)->rowCount(), 0);
    QCOMPARE(shownGrandTotal(window), QStringLiteral("Итого: 0,00 руб."));
}

// The selected entries go; an entry that has the keyboard's focus frame goes only when nothing
// is selected.
void BillTest::deleteTakesTheSelectedEntriesOnly()
{
    BillWindow *window = openBill();
    auto *entries = window->findChild<QTableView *>(QStringLiteral("BillEntries"));
    computeMasonryWall(QStringLiteral("10"), QStringLiteral("3"));
    m_driver->pressKey(Qt::Key_D, Qt::ControlModifier);
    computeFoundation();
    m_driver->pressKey(Qt::Key_D, Qt::ControlModifier);
    QCOMPARE(entries->model()->rowCount(), 2);
    entries->selectRow(1);
    entries->selectionModel()->setCurrentIndex(entries->model()->index(0, 0),
                                               QItemSelectionModel::NoUpdate);
    m_driver->click(window->findChild<QWidget *>(QStringLiteral("BillRemoveEntry")));
    QCOMPARE(entries->model()->rowCount(), 1);
    QCOMPARE(m_driver->window().bill().book().bill().entries.first().work,
             QStringLiteral("Кирпичная кладка 1,5 кирпича (380 мм.)"));
    // Rows that are not there, or named twice, take nothing else with them.
    m_driver->window().bill().book().remove({-1, 1, 1, 7});
    QCOMPARE(entries->model()->rowCount(), 1);
    // With nothing selected, the entry that has the focus frame goes.
    entries->clearSelection();
    entries->selectionModel()->setCurrentIndex(entries->model()->index(0, 0),
                                               QItemSelectionModel::NoUpdate);
    QVERIFY(entries->selectionModel()->selectedRows().isEmpty());
    m_driver->click(window->findChild<QWidget *>(QStringLiteral("BillRemoveEntry")));
    QCOMPARE(entries->model()->rowCount(), 0);
}

void BillTest::fileDialogsOfferTheirNames_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("file");
    QTest::newRow("open") << "BillOpen"
                          << "Открыть ведомость"
                          << "";
    QTest::newRow("save") << "BillSave"
                          << "Сохранить ведомость как"
                          << "ведомость.merilon-bom";
    if (billxlsx::available())
        QTest::newRow("workbook") << "BillExportXlsx"
                                  << "Экспорт в XLSX"
                                  << "ведомость.xlsx";
    QTest::newRow("csv") << "BillExportCsv"
                         << "Экспорт в CSV"
                         << "ведомость.csv";
    QTest::newRow("pdf") << "BillPdf"
                         << "Сохранить ведомость в PDF"
                         << "ведомость.pdf";
}

// The window's own file dialogs, titled for what they do and offering a file name to save to;
// cancelling one writes nothing.
void BillTest::fileDialogsOfferTheirNames()
{
    QFETCH(QString, button);
    QFETCH(QString, title);
    QFETCH(QString, file);
    computeMasonryWall(QStringLiteral("10"), QStringLiteral("3"));
    m_driver->pressKey(Qt::Key_D, Qt::ControlModifier);
    BillWindow *window = openBill();
    // The bill holds an unsaved entry: opening another asks first, and is told to drop it.
    m_errors->answerChoicesWith(1);
    QString shownTitle;
    QStringList offered;
    m_driver->modals().expect([&](QWidget *dialog) {
        auto *files = qobject_cast<QFileDialog *>(dialog);
        QVERIFY(files);
        shownTitle = files->windowTitle();
        offered = files->selectedFiles();
        files->reject();
    });
    m_driver->click(window->findChild<QWidget *>(button));
    QVERIFY(m_driver->modals().expectationMet());
    QCOMPARE(shownTitle, title);
    if (!file.isEmpty()) {
        QCOMPARE(offered.size(), 1);
        QCOMPARE(QFileInfo(offered.first()).fileName(), file);
    }
    QCOMPARE(m_errors->messages(), QStringList());
    QCOMPARE(QDir::current().entryList(QDir::Files), QStringList());
}

void BillTest::windowShowsItsTotalBoldAndClosesWithCtrlW()
{
    BillWindow *window = openBill();
    QVERIFY(window->findChild<QLabel *>(QStringLiteral("BillGrandTotal"))->font().bold());
    // Both tables fill their width: the last column takes what the others leave.
    for (const char *name : {"BillEntries", "BillTotals"}) {
        auto *view = window->findChild<QTableView *>(QString::fromLatin1(name));
        QHeaderView *header = view->horizontalHeader();
        const int last = header->logicalIndex(header->count() - 1);
        QVERIFY2(header->sectionViewportPosition(last) + header->sectionSize(last) >=
                     view->viewport()->width(),
                 name);
    }
    // The entries and the totals share the window's height about evenly, also when it grows.
    auto *halves = window->findChild<QSplitter *>();
    QVERIFY(halves);
    const auto even = [halves] {
        const QList<int> sizes = halves->sizes();
        return qAbs(sizes[0] - sizes[1]) <= (sizes[0] + sizes[1]) / 10;
    };
    QVERIFY(even());
    window->resize(window->width(), window->height() + 300);
    QTRY_VERIFY(even());

    QVERIFY(window->isVisible());
    QApplication::setActiveWindow(window);
    QTest::keyClick(window, Qt::Key_W, Qt::ControlModifier);
    QTRY_VERIFY(!window->isVisible());
}

void BillTest::badCellEditsAreRefusedWithAReason_data()
{
    QTest::addColumn<int>("column");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("reason");
    QTest::newRow("negative reserve") << 3 << "-5"
                                      << "Запас не может быть отрицательным";
    QTest::newRow("pack of 0") << 6 << "0"
                               << "Фасовка должна быть больше нуля; пустая клетка — продается "
                                  "поштучно или на вес";
    QTest::newRow("text as price") << 8 << "дорого"
                                   << "Цена — это число рублей, например 350 или 12,50";
}

void BillTest::badCellEditsAreRefusedWithAReason()
{
    QFETCH(int, column);
    QFETCH(QString, typed);
    QFETCH(QString, reason);
    computeMasonryWall(QStringLiteral("10"), QStringLiteral("3"));
    m_driver->pressKey(Qt::Key_D, Qt::ControlModifier);
    BillWindow *window = openBill();
    const int row = totalsRow(window, QStringLiteral("Раствор"));
    editCell(window, row, 3, QStringLiteral("10"));
    editCell(window, row, 6, QStringLiteral("0,5"));
    editCell(window, row, 8, QStringLiteral("4200"));
    QAbstractItemModel *model = totals(window);
    const bom::Terms terms = m_driver->window().bill().book().totals().rows[row].terms;
    const QString sum = model->index(row, 10).data().toString();
    editCell(window, row, column, typed);
    // The typed text stays for correction, and why it was refused shows at once, at the cell.
    QCOMPARE(model->index(row, column).data().toString(), typed);
    QCOMPARE(model->index(row, column).data(Qt::ToolTipRole).toString(), reason);
    auto *problem = window->findChild<QLabel *>(QStringLiteral("BillTotalsProblem"));
    QVERIFY(problem->isVisible());
    QCOMPARE(problem->text(), reason);
    auto *view = window->findChild<QTableView *>(QStringLiteral("BillTotals"));
    QVERIFY(problem->geometry().intersects(
        view->visualRect(model->index(row, column)).adjusted(0, 0, 0, problem->height() + 4)));
    QCOMPARE(m_driver->window().bill().book().totals().rows[row].terms, terms);
    QCOMPARE(model->index(row, 10).data().toString(), sum);
    // Corrected, the cell is taken and the mark goes.
    editCell(window, row, column, QStringLiteral("2"));
    QCOMPARE(model->index(row, column).data(Qt::ToolTipRole).toString(), QString());
    QVERIFY(m_driver->window().bill().book().totals().rows[row].terms != terms);
}

void BillTest::termsAreRememberedForTheNextRun()
{
    computeMasonryWall(QStringLiteral("10"), QStringLiteral("3"));
    m_driver->pressKey(Qt::Key_D, Qt::ControlModifier);
    BillWindow *window = openBill();
    const int row = totalsRow(window, QStringLiteral("Раствор"));
    editCell(window, row, 3, QStringLiteral("7,5"));
    editCell(window, row, 6, QStringLiteral("0,25"));
    editCell(window, row, 9, QStringLiteral("1200"));
    // A reserve alone, with no pack and no price.
    editCell(window, totalsRow(window, QStringLiteral("Пробки деревянные")), 3,
             QStringLiteral("5"));

    // A new run knows the terms but the price, which belongs to its bill: its bill starts empty.
    m_driver = std::make_unique<WindowDriver>();
    QCOMPARE(m_driver->window().bill().book().bill().entries.size(), 0);
    computeMasonryWall(QStringLiteral("5"), QStringLiteral("3"));
    m_driver->pressKey(Qt::Key_D, Qt::ControlModifier);
    const auto termsOf = [this](const QString &name, const QString &unit) {
        return m_driver->window().bill().book().bill().terms.value({name, unit});
    };
    QCOMPARE(termsOf(QStringLiteral("Раствор"), QStringLiteral("м3")),
             (bom::Terms{7.5, 0.25, std::nullopt}));
    QCOMPARE(termsOf(QStringLiteral("Пробки деревянные"), QStringLiteral("м3")),
             (bom::Terms{5.0, std::nullopt, std::nullopt}));
    QCOMPARE(termsOf(QStringLiteral("Кирпич глиняный обыкновенный"), QStringLiteral("шт.")),
             bom::Terms{});

    // A settings file edited by hand to a pack a cell would refuse brings in none of its terms.
    {
        QSettings store(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("merilon"),
                        QStringLiteral("merilon"));
        store.beginGroup(QStringLiteral("billTerms"));
        const QStringList materials = store.childGroups();
        QCOMPARE(materials.size(), 2);
        for (const QString &material : materials)
            store.setValue(material + QStringLiteral("/packSize"), -1);
    }
    m_driver = std::make_unique<WindowDriver>();
    computeMasonryWall(QStringLiteral("5"), QStringLiteral("3"));
    m_driver->pressKey(Qt::Key_D, Qt::ControlModifier);
    QCOMPARE(termsOf(QStringLiteral("Раствор"), QStringLiteral("м3")), bom::Terms{});
    QCOMPARE(termsOf(QStringLiteral("Пробки деревянные"), QStringLiteral("м3")), bom::Terms{});
}

void BillTest::savedBillOpensInANewRun()
{
    computeMasonryWall(QStringLiteral("10"), QStringLiteral("3"));
    m_driver->pressKey(Qt::Key_D, Qt::ControlModifier);
    computeFoundation();
    m_driver->pressKey(Qt::Key_D, Qt::ControlModifier);
    BillWindow *window = openBill();
    editCell(window, totalsRow(window, QStringLiteral("Бетон")), 8, QStringLiteral("5600"));
    const bom::Bill saved = m_driver->window().bill().book().bill();

    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("объект"));
    window->setPathChooser([path](BillWindow::FileChoice) { return path; });
    QVERIFY(window->isWindowModified());
    m_driver->click(window->findChild<QWidget *>(QStringLiteral("BillSave")));
    QCOMPARE(m_errors->messages(), QStringList());
    QVERIFY(QFile::exists(path + QStringLiteral(".merilon-bom")));
    // Saved, the bill is its file: the title names it, and the next save asks for no name.
    QCOMPARE(window->windowTitle(),
             QStringLiteral("объект.merilon-bom[*] — Ведомость материалов — Мерилон 3"));
    QVERIFY(!window->isWindowModified());
    editCell(window, totalsRow(window, QStringLiteral("Бетон")), 3, QStringLiteral("0"));
    window->setPathChooser([](BillWindow::FileChoice) {
        QTest::qFail("the bill's own file was asked for again", __FILE__, __LINE__);
        return QString();
    });
    QTest::keyClick(window, Qt::Key_S, Qt::ControlModifier);
    QVERIFY(!window->isWindowModified());

    m_driver = std::make_unique<WindowDriver>();
    window = openBill();
    window->setPathChooser(
        [path](BillWindow::FileChoice) { return path + QStringLiteral(".merilon-bom"); });
    m_driver->click(window->findChild<QWidget *>(QStringLiteral("BillOpen")));
    QCOMPARE(m_errors->messages(), QStringList());
    QVERIFY(m_driver->window().bill().book().bill() == saved);
    QCOMPARE(window->findChild<QTableView *>(QStringLiteral("BillEntries"))->model()->rowCount(),
             2);
    QCOMPARE(
        window->findChild<QTableView *>(QStringLiteral("BillEntries"))->verticalHeader()->count(),
        2);
    QVERIFY(window->grandTotalText().startsWith(QStringLiteral("Итого: 10\u00A0080,00 руб.")));
    QCOMPARE(shownGrandTotal(window), window->grandTotalText());
}

void BillTest::badFileLeavesTheBillUntouched()
{
    computeMasonryWall(QStringLiteral("10"), QStringLiteral("3"));
    m_driver->pressKey(Qt::Key_D, Qt::ControlModifier);
    const bom::Bill before = m_driver->window().bill().book().bill();
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("чужой.merilon-bom"));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("{\"format\": \"merilon-bom\", \"version\": 7, \"entries\": []}");
    file.close();
    BillWindow *window = openBill();
    window->setPathChooser([path](BillWindow::FileChoice) { return path; });
    m_errors->answerChoicesWith(1);
    m_driver->click(window->findChild<QWidget *>(QStringLiteral("BillOpen")));
    QCOMPARE(m_errors->messages(),
             QStringList{QStringLiteral("Ведомость сохранена более новой версией программы "
                                        "(формат 7), а эта версия открывает формат 5. Обновите "
                                        "программу, чтобы открыть файл.")});
    QVERIFY(m_driver->window().bill().book().bill() == before);
}

void BillTest::exportsHoldTheTotals()
{
    computeMasonryWall(QStringLiteral("10"), QStringLiteral("3"));
    m_driver->pressKey(Qt::Key_D, Qt::ControlModifier);
    BillWindow *window = openBill();
    editCell(window, totalsRow(window, QStringLiteral("Раствор")), 8, QStringLiteral("4200"));
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("ведомость.csv"));
    window->setPathChooser([path](BillWindow::FileChoice) { return path; });
    m_driver->click(window->findChild<QWidget *>(QStringLiteral("BillExportCsv")));
    QCOMPARE(m_errors->messages(), QStringList());
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QList<QByteArray> lines = file.readAll().split('\n');
    // 10 × 3 × 0,38 = 11,4 m3 of masonry: 4503 bricks, 2,679 m3 of mortar, 0,0114 m3 of plugs.
    QCOMPARE(lines.at(0), QByteArray("\xEF\xBB\xBF"
                                     "Материал;Ед.;Количество;Запас, %;С запасом;К закупке;"
                                     "Фасовка;Упаковок;Цена за ед., руб.;Цена упаковки, руб.;"
                                     "Сумма, руб.\r"));
    // The volume of masonry is work, not a purchase: it stays with its entry.
    QCOMPARE(lines.at(1), QByteArray("Кирпич глиняный обыкновенный;шт.;4503;0;4503;4503;;;;;—\r"));
    QCOMPARE(lines.at(2), QByteArray("Раствор;м3;2,679;0;2,679;2,679;;;4200,00;;11251,80\r"));
    QCOMPARE(lines.at(3), QByteArray("Пробки деревянные;м3;0,0114;0;0,0114;0,0114;;;;;—\r"));
    QCOMPARE(lines.at(4), QByteArray("Итого: 11251,80 руб. (без цены: 2)\r"));
    QVERIFY(lines.at(7).endsWith(QByteArray(";Объем кирпичной кладки;м3;11,4;объем работ\r")));

    const QString workbook = folder.filePath(QStringLiteral("ведомость.xlsx"));
    const QString pdf = folder.filePath(QStringLiteral("ведомость.pdf"));
    window->setPathChooser([&](BillWindow::FileChoice choice) {
        return choice == BillWindow::FileChoice::Xlsx ? workbook : pdf;
    });
    m_driver->click(window->findChild<QWidget *>(QStringLiteral("BillExportXlsx")));
    m_driver->click(window->findChild<QWidget *>(QStringLiteral("BillPdf")));
    QList<std::pair<QString, QByteArray>> written{{pdf, QByteArray("%PDF-")}};
    if (billxlsx::available()) {
        QCOMPARE(m_errors->messages(), QStringList());
        written.append({workbook, QByteArray("PK")});
    } else {
        QCOMPARE(m_errors->messages(),
                 QStringList{"Экспорт в XLSX в этой сборке программы недоступен."});
        QVERIFY(!QFile::exists(workbook));
    }
    for (const auto &[path, magic] : written) {
        QFile written(path);
        QVERIFY2(written.open(QIODevice::ReadOnly), qPrintable(path));
        QCOMPARE(written.read(magic.size()), magic);
    }
}

bom::Entry BillTest::normEntry()
{
    const QString norm = QStringLiteral("ГЭСН 06-01-001-01");
    bom::Entry entry;
    entry.work = norm + QStringLiteral(" Устройство бетонной подготовки");
    entry.inputs = QStringLiteral("Объем работ, м3: 25");
    const auto resource = [&](const char *code, const char *name, const char *unit, double amount,
                              bom::MaterialKind kind) {
        entry.materials.append(bom::material(QString::fromUtf8(name), QString::fromUtf8(unit),
                                             amount, kind, QString(), norm,
                                             QString::fromUtf8(code)));
    };
    resource("1-100-20", "Затраты труда рабочих", "чел.-ч", 45.5, bom::MaterialKind::Labour);
    resource("91.14.02-001", "Автомобили бортовые, до 5 т", "маш.-ч", 1.25,
             bom::MaterialKind::Machine);
    resource("01.7.15.06-0111", "Бетон тяжелый, класс B7,5", "м3", 25.5, bom::MaterialKind::Buy);
    return entry;
}

void BillTest::normEntryShowsItsCodesAndHours()
{
    computeConcreteUnderlay();
    m_driver->pressKey(Qt::Key_D, Qt::ControlModifier);
    BillWindow *window = openBill();
    auto *view = window->findChild<QTableView *>(QStringLiteral("BillTotals"));
    auto *hours = window->findChild<QWidget *>(QStringLiteral("BillHoursBox"));
    // The pages' figures alone: no code column, no hours.
    const int codeColumn = view->horizontalHeader()->logicalIndex(0);
    QVERIFY(view->isColumnHidden(codeColumn));
    QVERIFY(!hours->isVisible());

    BillControl &control = m_driver->window().bill();
    control.addEntry(normEntry());
    QCOMPARE(notice(), QStringLiteral("Добавлено в ведомость: ГЭСН 06-01-001-01 Устройство "
                                      "бетонной подготовки. Записей в ведомости: 2."));
    QVERIFY(!view->isColumnHidden(codeColumn));
    QCOMPARE(view->horizontalHeader()->visualIndex(codeColumn), 0);
    QCOMPARE(view->model()->headerData(codeColumn, Qt::Horizontal).toString(),
             QStringLiteral("Код"));
    const int concrete = totalsRow(window, QStringLiteral("Бетон тяжелый, класс B7,5"));
    QVERIFY(concrete >= 0);
    QCOMPARE(view->model()->index(concrete, codeColumn).data().toString(),
             QStringLiteral("01.7.15.06-0111"));
    QTRY_VERIFY(hours->isVisible());
    const QAbstractItemModel *model =
        window->findChild<QTableView *>(QStringLiteral("BillHours"))->model();
    QCOMPARE(model->rowCount(), 2);
    QCOMPARE(model->index(1, 0).data().toString(), QStringLiteral("91.14.02-001"));
    QCOMPARE(model->index(1, 3).data().toString(), QStringLiteral("1,25"));
    // Three equal works count their hours three times.
    control.book().setCount(1, 3);
    QCOMPARE(window->findChild<QLabel *>(QStringLiteral("BillLabourHours"))->text(),
             QStringLiteral("Затраты труда, чел.-ч: 136,5"));
    QCOMPARE(window->findChild<QLabel *>(QStringLiteral("BillMachineHours"))->text(),
             QStringLiteral("Машины, маш.-ч: 3,75"));
}

// Two walls, a foundation and a paved yard, priced, for the documentation's picture.
void BillTest::renderBillWindow()
{
    computeMasonryWall(QStringLiteral("12,3"), QStringLiteral("2,7"));
    m_driver->pressKey(Qt::Key_D, Qt::ControlModifier);
    computeMasonryWall(QStringLiteral("8"), QStringLiteral("2,7"));
    m_driver->pressKey(Qt::Key_D, Qt::ControlModifier);
    computeFoundation();
    m_driver->pressKey(Qt::Key_D, Qt::ControlModifier);
    m_driver->clickNode(15);
    m_driver->pickVariant(QStringLiteral("RadioGroup5"), 4);
    m_driver->type(QStringLiteral("Edit19"), QStringLiteral("12"));
    m_driver->type(QStringLiteral("Edit16"), QStringLiteral("7,5"));
    m_driver->click(QStringLiteral("Button3"));
    m_driver->pressKey(Qt::Key_D, Qt::ControlModifier);
    // And a norm's computation, whose labour and machines show below the materials.
    m_driver->window().bill().addEntry(normEntry());
    QCOMPARE(m_driver->window().bill().book().bill().entries.size(), 5);
    const QString folder = QCoreApplication::applicationDirPath() + QStringLiteral("/screenshots");
    QDir().mkpath(folder);
    // The notice of the last add, over the main window.
    QVERIFY(m_driver->window().grab().toImage().save(folder + QStringLiteral("/bill-notice.png")));

    BillWindow *window = openBill();
    const struct
    {
        const char *material;
        const char *reserve;
        const char *pack;
        const char *price;
        int priceColumn; // per piece or per pack
    } terms[] = {
        {"Кирпич глиняный обыкновенный", "5", "250", "4625", 9},
        {"Раствор", "3", "", "4200", 8},
        {"Бетон", "2", "0,5", "2800", 9},
        {"Плитка «брусчатка»", "7", "", "48,50", 8},
    };
    for (const auto &material : terms) {
        const int row = totalsRow(window, QString::fromUtf8(material.material));
        if (row < 0)
            continue;
        editCell(window, row, 3, QString::fromUtf8(material.reserve));
        editCell(window, row, 6, QString::fromUtf8(material.pack));
        editCell(window, row, material.priceColumn, QString::fromUtf8(material.price));
    }
    bom::Head head;
    head.object = QStringLiteral("Жилой дом, ул. Лесная, 12");
    head.customer = QStringLiteral("ООО «Домострой»");
    head.address = QStringLiteral("г. Тверь, ул. Лесная, 12");
    head.compiledBy = QStringLiteral("Иванов И. И.");
    head.checkedBy = QStringLiteral("Петров П. П.");
    head.date = QDate(2026, 12, 7);
    m_driver->window().bill().book().setHead(head);
    auto *view = window->findChild<QTableView *>(QStringLiteral("BillTotals"));
    view->clearSelection();
    view->setCurrentIndex(QModelIndex());
    window->resize(1200, 760);
    // The edits above scrolled the table to their cells; the picture shows it from its start.
    view->scrollToTop();
    view->horizontalScrollBar()->setValue(0);
    const QImage image = window->grab().toImage();
    QVERIFY(!image.isNull());
    QVERIFY(image.save(folder + QStringLiteral("/bill.png")));
}

QTEST_MAIN(BillTest)
#include "tst_bill.moc"
