#include "../norms/footings.h"
#include "bill/billcontrol.h"
#include "bill/manualmaterialdialog.h"
#include "errorrecorder.h"
#include "estimate/estimatecontrol.h"
#include "firmstore.h"
#include "normimport.h"
#include "norms/firmconflictsdialog.h"
#include "norms/firmhistoryview.h"
#include "norms/firmnormeditor.h"
#include "norms/normbase.h"
#include "norms/normcontrol.h"
#include "norms/normwindow.h"
#include "norms/ratetableswindow.h"
#include "normsearch.h"
#include "pages/rownormdialog.h"
#include "windowdriver.h"

#include <QAbstractButton>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QSettings>
#include <QTabBar>
#include <QTableView>
#include <QTemporaryDir>
#include <QTreeView>

namespace {

// Where each Russian letter is on the keyboard, as the Latin letter of the same key: Alt with
// that key brings both letters' mnemonics, since shortcuts also match the Latin layout.
const QString kRussianKeys = QStringLiteral("йцукенгшщзхъфывапролджэячсмитьбюё");
const QString kLatinKeys = QStringLiteral("qwertyuiop[]asdfghjkl;'zxcvbnm,.`");

QChar physicalKey(QChar letter)
{
    letter = letter.toLower();
    const qsizetype place = kRussianKeys.indexOf(letter);
    return place < 0 ? letter : kLatinKeys.at(place);
}

// The letter after a single «&»; none when there is none.
QChar mnemonicOf(const QString &text)
{
    for (qsizetype i = 0; i + 1 < text.size(); ++i) {
        if (text.at(i) != u'&')
            continue;
        if (text.at(i + 1) != u'&')
            return text.at(i + 1);
        ++i;
    }
    return {};
}

// The texts that share a key, one line per key.
QStringList collisions(const QString &scope, const QStringList &texts)
{
    QMap<QChar, QStringList> byKey;
    for (const QString &text : texts)
        if (const QChar letter = mnemonicOf(text); !letter.isNull())
            byKey[physicalKey(letter)].append(text);
    QStringList found;
    for (auto key = byKey.cbegin(); key != byKey.cend(); ++key)
        if (key->size() > 1)
            found.append(QStringLiteral("%1, key %2: %3")
                             .arg(scope, QString(key.key()), key->join(QStringLiteral(" | "))));
    return found;
}

QStringList visibleTexts(const QList<QAction *> &actions)
{
    QStringList texts;
    for (const QAction *action : actions)
        if (action->isVisible() && !action->isSeparator())
            texts.append(action->text());
    return texts;
}

// What Alt reaches in a window as it stands: its shown buttons, labels with a field, group boxes,
// tabs and menu titles among themselves, and each menu's entries among themselves.
QStringList windowCollisions(QWidget *window)
{
    QStringList texts;
    for (QWidget *widget : window->findChildren<QWidget *>()) {
        if (widget->window() != window || !widget->isVisibleTo(window))
            continue;
        if (const auto *button = qobject_cast<QAbstractButton *>(widget))
            texts.append(button->text());
        else if (const auto *label = qobject_cast<QLabel *>(widget); label && label->buddy())
            texts.append(label->text());
        else if (const auto *box = qobject_cast<QGroupBox *>(widget))
            texts.append(box->title());
        else if (const auto *bar = qobject_cast<QMenuBar *>(widget))
            texts += visibleTexts(bar->actions());
        else if (const auto *tabs = qobject_cast<QTabBar *>(widget))
            for (int i = 0; i < tabs->count(); ++i)
                if (tabs->isTabVisible(i))
                    texts.append(tabs->tabText(i));
    }
    QStringList found = collisions(window->objectName(), texts);
    for (const QMenu *menu : window->findChildren<QMenu *>())
        found += collisions(window->objectName() + QStringLiteral(" menu ") + menu->title(),
                            visibleTexts(menu->actions()));
    return found;
}

} // namespace

// What every window's texts must do. Each letter after «&» in a window is reached by one key only,
// whichever of the Russian and the Latin layouts is on: Alt+в must not be both «в» and «D». A
// «Код» column shows a whole code.
class WindowTextsTest : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void collisionsAreFoundByKey_data();
    void collisionsAreFoundByKey();
    void everyWindowHasOneMnemonicPerKey_data();
    void everyWindowHasOneMnemonicPerKey();
    void codeColumnsHoldAWholeCode_data();
    void codeColumnsHoldAWholeCode();

private:
    void importFootings();
    qint64 firmNorm();
    // The window or dialog of the row, as a user finds it.
    QWidget *open(const QString &which, std::unique_ptr<QWidget> &owned);

    std::unique_ptr<QTemporaryDir> m_settings;
    std::unique_ptr<QTemporaryDir> m_files;
    std::unique_ptr<ErrorRecorder> m_errors;
    std::unique_ptr<WindowDriver> m_driver;
};

void WindowTextsTest::init()
{
    m_settings = std::make_unique<QTemporaryDir>();
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, m_settings->path());
    m_files = std::make_unique<QTemporaryDir>();
    m_errors = std::make_unique<ErrorRecorder>();
    m_driver = std::make_unique<WindowDriver>();
}

void WindowTextsTest::cleanup()
{
    m_driver.reset();
    m_errors.reset();
    m_files.reset();
    m_settings.reset();
}

void WindowTextsTest::collisionsAreFoundByKey_data()
{
    QTest::addColumn<QStringList>("texts");
    QTest::addColumn<int>("found");
    QTest::newRow("в is the key of D") << QStringList{"Доба&вить материал...", "В P&DF..."} << 1;
    QTest::newRow("ч is the key of X") << QStringList{"Заказ&чик:", "Экспорт в &XLSX..."} << 1;
    QTest::newRow("б is the key of the comma") << QStringList{"О&бъект:", "A&,B"} << 1;
    QTest::newRow("the same letter, either case") << QStringList{"&Нормы", "Новая &норма"} << 1;
    QTest::newRow("keys of their own") << QStringList{"&Открыть...", "&Сохранить", "P&DF"} << 0;
    QTest::newRow("&& is an ampersand") << QStringList{"Д && К", "&Дата:"} << 0;
}

void WindowTextsTest::collisionsAreFoundByKey()
{
    QFETCH(QStringList, texts);
    QFETCH(int, found);
    QCOMPARE(collisions(QStringLiteral("window"), texts).size(), found);
}

void WindowTextsTest::importFootings()
{
    QFile file(m_files->filePath(QStringLiteral("ГЭСН.xml")));
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write(kFootingsBase) > 0);
    file.close();
    const norms::ImportResult imported = norms::importFiles(
        m_driver->workFolder() + QStringLiteral("/data/norms.db"), {file.fileName()});
    QVERIFY2(imported.reason.isEmpty(), qPrintable(imported.reason));
    m_driver->window().normControl().base().reopen();
}

qint64 WindowTextsTest::firmNorm()
{
    norms::NormDatabase &base = *m_driver->window().normControl().base().database();
    const QList<norms::NormHit> hits = norms::searchNorms(base, QStringLiteral("06-01-001-02"));
    norms::firm::Draft draft = norms::firm::draftFrom(*norms::readNorm(base, hits.value(0).id));
    draft.source = QStringLiteral("Калькуляция № 12 от 03.03.2026, утв. главным инженером");
    draft.resources[4].rate = 102;
    norms::firm::FirmStore(base).save(0, draft, QStringLiteral("ivanov"),
                                      QDateTime::currentDateTime());
    return norms::searchNorms(base, QStringLiteral("ФН-06-01-001-02")).value(0).id;
}

void WindowTextsTest::everyWindowHasOneMnemonicPerKey_data()
{
    QTest::addColumn<QString>("which");
    QTest::addColumn<int>("place"); // the catalogue's node shown in the main window
    QTest::newRow("main window, home page") << "main" << 0;
    QTest::newRow("main window, masonry") << "main" << 2;
    QTest::newRow("main window, foundation") << "main" << 7;
    QTest::newRow("main window, gates") << "main" << 9;
    QTest::newRow("main window, painting") << "main" << 11;
    QTest::newRow("main window, underlay") << "main" << 13;
    QTest::newRow("main window, tiles") << "main" << 15;
    QTest::newRow("main window, grass") << "main" << 17;
    QTest::newRow("bill") << "bill" << 0;
    QTest::newRow("norms, a federal norm shown") << "federal" << 0;
    QTest::newRow("norms, a firm norm shown, conflicts waiting") << "firm" << 0;
    QTest::newRow("material by hand") << "manual" << 0;
    QTest::newRow("firm norm editor") << "editor" << 0;
    QTest::newRow("firm norm's history") << "history" << 0;
    QTest::newRow("firm norm conflicts") << "conflicts" << 0;
    QTest::newRow("norm of a page's row") << "row" << 0;
    QTest::newRow("overhead and profit tables") << "rates" << 0;
    QTest::newRow("local estimate") << "estimate" << 0;
}

QWidget *WindowTextsTest::open(const QString &which, std::unique_ptr<QWidget> &owned)
{
    NormControl &norms = m_driver->window().normControl();
    if (which == u"bill") {
        // A norm's entry, whose codes and hours show.
        bom::Entry entry;
        entry.work = QStringLiteral("ГЭСН 06-01-001-02 Устройство фундаментов");
        for (const auto kind : {bom::MaterialKind::Buy, bom::MaterialKind::Labour})
            entry.materials.append(bom::material(QStringLiteral("Гвозди строительные"),
                                                 QStringLiteral("т"), 0.00125, kind, QString(),
                                                 entry.work, QStringLiteral("01.7.15.06-0111")));
        m_driver->window().bill().addEntry(entry);
        m_driver->pressKey(Qt::Key_B, Qt::ControlModifier);
        return m_driver->window().bill().window();
    }
    if (which == u"federal" || which == u"firm") {
        importFootings();
        const qint64 firm = which == u"firm" ? firmNorm() : 0;
        norms.showWindow();
        NormWindow *window = norms.window();
        const QList<norms::NormHit> hits =
            norms::searchNorms(*norms.base().database(), QStringLiteral("ГЭСН 06-01-001-02"));
        window->showNorm(firm ? firm : hits.value(0).id);
        // The line that says conflicts wait, as an import with a conflict leaves it.
        if (firm)
            window->findChild<QWidget *>(QStringLiteral("FirmConflictsNote"))
                ->parentWidget()
                ->show();
        return window;
    }
    if (which == u"manual")
        owned = std::make_unique<ManualMaterialDialog>();
    if (which == u"editor") {
        norms::firm::Draft draft;
        draft.code = QStringLiteral("ФН-06-01-001-02");
        draft.origin = QStringLiteral("ГЭСН 06-01-001-02");
        owned = std::make_unique<FirmNormEditor>(
            draft, [](const QString &) { return false; },
            [](const norms::firm::Draft &) { return true; });
    }
    if (which == u"history")
        owned = std::make_unique<FirmHistoryView>(QStringLiteral("ФН-06-01-001-02"));
    if (which == u"conflicts") {
        norms::firm::Conflict conflict;
        conflict.code = QStringLiteral("ФН-06-01-001-02");
        conflict.file = QStringLiteral("firm.xml");
        owned = std::make_unique<FirmConflictsDialog>(QList<norms::firm::Conflict>{conflict});
    }
    if (which == u"estimate") {
        open(QStringLiteral("bill"), owned)
            ->findChild<QAbstractButton *>(QStringLiteral("BillEstimate"))
            ->click();
        return m_driver->window().estimateControl().window();
    }
    if (which == u"rates") {
        norms.showRateTables();
        return norms.rateTablesWindow();
    }
    if (which == u"row") {
        importFootings();
        owned = std::make_unique<RowNormDialog>(
            RowNormRequest{nullptr,
                           &norms.base(),
                           QStringLiteral("Гвозди строительные 100 мм"),
                           QStringLiteral("фундамент"),
                           {},
                           std::nullopt});
    }
    return owned.get();
}

void WindowTextsTest::everyWindowHasOneMnemonicPerKey()
{
    QFETCH(QString, which);
    QFETCH(int, place);
    std::unique_ptr<QWidget> owned;
    QWidget *window = &m_driver->window();
    if (which == u"main")
        m_driver->clickNode(place);
    else
        window = open(which, owned);
    QVERIFY(window);
    window->show();
    const QStringList found = windowCollisions(window);
    QVERIFY2(found.isEmpty(), qPrintable(found.join(u'\n')));
}

void WindowTextsTest::codeColumnsHoldAWholeCode_data()
{
    QTest::addColumn<QString>("which");
    QTest::addColumn<int>("columns"); // «Код» columns shown
    QTest::newRow("bill: totals and hours") << "bill" << 2;
    QTest::newRow("norms: found norms and resources") << "federal" << 2;
    QTest::newRow("firm norm editor") << "editor" << 1;
    QTest::newRow("firm norm's history") << "history" << 1;
    QTest::newRow("norm of a page's row: norms and resources") << "row" << 2;
}

void WindowTextsTest::codeColumnsHoldAWholeCode()
{
    QFETCH(QString, which);
    QFETCH(int, columns);
    std::unique_ptr<QWidget> owned;
    QWidget *window = open(which, owned);
    QVERIFY(window);
    window->show();
    int found = 0;
    for (const QAbstractItemView *view : window->findChildren<QAbstractItemView *>()) {
        const QHeaderView *header = qobject_cast<const QTableView *>(view)
                                        ? qobject_cast<const QTableView *>(view)->horizontalHeader()
                                    : qobject_cast<const QTreeView *>(view)
                                        ? qobject_cast<const QTreeView *>(view)->header()
                                        : nullptr;
        if (!header || !view->isVisibleTo(window))
            continue;
        for (int column = 0; column < header->count(); ++column) {
            if (header->model()->headerData(column, Qt::Horizontal).toString() != u"Код" ||
                header->isSectionHidden(column))
                continue;
            ++found;
            // The room of the first code at the deepest level, past a tree's indentation; a
            // list still empty has its column's.
            int room = header->sectionSize(column);
            const QAbstractItemModel *model = view->model();
            for (QModelIndex parent; model->rowCount(parent) > 0;
                 parent = model->index(0, 0, parent))
                room = view->visualRect(model->index(0, column, parent)).width();
            // The cell's text has a few pixels of padding on either side.
            for (const QString code :
                 {QStringLiteral("01.7.15.06-0111"), QStringLiteral("ФН-06-01-001-02")})
                QVERIFY2(room >= view->fontMetrics().horizontalAdvance(code) + 12,
                         qPrintable(view->objectName() + u' ' + code));
        }
    }
    QCOMPARE(found, columns);
}

QTEST_MAIN(WindowTextsTest)
#include "tst_windowtexts.moc"
