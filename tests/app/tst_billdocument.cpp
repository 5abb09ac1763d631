#include "bill/billbook.h"
#include "bill/billcontrol.h"
#include "bill/billrecovery.h"
#include "bill/billwindow.h"
#include "billfile.h"
#include "errorrecorder.h"
#include "windowdriver.h"

#include <QAbstractButton>
#include <QAbstractItemModel>
#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QSettings>
#include <QTableView>
#include <QTemporaryDir>

// The bill as a document: nothing lost on quitting, opening or a crash, every change undone,
// nothing counted twice, and the keyboard never trapped.
class BillDocumentTest : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void replacingOrQuittingAsksFirst_data();
    void replacingOrQuittingAsksFirst();
    void everyChangeIsUndoneAndRedone_data();
    void everyChangeIsUndoneAndRedone();
    void sameResultsTwiceAsksFirst_data();
    void sameResultsTwiceAsksFirst();
    void aNameWithoutItsSuffixAsksAboutTheFileReallyWritten_data();
    void aNameWithoutItsSuffixAsksAboutTheFileReallyWritten();
    void pagesGiveEachMaterialOnceWithItsUnit();
    void countAndManualMaterialsJoinTheTotals();
    void tabLeavesEachTableAfterItsLastCellToEdit();
    void theDateIsPrintedAndSavedAsShown_data();
    void theDateIsPrintedAndSavedAsShown();
    void anEditStillBeingTypedIsTakenFirst_data();
    void anEditStillBeingTypedIsTakenFirst();

private:
    void computeMasonryWall(const QString &length);
    BillWindow *openBill();
    const bom::Bill &bill() { return m_driver->window().bill().book().bill(); }
    // Saves the bill with Ctrl+S as «дом.merilon-bom» in the test's folder.
    QString saveAsNew();
    QAbstractItemModel *table(const char *name);
    void editCell(const char *tableName, int row, int column, const QString &text);
    int totalsRow(const QString &material);

    std::unique_ptr<QTemporaryDir> m_settings;
    std::unique_ptr<QTemporaryDir> m_files;
    std::unique_ptr<WindowDriver> m_driver;
    std::unique_ptr<ErrorRecorder> m_errors;
};

void BillDocumentTest::init()
{
    m_settings = std::make_unique<QTemporaryDir>();
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, m_settings->path());
    m_files = std::make_unique<QTemporaryDir>();
    m_errors = std::make_unique<ErrorRecorder>();
    m_driver = std::make_unique<WindowDriver>();
}

void BillDocumentTest::cleanup()
{
    m_errors->answerChoicesWith(1);
    m_driver.reset();
    m_errors.reset();
    m_files.reset();
    m_settings.reset();
}

void BillDocumentTest::computeMasonryWall(const QString &length)
{
    QApplication::setActiveWindow(&m_driver->window());
    m_driver->clickNode(3);
    m_driver->type(QStringLiteral("Edit1"), length);
    m_driver->type(QStringLiteral("Edit2"), QStringLiteral("3"));
    m_driver->click(QStringLiteral("BitBtn9"));
}

BillWindow *BillDocumentTest::openBill()
{
    m_driver->window().bill().showBill();
    BillWindow *window = m_driver->window().bill().window();
    QApplication::setActiveWindow(window);
    return window;
}

QAbstractItemModel *BillDocumentTest::table(const char *name)
{
    return openBill()->findChild<QTableView *>(QString::fromLatin1(name))->model();
}

int BillDocumentTest::totalsRow(const QString &material)
{
    QAbstractItemModel *model = table("BillTotals");
    for (int row = 0; row < model->rowCount(); ++row) {
        if (model->index(row, 0).data().toString() == material)
            return row;
    }
    return -1;
}

QString BillDocumentTest::saveAsNew()
{
    BillWindow *window = openBill();
    const QString path = m_files->filePath(QStringLiteral("дом.merilon-bom"));
    window->setPathChooser([path](BillWindow::FileChoice) { return path; });
    QTest::keyClick(window, Qt::Key_S, Qt::ControlModifier);
    return path;
}

void BillDocumentTest::editCell(const char *tableName, int row, int column, const QString &text)
{
    auto *view = openBill()->findChild<QTableView *>(QString::fromLatin1(tableName));
    const QModelIndex index = view->model()->index(row, column);
    view->setCurrentIndex(index);
    view->edit(index);
    auto *editor = view->viewport()->findChild<QLineEdit *>();
    QVERIFY(editor);
    editor->setText(text);
    QTest::keyClick(editor, Qt::Key_Return);
    QCoreApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

void BillDocumentTest::replacingOrQuittingAsksFirst_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<int>("answer"); // 0 save, 1 do not save, 2 cancel
    QTest::addColumn<bool>("billKept");
    QTest::addColumn<bool>("fileWritten");
    QTest::newRow("quit, cancelled") << "quit" << 2 << true << false;
    QTest::newRow("quit, not saved") << "quit" << 1 << false << false;
    QTest::newRow("quit, saved") << "quit" << 0 << false << true;
    QTest::newRow("new, cancelled") << "new" << 2 << true << false;
    QTest::newRow("new, not saved") << "new" << 1 << false << false;
    QTest::newRow("new, saved") << "new" << 0 << false << true;
    QTest::newRow("open, cancelled") << "open" << 2 << true << false;
}

void BillDocumentTest::replacingOrQuittingAsksFirst()
{
    QFETCH(QString, command);
    QFETCH(int, answer);
    QFETCH(bool, billKept);
    QFETCH(bool, fileWritten);
    computeMasonryWall(QStringLiteral("10"));
    m_driver->pressKey(Qt::Key_D, Qt::ControlModifier);
    BillWindow *window = openBill();
    QCOMPARE(window->windowTitle(),
             QStringLiteral("Новая ведомость[*] — Ведомость материалов — Мерилон 3"));
    QVERIFY(window->isWindowModified());
    // Closing the bill's window keeps the bill and asks nothing.
    QTest::keyClick(window, Qt::Key_W, Qt::ControlModifier);
    QCOMPARE(bill().entries.size(), 1);
    QCOMPARE(m_errors->choices(), QStringList());

    const QString path = m_files->filePath(QStringLiteral("дом.merilon-bom"));
    window->setPathChooser([path](BillWindow::FileChoice) { return path; });
    m_errors->answerChoicesWith(answer);
    const qsizetype journalLines = m_driver->journal().size();
    if (command == u"quit") {
        m_driver->pressKey(Qt::Key_Q, Qt::ControlModifier);
        QCOMPARE(m_driver->window().isVisible(), billKept);
        // Staying on leaves the journal as it was.
        if (billKept)
            QCOMPARE(m_driver->journal().size(), journalLines);
    } else {
        m_driver->click(openBill()->findChild<QWidget *>(
            command == u"new" ? QStringLiteral("BillNew") : QStringLiteral("BillOpen")));
        QCOMPARE(bill().entries.size(), billKept ? 1 : 0);
    }
    QCOMPARE(m_errors->choices(), QStringList{QStringLiteral("Сохранить изменения в ведомости?")});
    QCOMPARE(QFile::exists(path), fileWritten);
    QCOMPARE(m_errors->messages(), QStringList());
}

void BillDocumentTest::everyChangeIsUndoneAndRedone_data()
{
    QTest::addColumn<QString>("change");
    QTest::addColumn<int>("steps");
    QTest::newRow("entry added") << "add" << 1;
    QTest::newRow("entry removed") << "remove" << 1;
    QTest::newRow("reserve") << "reserve" << 1;
    QTest::newRow("pack size") << "pack" << 1;
    QTest::newRow("price") << "price" << 1;
    QTest::newRow("count of works") << "count" << 1;
    QTest::newRow("note") << "note" << 1;
    QTest::newRow("each field of the head") << "head" << 6;
}

void BillDocumentTest::everyChangeIsUndoneAndRedone()
{
    QFETCH(QString, change);
    QFETCH(int, steps);
    computeMasonryWall(QStringLiteral("10"));
    m_driver->pressKey(Qt::Key_D, Qt::ControlModifier);
    BillWindow *window = openBill();
    const QString path = saveAsNew();
    QVERIFY(!window->isWindowModified());
    const bom::Bill before = bill();

    const int mortar = totalsRow(QStringLiteral("Раствор"));
    if (change == u"add") {
        computeMasonryWall(QStringLiteral("7"));
        m_driver->pressKey(Qt::Key_D, Qt::ControlModifier);
    } else if (change == u"remove") {
        auto *entries = window->findChild<QTableView *>(QStringLiteral("BillEntries"));
        entries->selectRow(0);
        m_driver->click(window->findChild<QWidget *>(QStringLiteral("BillRemoveEntry")));
    } else if (change == u"reserve") {
        editCell("BillTotals", mortar, 3, QStringLiteral("5"));
    } else if (change == u"pack") {
        editCell("BillTotals", mortar, 6, QStringLiteral("0,5"));
    } else if (change == u"price") {
        editCell("BillTotals", mortar, 8, QStringLiteral("4200"));
    } else if (change == u"count") {
        // The count it has already is no change.
        editCell("BillEntries", 0, 2, QStringLiteral("1"));
        QVERIFY(!window->isWindowModified());
        editCell("BillEntries", 0, 2, QStringLiteral("12"));
    } else if (change == u"note") {
        editCell("BillEntries", 0, 5, QStringLiteral("южная стена"));
    } else {
        const char *const fields[] = {"BillObject", "BillCustomer", "BillAddress", "BillCompiledBy",
                                      "BillCheckedBy"};
        for (const char *field : fields) {
            auto *edit = window->findChild<QLineEdit *>(QString::fromLatin1(field));
            edit->setText(QString::fromLatin1(field));
            emit edit->editingFinished();
        }
        // A date that is not one stays in its field with the reason; the head keeps none.
        auto *date = window->findChild<QLineEdit *>(QStringLiteral("BillDate"));
        date->setText(QStringLiteral("31.02.2026"));
        emit date->editingFinished();
        QVERIFY(!bill().head.date.isValid());
        QCOMPARE(date->text(), QStringLiteral("31.02.2026"));
        QCOMPARE(date->toolTip(), QStringLiteral("Дата — день, месяц и год, например 07.12.2026"));
        date->setText(QStringLiteral("28.02.2026"));
        emit date->editingFinished();
        QCOMPARE(bill().head.date, QDate(2026, 2, 28));
        const bom::Head &head = bill().head;
        QCOMPARE((QStringList{head.object, head.customer, head.address, head.compiledBy,
                              head.checkedBy}),
                 (QStringList{"BillObject", "BillCustomer", "BillAddress", "BillCompiledBy",
                              "BillCheckedBy"}));
    }
    const bom::Bill after = bill();
    QVERIFY(after != before);
    QVERIFY(window->isWindowModified());

    QApplication::setActiveWindow(window);
    window->setFocus();
    for (int step = 0; step < steps; ++step)
        QTest::keyClick(window, Qt::Key_Z, Qt::ControlModifier);
    QVERIFY(bill() == before);
    // Back where it was saved, the bill is its file again.
    QVERIFY(!window->isWindowModified());
    for (int step = 0; step < steps; ++step)
        QTest::keyClick(window, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    QVERIFY(bill() == after);
    QVERIFY(window->isWindowModified());
}

void BillDocumentTest::sameResultsTwiceAsksFirst_data()
{
    QTest::addColumn<bool>("goAhead");
    QTest::addColumn<int>("entries");
    QTest::addColumn<QString>("notice");
    QTest::newRow("added again") << true << 2
                                 << "Добавлено в ведомость: Кирпичная кладка 1,5 кирпича "
                                    "(380 мм.). Записей в ведомости: 2.";
    QTest::newRow("not added again")
        << false << 1 << "Не добавлено в ведомость: эти результаты уже есть в последней записи.";
}

void BillDocumentTest::sameResultsTwiceAsksFirst()
{
    QFETCH(bool, goAhead);
    QFETCH(int, entries);
    QFETCH(QString, notice);
    computeMasonryWall(QStringLiteral("10"));
    m_driver->pressKey(Qt::Key_D, Qt::ControlModifier);
    QCOMPARE(m_errors->questions(), QStringList());
    m_errors->answerQuestionsGoAhead(goAhead);
    m_driver->pressKey(Qt::Key_D, Qt::ControlModifier);
    QCOMPARE(m_errors->questions().size(), 1);
    QVERIFY(m_errors->questions().first().startsWith(
        QStringLiteral("Эти результаты уже добавлены в ведомость последней записью (№ 1).")));
    QCOMPARE(bill().entries.size(), entries);
    auto *shown = m_driver->window().findChild<QLabel *>(QStringLiteral("BillNotice"));
    QVERIFY(shown->isVisible());
    QCOMPARE(shown->text(), notice);
}

void BillDocumentTest::aNameWithoutItsSuffixAsksAboutTheFileReallyWritten_data()
{
    QTest::addColumn<bool>("replace");
    QTest::newRow("replaced") << true;
    QTest::newRow("kept") << false;
}

void BillDocumentTest::aNameWithoutItsSuffixAsksAboutTheFileReallyWritten()
{
    QFETCH(bool, replace);
    const QString path = m_files->filePath(QStringLiteral("дом.merilon-bom"));
    QFile existing(path);
    QVERIFY(existing.open(QIODevice::WriteOnly));
    existing.write("прежний файл");
    existing.close();
    computeMasonryWall(QStringLiteral("10"));
    m_driver->pressKey(Qt::Key_D, Qt::ControlModifier);
    BillWindow *window = openBill();
    window->setPathChooser(
        [this](BillWindow::FileChoice) { return m_files->filePath(QStringLiteral("дом")); });
    m_errors->answerQuestionsGoAhead(replace);
    QTest::keyClick(window, Qt::Key_S, Qt::ControlModifier | Qt::ShiftModifier);
    QCOMPARE(m_errors->questions(),
             QStringList{QStringLiteral("Файл «%1» уже существует. Заменить его?")
                             .arg(QDir::toNativeSeparators(path))});
    QVERIFY(existing.open(QIODevice::ReadOnly));
    QCOMPARE(existing.readAll() == "прежний файл", !replace);
    QCOMPARE(window->isWindowModified(), !replace);
}

void BillDocumentTest::pagesGiveEachMaterialOnceWithItsUnit()
{
    // The paint is bought as its parts; the volume of masonry is work, not a purchase.
    m_driver->clickNode(11);
    m_driver->type(QStringLiteral("Edit13"), QStringLiteral("10"));
    m_driver->type(QStringLiteral("Edit14"), QStringLiteral("10"));
    m_driver->click(QStringLiteral("BitBtn6"));
    m_driver->pressKey(Qt::Key_D, Qt::ControlModifier);
    computeMasonryWall(QStringLiteral("10"));
    m_driver->pressKey(Qt::Key_D, Qt::ControlModifier);
    m_driver->clickNode(7);
    m_driver->type(QStringLiteral("Edit8"), QStringLiteral("2"));
    m_driver->type(QStringLiteral("Edit9"), QStringLiteral("1,5"));
    m_driver->type(QStringLiteral("Edit10"), QStringLiteral("0,6"));
    m_driver->pickVariant(QStringLiteral("RadioGroup1"), 0);
    m_driver->click(QStringLiteral("BitBtn2"));
    m_driver->pressKey(Qt::Key_D, Qt::ControlModifier);
    QCOMPARE(bill().entries.size(), 3);

    QAbstractItemModel *totals = table("BillTotals");
    QStringList materials;
    for (int row = 0; row < totals->rowCount(); ++row) {
        materials.append(totals->index(row, 0).data().toString() + QStringLiteral(", ") +
                         totals->index(row, 1).data().toString());
    }
    QCOMPARE(materials,
             (QStringList{"Олифа, кг", "Краски тертые, кг", "Сурик железный тертый, кг",
                          "Ветошь, кг", "Кирпич глиняный обыкновенный, шт.", "Раствор, м3",
                          "Пробки деревянные, м3", "Бетон, м3", "Щиты опалубки 25 мм, м2"}));
    // 2,8 + 16 kg of drying oil per 100 m2: priming and paint, once each.
    QCOMPARE(totals->index(0, 2).data().toString(), QStringLiteral("18,8"));
    // The entry shows the mixture as what its parts make.
    const QString painted = table("BillEntries")->index(0, 4).data().toString();
    QVERIFY2(painted.contains(QStringLiteral("; Состав окрасочный 18,7 кг (состав); Сурик "
                                             "железный тертый 2,7 кг (в составе «Состав "
                                             "окрасочный»); Олифа 16 кг (в составе «Состав "
                                             "окрасочный»); Ветошь 0,1 кг")),
             qPrintable(painted));
    auto *unrated = openBill()->findChild<QLabel *>(QStringLiteral("BillUnrated"));
    QCOMPARE(unrated->text(), QStringLiteral("без нормы: 4"));
    QCOMPARE(unrated->toolTip(), QStringLiteral("Доски 40 мм, м3\nГвозди строительные 100 мм, "
                                                "кг\nПроволока стальная 4 мм, кг\nСмазка, кг"));
}

void BillDocumentTest::countAndManualMaterialsJoinTheTotals()
{
    computeMasonryWall(QStringLiteral("10"));
    m_driver->pressKey(Qt::Key_D, Qt::ControlModifier);
    editCell("BillEntries", 0, 2, QStringLiteral("0"));
    auto *problem = openBill()->findChild<QLabel *>(QStringLiteral("BillEntriesProblem"));
    QVERIFY(problem->isVisible());
    QCOMPARE(problem->text(), QStringLiteral("Количество работ — целое число от 1 до 1000000"));
    editCell("BillEntries", 0, 2, QStringLiteral("12"));
    // 10 × 3 × 0,38 × 0,235 m3 of mortar for one wall, twelve walls.
    QCOMPARE(table("BillTotals")->index(totalsRow(QStringLiteral("Раствор")), 2).data().toString(),
             QStringLiteral("32,148"));

    BillWindow *window = openBill();
    m_driver->modals().expect([](QWidget *dialog) {
        dialog->findChild<QLineEdit *>(QStringLiteral("ManualName"))
            ->setText(QStringLiteral("Гвозди 4×100"));
        dialog->findChild<QComboBox *>(QStringLiteral("ManualUnit"))
            ->setCurrentText(QStringLiteral("кг"));
        auto *quantity = dialog->findChild<QLineEdit *>(QStringLiteral("ManualQuantity"));
        quantity->setText(QStringLiteral("-2"));
        QCOMPARE(dialog->findChild<QLabel *>(QStringLiteral("ManualProblem"))->text(),
                 QStringLiteral("Количество не может быть отрицательным"));
        quantity->setText(QStringLiteral("2,5"));
        const QString folder =
            QCoreApplication::applicationDirPath() + QStringLiteral("/screenshots");
        QDir().mkpath(folder);
        QVERIFY(dialog->grab().save(folder + QStringLiteral("/bill-manual.png")));
        static_cast<QDialog *>(dialog)->accept();
    });
    m_driver->click(window->findChild<QWidget *>(QStringLiteral("BillAddManual")));
    QTRY_VERIFY(m_driver->modals().expectationMet());
    QTRY_COMPARE(bill().entries.size(), 2);
    const int nails = totalsRow(QStringLiteral("Гвозди 4×100"));
    QVERIFY(nails >= 0);
    QCOMPARE(table("BillTotals")->index(nails, 1).data().toString(), QStringLiteral("кг"));
    QCOMPARE(table("BillTotals")->index(nails, 2).data().toString(), QStringLiteral("2,5"));
    // Rows are numbered from 1 and tall enough for their text.
    auto *view = openBill()->findChild<QTableView *>(QStringLiteral("BillTotals"));
    QCOMPARE(view->model()->headerData(nails, Qt::Vertical).toInt(), nails + 1);
    QVERIFY(view->rowHeight(nails) > view->fontMetrics().height());
}

void BillDocumentTest::tabLeavesEachTableAfterItsLastCellToEdit()
{
    computeMasonryWall(QStringLiteral("10"));
    m_driver->pressKey(Qt::Key_D, Qt::ControlModifier);
    BillWindow *window = openBill();
    auto *totals = window->findChild<QTableView *>(QStringLiteral("BillTotals"));
    totals->setFocus();
    totals->setCurrentIndex(QModelIndex());
    QList<std::pair<int, int>> visited;
    for (int press = 0; press < 20 && totals->hasFocus(); ++press) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        if (totals->hasFocus())
            visited.append({totals->currentIndex().row(), totals->currentIndex().column()});
    }
    // Three materials to buy, four cells to edit in each, then out.
    QList<std::pair<int, int>> editable;
    for (int row = 0; row < 3; ++row) {
        for (const int column : {3, 6, 8, 9})
            editable.append({row, column});
    }
    QCOMPARE(visited, editable);
    QVERIFY(!totals->hasFocus());
    QVERIFY(window->isAncestorOf(QApplication::focusWidget()));

    // Around the whole window in the order it is read; each table is left, never kept.
    window->findChild<QWidget *>(QStringLiteral("BillNew"))->setFocus();
    QStringList stops{QStringLiteral("BillNew")};
    for (int press = 0; press < 80; ++press) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QWidget *focus = QApplication::focusWidget();
        while (focus && focus->objectName().isEmpty())
            focus = focus->parentWidget();
        if (!focus || focus->objectName() == stops.front())
            break;
        if (focus->objectName() != stops.back())
            stops.append(focus->objectName());
    }
    QCOMPARE(stops, (QStringList{"BillNew",
                                 "BillOpen",
                                 "BillSave",
                                 "BillSaveAs",
                                 "BillExportXlsx",
                                 "BillExportCsv",
                                 "BillPrint",
                                 "BillPdf",
                                 "BillEstimate",
                                 "BillVorToggle",
                                 "BillObject",
                                 "BillCustomer",
                                 "BillAddress",
                                 "BillCompiledBy",
                                 "BillCheckedBy",
                                 "BillDate",
                                 "BillRemoveEntry",
                                 "BillAddManual",
                                 "BillUndo",
                                 "BillEntries",
                                 "BillTotals",
                                 "BillPriceIndex",
                                 "BillFillPrices"}));

    // Unfolded, the bill of quantities' head is read down its first column, then its second.
    m_driver->click(window->findChild<QWidget *>(QStringLiteral("BillVorToggle")));
    window->findChild<QWidget *>(QStringLiteral("VorConstructionSite"))->setFocus();
    QStringList head{QApplication::focusWidget()->objectName()};
    for (int press = 0; press < 5; ++press) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        head.append(QApplication::focusWidget()->objectName());
    }
    QCOMPARE(head, (QStringList{"VorConstructionSite", "VorNumber", "VorCompiledPosition",
                                "VorReason", "VorCheckedPosition", "VorAccessLevel"}));
}

void BillDocumentTest::theDateIsPrintedAndSavedAsShown_data()
{
    QTest::addColumn<QString>("action");
    QTest::addColumn<QString>("suffix");
    QTest::newRow("PDF") << "BillPdf"
                         << "pdf";
    QTest::newRow("the bill's file") << "BillSave"
                                     << "merilon-bom";
    // «Сохранить» answered to the question before a new bill replaces this one.
    QTest::newRow("saved before a new bill") << "BillNew"
                                             << "merilon-bom";
}

// A date typed and not yet left (the button pressed as Ctrl+P presses it, leaving the focus where
// it is) is what the printout and the file get; one that is no date is marked with the reason
// and stops them, rather than let the previous date through.
void BillDocumentTest::theDateIsPrintedAndSavedAsShown()
{
    QFETCH(QString, action);
    QFETCH(QString, suffix);
    computeMasonryWall(QStringLiteral("10"));
    m_driver->pressKey(Qt::Key_D, Qt::ControlModifier);
    BillWindow *window = openBill();
    const QString path = m_files->filePath(QStringLiteral("дом.") + suffix);
    window->setPathChooser([path](BillWindow::FileChoice) { return path; });
    auto *date = window->findChild<QLineEdit *>(QStringLiteral("BillDate"));
    auto *problem = window->findChild<QLabel *>(QStringLiteral("BillDateProblem"));
    m_errors->answerChoicesWith(0);
    const auto typeDate = [date](const QString &text) {
        date->setFocus();
        date->selectAll();
        QTest::keyClicks(date, text);
    };
    typeDate(QStringLiteral("07.12.2026"));
    QTest::keyClick(date, Qt::Key_Return);
    QCOMPARE(bill().head.date, QDate(2026, 12, 7));

    typeDate(QStringLiteral("31.02.2026"));
    window->findChild<QAbstractButton *>(action)->click();
    QCOMPARE(m_errors->messages(),
             QStringList{QStringLiteral("Дата «31.02.2026» не прочитана: нужны день, месяц и год, "
                                        "например 07.12.2026. Исправьте ее или очистите поле.")});
    QVERIFY(!QFile::exists(path));
    QCOMPARE(date->text(), QStringLiteral("31.02.2026"));
    QVERIFY(problem->isVisible());
    QCOMPARE(problem->text(), QStringLiteral("Дата — день, месяц и год, например 07.12.2026"));
    QCOMPARE(date->palette().color(QPalette::Base), QColor(0xb0, 0x1c, 0x1c));

    typeDate(QStringLiteral("28.02.2026"));
    window->findChild<QAbstractButton *>(action)->click();
    QVERIFY(problem->isHidden());
    QVERIFY(date->palette().color(QPalette::Base) != QColor(0xb0, 0x1c, 0x1c));
    QCOMPARE(m_errors->messages().size(), 1);
    if (suffix == u"pdf") {
        QProcess text;
        text.start(QStringLiteral("pdftotext"), {path, QStringLiteral("-")});
        QVERIFY(text.waitForFinished(30000) && text.exitCode() == 0);
        const QString printed = QString::fromUtf8(text.readAllStandardOutput()).simplified();
        QVERIFY2(printed.contains(QStringLiteral("Дата: 28.02.2026")), qPrintable(printed));
    } else {
        // The new bill comes once this one is saved.
        QCOMPARE(bill().entries.isEmpty(), action == u"BillNew");
        const billfile::Reading saved = billfile::read(path);
        QVERIFY2(saved.bill, qPrintable(saved.failure));
        QCOMPARE(saved.bill->head.date, QDate(2026, 2, 28));
    }
}

void BillDocumentTest::anEditStillBeingTypedIsTakenFirst_data()
{
    QTest::addColumn<QString>("edited"); // a field, or a table whose first row is edited
    QTest::addColumn<int>("column");
    QTest::addColumn<int>("key");
    QTest::newRow("«Объект», then Ctrl+O") << "BillObject" << 0 << int(Qt::Key_O);
    QTest::newRow("«Объект», then Ctrl+N") << "BillObject" << 0 << int(Qt::Key_N);
    QTest::newRow("«Объект», then Ctrl+Q") << "BillObject" << 0 << int(Qt::Key_Q);
    QTest::newRow("«Цена за ед.», then Ctrl+S") << "BillTotals" << 8 << int(Qt::Key_S);
    QTest::newRow("«Кол-во», then Ctrl+S") << "BillEntries" << 2 << int(Qt::Key_S);
    QTest::newRow("«Стройка», then Ctrl+S") << "VorConstructionSite" << 0 << int(Qt::Key_S);
}

// A command's key leaves the focus, and the text being typed there, where they are.
void BillDocumentTest::anEditStillBeingTypedIsTakenFirst()
{
    QFETCH(QString, edited);
    QFETCH(int, column);
    QFETCH(int, key);
    computeMasonryWall(QStringLiteral("10"));
    m_driver->pressKey(Qt::Key_D, Qt::ControlModifier);
    const QString path = saveAsNew();
    const bom::Bill before = bill();
    m_driver->click(openBill()->findChild<QWidget *>(QStringLiteral("BillVorToggle")));
    auto *typing = openBill()->findChild<QLineEdit *>(edited);
    if (auto *view = openBill()->findChild<QTableView *>(edited)) {
        const QPoint cell = view->visualRect(view->model()->index(0, column)).center();
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, cell);
        QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, cell);
        typing = view->viewport()->findChild<QLineEdit *>();
        QVERIFY(typing);
    }
    typing->setFocus();
    typing->selectAll();
    QTest::keyClicks(typing, QStringLiteral("777"));
    m_errors->answerChoicesWith(2);
    QTest::keyClick(typing, Qt::Key(key), Qt::ControlModifier);
    if (key != Qt::Key_S) {
        QCOMPARE(m_errors->choices(),
                 QStringList{QStringLiteral("Сохранить изменения в ведомости?")});
        return;
    }
    QVERIFY(!openBill()->isWindowModified() && bill() != before);
    const billfile::Reading saved = billfile::read(path);
    QVERIFY(saved.bill && *saved.bill == bill());
}

QTEST_MAIN(BillDocumentTest)
#include "tst_billdocument.moc"
