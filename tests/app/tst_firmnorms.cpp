#include "../norms/footings.h"
#include "bill/billbook.h"
#include "bill/billcontrol.h"
#include "bill/billreadings.h"
#include "common/errorreport.h"
#include "errorrecorder.h"
#include "firmexchange.h"
#include "firmstore.h"
#include "normcompute.h"
#include "normimport.h"
#include "norms/firmbook.h"
#include "norms/firmconflictsdialog.h"
#include "norms/firmnormeditor.h"
#include "norms/normbase.h"
#include "norms/normcontrol.h"
#include "norms/normwindow.h"
#include "sqlite.h"
#include "windowdriver.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QMessageBox>
#include <QSettings>
#include <QSignalSpy>
#include <QTableView>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextDocument>
#include <QTreeView>
#include <QTreeWidget>

#include <algorithm>

// The firm's own norms made, changed, deleted and restored through the norm window, as an
// estimator does it: from a federal norm, in the editor, with the history and undo.
class FirmNormsTest : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void madeFromAFederalNormIsFoundMarkedAndComputed();
    void editorSaysAtTheFieldWhatIsWrong_data();
    void editorSaysAtTheFieldWhatIsWrong();
    void editorAsksOfACodeOnlyWhenItChanges();
    void historyRestoreDeleteAndUndo();
    void refusedUndoLeavesTheStackAndTheBaseAgreeing_data();
    void refusedUndoLeavesTheStackAndTheBaseAgreeing();
    void firmChangeLeavesTheFederalCollectionsOpen();
    void deleteIsAskedInTheRealBox();
    void billTellsOfANewVersionAsItIsSaved();
    void exportedNormChangedOnBothSidesIsAConflictToChoose();
    void firstNormWithoutABaseStartsOne();
    void conflictDialogMarksTheLinesThatDiffer_data();
    void conflictDialogMarksTheLinesThatDiffer();
    void renderFirmNorm();

private:
    NormWindow *normWindow() { return m_driver->window().normControl().window(); }
    template <typename T = QWidget> T *part(const char *name)
    {
        return m_driver->widget<T>(QString::fromLatin1(name));
    }
    void importAndShow(const QString &query);
    // Clicks a button of the window and takes the editor it opens.
    FirmNormEditor *openEditor(const char *button);
    void typeRate(const QString &resource, const QString &rate);
    // The firm norm from ГЭСН 06-01-001-02, with the nails' rate changed.
    void makeFirmNorm(const QString &nailsRate);
    void backToWindow();
    QStringList hits();
    // «name|rate|federal» of every resource line shown.
    QStringList shownRates();

    std::unique_ptr<QTemporaryDir> m_files;
    std::unique_ptr<QTemporaryDir> m_settings;
    std::unique_ptr<ErrorRecorder> m_errors;
    std::unique_ptr<WindowDriver> m_driver;
    QPointer<QWidget> m_opened;
};

void FirmNormsTest::init()
{
    m_files = std::make_unique<QTemporaryDir>();
    m_settings = std::make_unique<QTemporaryDir>();
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, m_settings->path());
    m_errors = std::make_unique<ErrorRecorder>();
    m_driver = std::make_unique<WindowDriver>();
}

void FirmNormsTest::cleanup()
{
    m_driver.reset();
    m_errors.reset();
    m_settings.reset();
    m_files.reset();
}

void FirmNormsTest::importAndShow(const QString &query)
{
    const QString path = m_files->filePath(QStringLiteral("ГЭСН.xml"));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(kFootingsBase);
    file.close();
    NormControl &control = m_driver->window().normControl();
    control.setFileChooser([path] { return QStringList{path}; });
    QSignalSpy finished(&control, &NormControl::importFinished);
    control.importAction()->trigger();
    QVERIFY(finished.wait(60'000));
    m_driver->type(QStringLiteral("NormSearch"), query);
    m_driver->pressKey(Qt::Key_Down);
}

FirmNormEditor *FirmNormsTest::openEditor(const char *button)
{
    m_opened.clear();
    m_driver->modals().expect([this](QWidget *dialog) { m_opened = dialog; });
    m_driver->click(QString::fromLatin1(button));
    if (!QTest::qWaitFor([this] { return !m_opened.isNull(); }))
        return nullptr;
    return qobject_cast<FirmNormEditor *>(m_opened.data());
}

void FirmNormsTest::typeRate(const QString &resource, const QString &rate)
{
    auto *table = part<QTableWidget>("FirmResources");
    const QList<QTableWidgetItem *> found = table->findItems(resource, Qt::MatchExactly);
    QVERIFY2(!found.isEmpty(), qPrintable(resource));
    const QModelIndex cell = table->model()->index(found.front()->row(), 3);
    QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, table->visualRect(cell).center());
    QTest::keyClick(table->viewport(), Qt::Key_F2);
    QWidget *editor = QApplication::focusWidget();
    QVERIFY(qobject_cast<QLineEdit *>(editor));
    QTest::keyClick(editor, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(editor, Qt::Key_Delete);
    QTest::keyClicks(editor, rate);
}

void FirmNormsTest::makeFirmNorm(const QString &nailsRate)
{
    importAndShow(QStringLiteral("ГЭСН 06-01-001-02"));
    FirmNormEditor *editor = openEditor("FirmFromFederal");
    QVERIFY(editor);
    QCOMPARE(part<QLineEdit>("FirmCode")->text(), QStringLiteral("ФН-06-01-001-02"));
    // The federal norm's reference comes with it.
    QVERIFY(
        part<QComboBox>("FirmReasons")->currentText().startsWith(QStringLiteral("006.0 НР 102 %")));
    m_driver->type(QStringLiteral("FirmSource"), QStringLiteral("Калькуляция № 12 от 03.03.2026"));
    typeRate(QStringLiteral("Гвозди строительные"), nailsRate);
    // «П» of the federal norm comes without a number; the firm's norm needs one.
    QCOMPARE(m_driver->text(QStringLiteral("FirmResourcesProblem")),
             QStringLiteral("Строка 5: введите норму расхода на измеритель."));
    QVERIFY(!part("FirmSave")->isEnabled());
    typeRate(QStringLiteral("Смеси бетонные"), QStringLiteral("102"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    QVERIFY(part("FirmSave")->isEnabled());
    m_driver->click(QStringLiteral("FirmSave"));
    QTRY_VERIFY(!m_opened);
    backToWindow();
}

void FirmNormsTest::backToWindow()
{
    // The offscreen platform leaves no window active when a dialog closes.
    normWindow()->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(normWindow()));
}

QStringList FirmNormsTest::hits()
{
    QStringList rows;
    const QAbstractItemModel *model = part<QTreeView>("NormHits")->model();
    for (int row = 0; row < model->rowCount(); ++row)
        rows.append(model->index(row, 0).data().toString() + u'|' +
                    model->index(row, 3).data().toString());
    return rows;
}

QStringList FirmNormsTest::shownRates()
{
    QStringList rows;
    auto *resources = part<QTreeWidget>("NormResources");
    for (int group = 0; group < resources->topLevelItemCount(); ++group)
        for (int line = 0; line < resources->topLevelItem(group)->childCount(); ++line) {
            const QTreeWidgetItem *item = resources->topLevelItem(group)->child(line);
            rows.append(item->text(1) + u'|' + item->text(3) + u'|' +
                        (resources->isColumnHidden(5) ? QStringLiteral("-") : item->text(5)));
        }
    return rows;
}

void FirmNormsTest::madeFromAFederalNormIsFoundMarkedAndComputed()
{
    makeFirmNorm(QStringLiteral("0,006"));
    m_driver->type(QStringLiteral("NormSearch"), QStringLiteral("бетон фунд 5"));
    // The firm's own first, and marked.
    QTRY_COMPARE(hits(), (QStringList{QStringLiteral("ФН-06-01-001-02|фирменная"),
                                      QStringLiteral("ГЭСН 06-01-001-02|")}));
    m_driver->pressKey(Qt::Key_Down);
    QCOMPARE(m_driver->text(QStringLiteral("NormCode")), QStringLiteral("ФН-06-01-001-02"));
    QCOMPARE(m_driver->text(QStringLiteral("NormFirm")),
             QStringLiteral("Фирменная норма, версия 1. На основе ГЭСН 06-01-001-02."));
    QCOMPARE(m_driver->text(QStringLiteral("NormSource")),
             QStringLiteral("Источник: Калькуляция № 12 от 03.03.2026"));
    // Only the changed rate is marked against the federal one.
    QCOMPARE(shownRates(),
             (QStringList{"Гвозди строительные|0,006|ГЭСН: 0,005",
                          "Смеси бетонные (технологическая группа 04.1.02.05.01)|102|ГЭСН: по "
                          "проекту",
                          "Средний разряд работы 3,0|180|", "Затраты труда машинистов|0,5|",
                          "Автомобили бортовые|1,2|"}));

    m_driver->newJournalLines();
    m_driver->type(QStringLiteral("NormVolume"), QStringLiteral("25"));
    m_driver->click(QStringLiteral("NormCompute"));
    QCOMPARE(m_driver->newJournalLines(),
             (QStringList{"Расчет по норме: ФН-06-01-001-02 Устройство бетонных фундаментов общего "
                          "назначения объемом: до 5 м3",
                          "Фирменная норма, версия 1; источник: Калькуляция № 12 от 03.03.2026",
                          "Объем работ, м3: 25",
                          "Необходимые материалы:", "Гвозди строительные, т: 0,0015",
                          "Смеси бетонные, м3: 25,5", "Затраты труда, чел.-ч: 45",
                          "Затраты труда машинистов, чел.-ч: 0,125", "Машины, маш.-ч: 0,3"}));
}

void FirmNormsTest::editorSaysAtTheFieldWhatIsWrong_data()
{
    QTest::addColumn<QString>("field"); // a field's name, or a resource's for its rate
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("problem");
    QTest::addColumn<QString>("reason");
    QTest::newRow("letters for a rate")
        << "Гвозди строительные"
        << "abc"
        << "FirmResourcesProblem"
        << "Строка 4: норма расхода — число не меньше нуля, например «0,025».";
    QTest::newRow("negative rate")
        << "Гвозди строительные"
        << "-0,005"
        << "FirmResourcesProblem"
        << "Строка 4: норма расхода — число не меньше нуля, например «0,025».";
    QTest::newRow("measure without a unit")
        << "FirmMeasure"
        << "100"
        << "FirmMeasureProblem"
        << "Измеритель — число больше нуля и единица, например «100 м3», «1 т» или «шт».";
    QTest::newRow("no source")
        << "FirmSource"
        << ""
        << "FirmSourceProblem"
        << "Укажите источник нормы, например «Калькуляция № 12 от 03.03.2026, утв. главным "
           "инженером».";
    // The journal's code page has no «²» or «≤»: the field says what to write instead.
    QTest::newRow("a square sign in the measure")
        << "FirmMeasure"
        << "100 м²"
        << "FirmMeasureProblem"
        << "знак «²» не сохранится в журнале — напишите «100 м2»";
    QTest::newRow("a sign of comparison in the name")
        << "FirmName"
        << "Стяжка ≤ 50 мм"
        << "FirmNameProblem"
        << "знак «≤» не сохранится в журнале — напишите «Стяжка <= 50 мм»";
    QTest::newRow("code of another firm norm")
        << "FirmCode"
        << "ФН-06-01-001-02"
        << "FirmCodeProblem"
        << "Код «ФН-06-01-001-02» уже есть у другой фирменной нормы.";
}

void FirmNormsTest::editorSaysAtTheFieldWhatIsWrong()
{
    QFETCH(QString, field);
    QFETCH(QString, text);
    QFETCH(QString, problem);
    QFETCH(QString, reason);
    makeFirmNorm(QStringLiteral("0,006"));
    m_driver->type(QStringLiteral("NormSearch"), QStringLiteral("ГЭСН 06-01-001-02"));
    m_driver->pressKey(Qt::Key_Down);
    FirmNormEditor *editor = openEditor("FirmFromFederal");
    QVERIFY(editor);
    m_driver->type(QStringLiteral("FirmCode"), QStringLiteral("ФН-06-01-001-03"));
    m_driver->type(QStringLiteral("FirmSource"), QStringLiteral("Калькуляция № 13"));
    typeRate(QStringLiteral("Смеси бетонные"), QStringLiteral("102"));
    QVERIFY(part("FirmSave")->isEnabled());
    QCOMPARE(m_driver->text(QString::fromLatin1(problem.toLatin1())), QString());

    if (field.startsWith(u"Firm"))
        m_driver->type(field, text);
    else
        typeRate(field, text);
    // Said while typing, before the field is left.
    QCOMPARE(m_driver->text(problem), reason);
    QVERIFY(!part("FirmSave")->isEnabled());
    m_driver->click(QStringLiteral("FirmSave"));
    QVERIFY(m_opened);

    // Closing asks; Cancel keeps the editor, «Не сохранять» drops it.
    m_errors->answerChoicesWith(2);
    editor->reject();
    QCOMPARE(m_errors->choices(),
             QStringList{QStringLiteral("Сохранить изменения фирменной нормы «%1»?")
                             .arg(part<QLineEdit>("FirmCode")->text())});
    QVERIFY(editor->isVisible());
    m_errors->answerChoicesWith(1);
    editor->reject();
    QTRY_VERIFY(!m_opened);
}

void FirmNormsTest::editorAsksOfACodeOnlyWhenItChanges()
{
    QStringList asked;
    FirmNormEditor editor(
        norms::firm::Draft{},
        [&asked](const QString &code) {
            asked.append(code);
            return code == QStringLiteral("ФН-01");
        },
        [](const norms::firm::Draft &) { return true; });
    editor.show();
    editor.findChild<QLineEdit *>(QStringLiteral("FirmCode"))->setText(QStringLiteral("ФН-01"));
    QTest::keyClicks(editor.findChild<QLineEdit *>(QStringLiteral("FirmName")), "Kladka");
    QCOMPARE(asked, QStringList{QStringLiteral("ФН-01")});
    QCOMPARE(editor.findChild<QLabel *>(QStringLiteral("FirmCodeProblem"))->text(),
             QStringLiteral("Код «ФН-01» уже есть у другой фирменной нормы."));
    editor.findChild<QLineEdit *>(QStringLiteral("FirmCode"))->setText(QStringLiteral("ФН-02"));
    QCOMPARE(asked, (QStringList{QStringLiteral("ФН-01"), QStringLiteral("ФН-02")}));
}

void FirmNormsTest::historyRestoreDeleteAndUndo()
{
    makeFirmNorm(QStringLiteral("0,006"));
    m_driver->type(QStringLiteral("NormSearch"), QStringLiteral("ФН-06-01-001-02"));
    m_driver->pressKey(Qt::Key_Down);
    QVERIFY(openEditor("FirmEdit"));
    typeRate(QStringLiteral("Гвозди строительные"), QStringLiteral("0,007"));
    auto *reasons = part<QComboBox>("FirmReasons");
    reasons->setFocus();
    QTest::keyClicks(reasons, QStringLiteral("012"));
    m_driver->click(QStringLiteral("FirmSave"));
    QTRY_VERIFY(!m_opened);
    backToWindow();
    QCOMPARE(shownRates().front(), QStringLiteral("Гвозди строительные|0,007|ГЭСН: 0,005"));
    QCOMPARE(m_driver->text(QStringLiteral("NormReasons")),
             QStringLiteral("Нормативы НР и СП: НР 109 % (Пр/812-012.0 Кровли), СП 57 %"));
    QCOMPARE(m_driver->text(QStringLiteral("NormFirm")),
             QStringLiteral("Фирменная норма, версия 2. На основе ГЭСН 06-01-001-02."));

    // Newest first, with who and what.
    m_opened.clear();
    m_driver->modals().expect([this](QWidget *dialog) { m_opened = dialog; });
    m_driver->click(QStringLiteral("FirmHistory"));
    QTRY_VERIFY(m_opened);
    auto *versions = part<QTreeWidget>("FirmVersions");
    QCOMPARE(versions->topLevelItemCount(), 2);
    const QString login = versions->topLevelItem(0)->text(2);
    QVERIFY(!login.isEmpty());
    QCOMPARE(versions->topLevelItem(1)->text(2), login);
    QCOMPARE(versions->topLevelItem(0)->text(0), QStringLiteral("2"));
    QCOMPARE(versions->topLevelItem(0)->text(3),
             QStringLiteral("норма ресурса «Гвозди строительные»: 0,006 → 0,007; изменены "
                            "нормативы НР и СП"));
    QCOMPARE(versions->topLevelItem(1)->text(3), QStringLiteral("создана"));
    QVERIFY(!part("FirmRestore")->isEnabled());
    versions->setCurrentItem(versions->topLevelItem(1));
    const QList<QTreeWidgetItem *> nails =
        part<QTreeWidget>("FirmVersionResources")
            ->findItems(QStringLiteral("Гвозди строительные"), Qt::MatchExactly, 1);
    QCOMPARE(nails.size(), 1);
    QCOMPARE(nails.front()->text(3), QStringLiteral("0,006"));
    m_driver->click(QStringLiteral("FirmRestore"));
    QCOMPARE(versions->topLevelItemCount(), 3);
    QTest::keyClick(m_opened, Qt::Key_Escape);
    QTRY_VERIFY(!m_opened);
    backToWindow();
    // The restored rate, not the one before it.
    QCOMPARE(shownRates().front(), QStringLiteral("Гвозди строительные|0,006|ГЭСН: 0,005"));

    // Undone from the list, where the keys are the window's.
    QWidget *list = part("NormHits");
    list->setFocus();
    auto *undo = part<QAction>("FirmUndo");
    QCOMPARE(undo->text(),
             QStringLiteral("Отменить: восстановление версии 1 нормы ФН-06-01-001-02"));
    QTest::keyClick(list, Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(shownRates().front(), QStringLiteral("Гвозди строительные|0,007|ГЭСН: 0,005"));
    QCOMPARE(undo->text(), QStringLiteral("Отменить: изменение ФН-06-01-001-02"));
    QTest::keyClick(list, Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(shownRates().front(), QStringLiteral("Гвозди строительные|0,006|ГЭСН: 0,005"));
    QTest::keyClick(list, Qt::Key_Y, Qt::ControlModifier);
    QCOMPARE(shownRates().front(), QStringLiteral("Гвозди строительные|0,007|ГЭСН: 0,005"));

    m_errors->answerChoicesWith(0);
    m_driver->click(QStringLiteral("FirmDelete"));
    QCOMPARE(m_errors->choices(),
             QStringList{QStringLiteral("Удалить фирменную норму «ФН-06-01-001-02»? Ее история "
                                        "сохранится, удаление можно отменить.")});
    QCOMPARE(hits(), QStringList{});
    QCOMPARE(m_driver->text(QStringLiteral("NormCode")), QString());
    QTest::keyClick(list, Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(hits(), QStringList{QStringLiteral("ФН-06-01-001-02|фирменная")});
    QCOMPARE(shownRates().front(), QStringLiteral("Гвозди строительные|0,007|ГЭСН: 0,005"));
}

void FirmNormsTest::refusedUndoLeavesTheStackAndTheBaseAgreeing_data()
{
    QTest::addColumn<bool>("undoneBefore");
    QTest::addColumn<int>("key");
    // The nails' line and the version, as the base has them.
    QTest::addColumn<QString>("nails");
    QTest::addColumn<int>("version");
    QTest::newRow("undoing a change")
        << false << int(Qt::Key_Z) << "Гвозди строительные|0,007|ГЭСН: 0,005" << 2;
    QTest::newRow("doing an undone change again")
        << true << int(Qt::Key_Y) << "Гвозди строительные|0,006|ГЭСН: 0,005" << 1;
}

// The base refuses the step: it is told, the base stays as it was, and the stack, which would
// undo from a state the base never reached, is emptied.
void FirmNormsTest::refusedUndoLeavesTheStackAndTheBaseAgreeing()
{
    QFETCH(bool, undoneBefore);
    QFETCH(int, key);
    QFETCH(QString, nails);
    QFETCH(int, version);
    makeFirmNorm(QStringLiteral("0,006"));
    QVERIFY(openEditor("FirmEdit"));
    typeRate(QStringLiteral("Гвозди строительные"), QStringLiteral("0,007"));
    m_driver->click(QStringLiteral("FirmSave"));
    QTRY_VERIFY(!m_opened);
    backToWindow();
    QWidget *list = part("NormHits");
    list->setFocus();
    if (undoneBefore)
        QTest::keyClick(list, Qt::Key_Z, Qt::ControlModifier);
    NormBase &base = m_driver->window().normControl().base();
    base.database()->connection().execute("PRAGMA query_only = ON");
    QTest::keyClick(list, Qt::Key(key), Qt::ControlModifier);
    QCOMPARE(m_errors->messages(),
             QStringList{QStringLiteral("Нет доступа к базе норм «%1».").arg(base.path())});
    QVERIFY(!part<QAction>("FirmUndo")->isEnabled());
    QVERIFY(!part<QAction>("FirmRedo")->isEnabled());
    QCOMPARE(part<QAction>("FirmUndo")->text(), QStringLiteral("Отменить"));
    base.database()->connection().execute("PRAGMA query_only = OFF");
    // What the window reads now is what the base has.
    m_driver->type(QStringLiteral("NormSearch"), QStringLiteral("ФН-06-01-001-02"));
    m_driver->pressKey(Qt::Key_Down);
    QCOMPARE(shownRates().front(), nails);
    QCOMPARE(
        m_driver->text(QStringLiteral("NormFirm")),
        QStringLiteral("Фирменная норма, версия %1. На основе ГЭСН 06-01-001-02.").arg(version));
}

// Only the firm's collection is read again: the federal ones stay as they were opened.
void FirmNormsTest::firmChangeLeavesTheFederalCollectionsOpen()
{
    makeFirmNorm(QStringLiteral("0,006"));
    auto *tree = part<QTreeView>("NormTree");
    const QAbstractItemModel *model = tree->model();
    const auto collections = [model] {
        QStringList texts;
        for (int row = 0; row < model->rowCount(); ++row)
            texts.append(model->index(row, 0).data().toString());
        return texts;
    };
    const QStringList all = collections();
    QCOMPARE(all.size(), 3);
    QVERIFY2(all.back().startsWith(QStringLiteral("ФН")), qPrintable(all.join(u'|')));
    const QPersistentModelIndex federal = model->index(0, 0);
    tree->expand(federal);
    const int sections = model->rowCount(federal);
    QVERIFY(sections > 0);

    // The only firm norm deleted takes its collection away; undone, it comes back in its place.
    m_errors->answerChoicesWith(0);
    m_driver->click(QStringLiteral("FirmDelete"));
    QCOMPARE(collections(), all.mid(0, 2));
    QTest::keyClick(part("NormHits"), Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(collections(), all);
    QVERIFY(federal.isValid() && tree->isExpanded(federal));
    QCOMPARE(model->rowCount(federal), sections);
    const QModelIndex firm = model->index(2, 0);
    tree->expand(firm);
    QCOMPARE(model->index(0, 0, firm).data().toString().left(15),
             QStringLiteral("ФН-06-01-001-02"));
}

void FirmNormsTest::deleteIsAskedInTheRealBox()
{
    makeFirmNorm(QStringLiteral("0,006"));
    m_driver->type(QStringLiteral("NormSearch"), QStringLiteral("ФН"));
    m_driver->pressKey(Qt::Key_Down);
    errorreport::setChoiceHandler({});
    QString asked;
    m_driver->modals().expect([&asked](QWidget *dialog) {
        auto *box = qobject_cast<QMessageBox *>(dialog);
        asked = box->text();
        for (QAbstractButton *button : box->buttons())
            if (button->text() == QStringLiteral("Нет"))
                button->click();
    });
    m_driver->click(QStringLiteral("FirmDelete"));
    QVERIFY(m_driver->modals().expectationMet());
    QCOMPARE(asked, QStringLiteral("Удалить фирменную норму «ФН-06-01-001-02»? Ее история "
                                   "сохранится, удаление можно отменить."));
    QCOMPARE(hits(), QStringList{QStringLiteral("ФН-06-01-001-02|фирменная")});
}

void FirmNormsTest::billTellsOfANewVersionAsItIsSaved()
{
    makeFirmNorm(QStringLiteral("0,006"));
    m_driver->type(QStringLiteral("NormVolume"), QStringLiteral("200"));
    m_driver->pressKey(Qt::Key_D, Qt::ControlModifier);
    // The base is asked through the book the bill is given, counted here.
    FirmBook &firm = m_driver->window().normControl().base().firmBook();
    int asked = 0;
    m_driver->window().bill().readings().setNormVersions([&firm, &asked](const QString &code) {
        ++asked;
        return firm.currentVersion(code);
    });
    m_driver->window().bill().showAction()->trigger();
    auto *entries = m_driver->window().findChild<QTableView *>(QStringLiteral("BillEntries"));
    QVERIFY(entries);
    const QModelIndex work = entries->model()->index(0, 1);
    const QString computed = QStringLiteral("ФН-06-01-001-02 Устройство бетонных фундаментов "
                                            "общего назначения объемом: до 5 м3");
    QCOMPARE(work.data().toString(), computed);
    QSignalSpy shown(entries->model(), &QAbstractItemModel::dataChanged);

    backToWindow();
    QVERIFY(openEditor("FirmEdit"));
    typeRate(QStringLiteral("Гвозди строительные"), QStringLiteral("0,007"));
    m_driver->click(QStringLiteral("FirmSave"));
    QTRY_VERIFY(!m_opened);
    backToWindow();
    QVERIFY(std::any_of(shown.cbegin(), shown.cend(), [&work](const QList<QVariant> &change) {
        return change.at(0).toModelIndex() == work;
    }));
    const int askedBeforePainting = asked;
    entries->grab();
    QCOMPARE(work.data().toString(),
             computed + QStringLiteral(" — Рассчитано по версии 1 нормы ФН-06-01-001-02; "
                                       "сейчас действует версия 2."));
    QCOMPARE(asked, askedBeforePainting);

    // Undone, the entry is computed on the current version again.
    QWidget *list = part("NormHits");
    list->setFocus();
    QTest::keyClick(list, Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(work.data().toString(), computed);
}

void FirmNormsTest::exportedNormChangedOnBothSidesIsAConflictToChoose()
{
    makeFirmNorm(QStringLiteral("0,006"));
    // Version 1 goes into the bill; the bill tells when a later version replaces it.
    m_driver->type(QStringLiteral("NormVolume"), QStringLiteral("200"));
    m_driver->pressKey(Qt::Key_D, Qt::ControlModifier);
    NormControl &control = m_driver->window().normControl();
    const QString shared = m_files->filePath(QStringLiteral("firm.xml"));
    control.setSaveFileChooser([shared] { return shared; });
    m_driver->click(QStringLiteral("FirmExport"));
    QCOMPARE(m_driver->text(QStringLiteral("NormStatus")),
             QStringLiteral("Фирменные нормы (1) записаны в файл «%1».")
                 .arg(QDir::toNativeSeparators(shared)));

    // A colleague takes the file, changes the nails to 0,008 and shares the norm again.
    const QString theirs = m_files->filePath(QStringLiteral("colleague.db"));
    QCOMPARE(norms::importFiles(theirs, {shared}).reason, QString());
    {
        const auto colleague = norms::NormDatabase::open(theirs).database;
        QVERIFY(colleague);
        norms::firm::FirmStore store(*colleague);
        const qint64 id = store.all().front().id;
        norms::firm::Draft draft = store.currentVersion(id)->draft;
        for (norms::NormResource &resource : draft.resources)
            if (resource.name == QStringLiteral("Гвозди строительные"))
                resource.rate = 0.008;
        store.save(id, draft, QStringLiteral("sidorov"), QDateTime::currentDateTime());
        QVERIFY(norms::firm::exportFirmNorms(*colleague, shared).done);
    }
    // Here they went to 0,007 meanwhile.
    m_driver->type(QStringLiteral("NormSearch"), QStringLiteral("ФН"));
    m_driver->pressKey(Qt::Key_Down);
    QVERIFY(openEditor("FirmEdit"));
    typeRate(QStringLiteral("Гвозди строительные"), QStringLiteral("0,007"));
    m_driver->click(QStringLiteral("FirmSave"));
    QTRY_VERIFY(!m_opened);
    backToWindow();

    using Choices = QList<std::pair<qint64, norms::firm::Choice>>;
    QStringList offered;
    control.setConflictChooser([&offered](const QList<norms::firm::Conflict> &conflicts) {
        for (const norms::firm::Conflict &conflict : conflicts)
            offered.append(conflict.code + u' ' +
                           norms::amountText(conflict.ours.draft.resources[3].rate) + u' ' +
                           norms::amountText(conflict.theirs.draft.resources[3].rate));
        return Choices();
    });
    control.setFileChooser([shared] { return QStringList{shared}; });
    QSignalSpy finished(&control, &NormControl::importFinished);
    control.importAction()->trigger();
    QVERIFY(finished.wait(60'000));
    QTRY_COMPARE(offered, QStringList{QStringLiteral("ФН-06-01-001-02 0,007 0,008")});
    // Left for later, it waits in the window.
    QCOMPARE(m_driver->text(QStringLiteral("FirmConflictsNote")),
             QStringLiteral("Есть неразобранные конфликты фирменных норм: 1."));
    QVERIFY(part("FirmShowConflicts")->isVisible());
    control.setConflictChooser([](const QList<norms::firm::Conflict> &conflicts) {
        return Choices{{conflicts.front().id, norms::firm::Choice::Theirs}};
    });
    m_driver->click(QStringLiteral("FirmShowConflicts"));
    QVERIFY(!part("FirmShowConflicts")->isVisible());
    m_driver->type(QStringLiteral("NormSearch"), QStringLiteral("ФН"));
    m_driver->pressKey(Qt::Key_Down);
    QCOMPARE(shownRates().front(), QStringLiteral("Гвозди строительные|0,008|ГЭСН: 0,005"));

    m_driver->window().bill().showAction()->trigger();
    auto *entries = m_driver->window().findChild<QTableView *>(QStringLiteral("BillEntries"));
    QVERIFY(entries);
    QCOMPARE(entries->model()->rowCount(), 1);
    QCOMPARE(entries->model()->index(0, 1).data().toString(),
             QStringLiteral("ФН-06-01-001-02 Устройство бетонных фундаментов общего назначения "
                            "объемом: до 5 м3 — Рассчитано по версии 1 нормы ФН-06-01-001-02; "
                            "сейчас действует версия 3."));
}

void FirmNormsTest::firstNormWithoutABaseStartsOne()
{
    m_driver->window().normControl().showWindow();
    QVERIFY(QTest::qWaitForWindowExposed(normWindow()));
    QVERIFY(openEditor("FirmNew"));
    m_driver->type(QStringLiteral("FirmCode"), QStringLiteral("ФН-01"));
    m_driver->type(QStringLiteral("FirmName"), QStringLiteral("Кладка ограды"));
    m_driver->type(QStringLiteral("FirmMeasure"), QStringLiteral("1 м3"));
    m_driver->type(QStringLiteral("FirmSource"), QStringLiteral("Калькуляция № 3"));
    m_driver->click(QStringLiteral("FirmAddResource"));
    auto *table = part<QTableWidget>("FirmResources");
    const QStringList cells{QString(), QStringLiteral("Кирпич"), QStringLiteral("шт"),
                            QStringLiteral("394")};
    for (int column = 1; column < cells.size(); ++column) {
        const QModelIndex cell = table->model()->index(0, column);
        QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, table->visualRect(cell).center());
        QTest::keyClick(table->viewport(), Qt::Key_F2);
        auto *editor = qobject_cast<QLineEdit *>(QApplication::focusWidget());
        QVERIFY(editor);
        editor->insert(cells[column]); // as typed: key events carry only Latin letters here
        QTest::keyClick(editor, Qt::Key_Return);
    }
    QVERIFY(part("FirmSave")->isEnabled());
    m_driver->click(QStringLiteral("FirmSave"));
    QTRY_VERIFY(!m_opened);
    backToWindow();
    // The base and its folder are made by the first norm, which is then found.
    QVERIFY(QFile::exists(m_driver->workFolder() + QStringLiteral("/data/norms.db")));
    m_driver->type(QStringLiteral("NormSearch"), QStringLiteral("кладка"));
    QTRY_COMPARE(hits(), QStringList{QStringLiteral("ФН-01|фирменная")});
}

void FirmNormsTest::conflictDialogMarksTheLinesThatDiffer_data()
{
    QTest::addColumn<QString>("field"); // what the file's version changed
    QTest::addColumn<QStringList>("ours");
    QTest::addColumn<QStringList>("theirs");
    QTest::newRow("a rate") << "rate" << QStringList{"  Гвозди строительные, т: 0,007"}
                            << QStringList{"  Гвозди строительные, т: 0,008"};
    QTest::newRow("the source") << "source"
                                << QStringList{"Источник: Калькуляция № 12 от 03.03.2026"}
                                << QStringList{"Источник: Калькуляция № 14 от 05.05.2026"};
    QTest::newRow("the measure, shown only as it differs")
        << "measure" << QStringList{"Измеритель: 100 м3"} << QStringList{"Измеритель: 10 м3"};
}

// Each side marks the lines the other lacks, and only them: who saved it and when is not news.
void FirmNormsTest::conflictDialogMarksTheLinesThatDiffer()
{
    QFETCH(QString, field);
    QFETCH(QStringList, ours);
    QFETCH(QStringList, theirs);
    norms::firm::Conflict conflict;
    conflict.code = QStringLiteral("ФН-06-01-001-02");
    conflict.file = QStringLiteral("firm.xml");
    norms::firm::Draft draft;
    draft.code = conflict.code;
    draft.name = QStringLiteral("Устройство фундаментов");
    draft.measure = QStringLiteral("100 м3");
    draft.source = QStringLiteral("Калькуляция № 12 от 03.03.2026");
    norms::NormResource nails;
    nails.name = QStringLiteral("Гвозди строительные");
    nails.unit = QStringLiteral("т");
    nails.rate = 0.007;
    norms::NormResource labour;
    labour.name = QStringLiteral("Затраты труда рабочих");
    labour.unit = QStringLiteral("чел.-ч");
    labour.rate = 180;
    draft.resources = {labour, nails};
    conflict.ours = {3, QDateTime::currentDateTime(), QStringLiteral("ivanov"),
                     QStringLiteral("норма ресурса"), draft};
    if (field == u"rate")
        draft.resources[1].rate = 0.008;
    else if (field == u"source")
        draft.source = QStringLiteral("Калькуляция № 14 от 05.05.2026");
    else
        draft.measure = QStringLiteral("10 м3");
    conflict.theirs = {2, QDateTime::currentDateTime(), QStringLiteral("sidorov"),
                       QStringLiteral("изменено"), draft};
    FirmConflictsDialog dialog({conflict});
    const auto marked = [&dialog](const char *side) {
        QTextDocument shown;
        shown.setHtml(dialog.findChild<QLabel *>(QString::fromLatin1(side))->text());
        QStringList lines;
        for (QTextBlock block = shown.begin(); block.isValid(); block = block.next())
            for (auto fragment = block.begin(); !fragment.atEnd(); ++fragment)
                if (fragment.fragment().charFormat().background().style() != Qt::NoBrush)
                    lines.append(fragment.fragment().text());
        return lines;
    };
    QCOMPARE(marked("FirmOursVersion"), ours);
    QCOMPARE(marked("FirmTheirsVersion"), theirs);
}

void FirmNormsTest::renderFirmNorm()
{
    makeFirmNorm(QStringLiteral("0,006"));
    m_driver->type(QStringLiteral("NormSearch"), QStringLiteral("бетон фунд 5"));
    m_driver->pressKey(Qt::Key_Down);
    const QString folder = QCoreApplication::applicationDirPath() + QStringLiteral("/screenshots");
    QDir().mkpath(folder);
    QTest::qWait(50);
    QVERIFY(normWindow()->grab().toImage().save(folder + QStringLiteral("/firm-norm.png")));
    FirmNormEditor *editor = openEditor("FirmEdit");
    QVERIFY(editor);
    m_driver->type(QStringLiteral("FirmMeasure"), QStringLiteral("100"));
    typeRate(QStringLiteral("Гвозди строительные"), QStringLiteral("-1"));
    QTest::qWait(50);
    QVERIFY(editor->grab().toImage().save(folder + QStringLiteral("/firm-editor.png")));
    m_errors->answerChoicesWith(1);
    editor->reject();
    QTRY_VERIFY(!m_opened);
    m_driver->modals().expect([this](QWidget *dialog) { m_opened = dialog; });
    m_driver->click(QStringLiteral("FirmHistory"));
    QTRY_VERIFY(m_opened);
    QTest::qWait(50);
    QVERIFY(m_opened->grab().toImage().save(folder + QStringLiteral("/firm-history.png")));
    QTest::keyClick(m_opened, Qt::Key_Escape);
}

QTEST_MAIN(FirmNormsTest)
#include "tst_firmnorms.moc"
