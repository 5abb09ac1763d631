#include "billwindow.h"

#include "billbook.h"
#include "billbutton.h"
#include "billheadform.h"
#include "billhoursbox.h"
#include "billmodels.h"
#include "billpricebar.h"
#include "billreadings.h"
#include "billtable.h"
#include "billtexts.h"
#include "cataloguelinks.h"
#include "common/accessiblewindow.h"
#include "common/closingkeys.h"
#include "common/codecolumn.h"
#include "common/errorreport.h"
#include "common/pendingedits.h"
#include "common/settings.h"
#include "common/undoactions.h"
#include "manualmaterialdialog.h"
#include "vorpanel.h"

#include <QAction>
#include <QCloseEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QSettings>
#include <QShowEvent>
#include <QSplitter>
#include <QTabWidget>
#include <QToolButton>
#include <QUndoStack>
#include <QVBoxLayout>

#include <algorithm>
#include <memory>

namespace {

// What a new window shows of each table before it scrolls.
constexpr int kFirstRows = 10;

const QString kGeometryKey = QStringLiteral("billWindow/geometry");
const QString kSplitterKey = QStringLiteral("billWindow/splitter");
const QString kVorShownKey = QStringLiteral("billWindow/vorShown");

QString widthsKey(const QTableView *table)
{
    return QStringLiteral("billWindow/widths") + table->objectName();
}

// Tight margins inside the boxes: on a small screen every line of the tables counts.
void tighten(QLayout *layout)
{
    layout->setContentsMargins(4, 2, 4, 2);
    layout->setSpacing(2);
}

} // namespace

BillWindow::BillWindow(BillBook &book, BillReadings &readings, BillFiles &files, QWidget *parent)
    : QWidget(parent, Qt::Window), m_book(book), m_readings(readings), m_files(files),
      m_entriesModel(new EntriesModel(book, readings, this)),
      m_totalsModel(new TotalsModel(book, readings, this))
{
    presentAsWindow(this);
    setObjectName(QStringLiteral("BillWindow"));
    m_files.setDialogParent(this);
    m_now = [] {
        return QDateTime::currentDateTime();
    };

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    // The boxes have frames of their own to part them.
    layout->setSpacing(2);
    layout->addWidget(createCommands());
    layout->addWidget(createSheets());

    m_splitter = new QSplitter(Qt::Vertical, this);
    m_splitter->setObjectName(QStringLiteral("BillSplitter"));
    m_splitter->setChildrenCollapsible(false);
    m_splitter->setHandleWidth(4);
    createEntries(m_splitter);
    createTotals(m_splitter);
    m_hours = new BillHoursBox(book, readings, m_splitter);
    tighten(m_hours->layout());
    m_splitter->setStretchFactor(0, 1);
    m_splitter->setStretchFactor(1, 1);
    m_splitter->setStretchFactor(2, 0);
    layout->addWidget(m_splitter, 1);

    auto *remove = new QAction(QStringLiteral("Удалить запись"), m_entries);
    remove->setShortcut(QKeySequence::Delete);
    remove->setShortcutContext(Qt::WidgetShortcut);
    connect(remove, &QAction::triggered, this, &BillWindow::removeSelectedEntries);
    m_entries->addAction(remove);
    new CatalogueLinks(book, readings, m_totals);
    addClosingKeys(this);
    m_vor->attachEntries(m_entries, m_head);

    for (BillTable *table : {m_entries, m_totals, m_hours->table()}) {
        connect(qobject_cast<BillTableModel *>(table->model()), &BillTableModel::refused, table,
                &BillTable::showProblem);
    }
    connect(&book, &BillBook::entriesChanged, this, &BillWindow::showTotals);
    connect(&book, &BillBook::entryChanged, this, &BillWindow::showTotals);
    connect(&book, &BillBook::termsChanged, this, &BillWindow::showTotals);
    connect(&book, &BillBook::documentChanged, this, &BillWindow::showDocument);
    connect(&readings, &BillReadings::resourcesChanged, this, &BillWindow::showTotals);
    // The tables paint the bill; what is typed into them, the book takes.
    connect(m_entriesModel, &EntriesModel::countEdited, &book, &BillBook::setCount);
    connect(m_entriesModel, &EntriesModel::noteEdited, &book, &BillBook::setNote);
    connect(m_entriesModel, &EntriesModel::entryEdited, &book, &BillBook::setEntry);
    connect(m_totalsModel, &TotalsModel::termsEdited, &book, &BillBook::setTerms);
    showTotals();
    showDocument();
    m_files.setSaveCheck([this] { return dateTaken(); });
    m_files.setPendingEdits([this] { return takePendingEdits(); });
    restoreLayout();
    // The entries are what the window is opened for; the head is filled once.
    m_entries->setFocus();
}

BillWindow::~BillWindow()
{
    m_files.setSaveCheck({});
    m_files.setPendingEdits({});
}

QWidget *BillWindow::createCommands()
{
    auto *bar = new QWidget(this);
    auto *line = new QHBoxLayout(bar);
    line->setContentsMargins(0, 0, 0, 0);
    const Command commands[] = {
        {"BillNew", "Со&здать", [this] { m_files.newBill(); }, QKeySequence(Qt::CTRL | Qt::Key_N)},
        {"BillOpen", "&Открыть...", [this] { m_files.openBill(); },
         QKeySequence(Qt::CTRL | Qt::Key_O)},
        {"BillSave", "&Сохранить", [this] { m_files.save(); }, QKeySequence(Qt::CTRL | Qt::Key_S)},
        {"BillSaveAs", "Сохранить &как...", [this] { m_files.saveAs(); },
         QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S)},
    };
    for (const Command &command : commands)
        line->addWidget(commandButton(command, bar));
    line->addWidget(createExports(bar));
    line->addStretch(1);
    // The bill of quantities' fields are for those who send one to expertise: a tab beside the
    // head's once asked for, so that the entries and totals keep the room on a small screen.
    m_vorToggle = new QToolButton(bar);
    m_vorToggle->setObjectName(QStringLiteral("BillVorToggle"));
    m_vorToggle->setText(QStringLiteral("ВОР: разделы, документы, основания"));
    m_vorToggle->setToolTip(QStringLiteral("Поля ведомости объемов работ для экспертизы (.gge)"));
    m_vorToggle->setCheckable(true);
    m_vorToggle->setAutoRaise(true);
    m_vorToggle->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    line->addWidget(m_vorToggle);
    return bar;
}

QWidget *BillWindow::createExports(QWidget *parent)
{
    auto *group = new QWidget(parent);
    group->setObjectName(QStringLiteral("BillExports"));
    auto *line = new QHBoxLayout(group);
    line->setContentsMargins(0, 0, 0, 0);
    // A rule between keeping the bill and writing it out in other forms.
    auto *rule = new QFrame(group);
    rule->setFrameShape(QFrame::VLine);
    rule->setFrameShadow(QFrame::Sunken);
    line->addWidget(rule);
    const Command exports[] = {
        {"BillExportXlsx", "&Экспорт в XLSX...", [this] { m_files.exportXlsx(); }, {}},
        {"BillExportCsv", "Экспорт в C&SV...", [this] { m_files.exportCsv(); }, {}},
        {"BillPrint", "&Печать...", [this] { m_files.print(); },
         QKeySequence(Qt::CTRL | Qt::Key_P)},
        {"BillPdf", "В P&DF...", [this] { m_files.exportPdf(); }, {}},
        {"BillEstimate", "С&мета (ЛСР)...", [this] { emit estimateRequested(); }, {}},
    };
    for (const Command &command : exports)
        line->addWidget(commandButton(command, group));
    return group;
}

QPushButton *BillWindow::commandButton(const Command &command, QWidget *bar)
{
    QPushButton *push = billButton(command.name, QString::fromUtf8(command.caption), bar);
    QString tip = push->text().remove(u'&');
    if (!command.shortcut.isEmpty()) {
        // The key works wherever the focus is in the window.
        auto *action = new QAction(tip, this);
        action->setShortcut(command.shortcut);
        connect(action, &QAction::triggered, this, command.operation);
        addAction(action);
        tip += QStringLiteral(" (%1)").arg(command.shortcut.toString(QKeySequence::NativeText));
    }
    push->setToolTip(tip);
    connect(push, &QPushButton::clicked, this, command.operation);
    return push;
}

QWidget *BillWindow::createSheets()
{
    m_sheets = new QTabWidget(this);
    m_sheets->setObjectName(QStringLiteral("BillSheets"));
    m_sheets->setDocumentMode(true);
    // Tab goes from the commands straight into the fields; Ctrl+Tab turns the tabs.
    m_sheets->tabBar()->setFocusPolicy(Qt::NoFocus);
    m_head = new BillHeadForm(m_book, this);
    tighten(m_head->layout());
    m_sheets->addTab(m_head, QStringLiteral("Шапка ведомости"));
    m_vor = new VorPanel(m_book, m_files, this);
    tighten(m_vor->layout());
    connect(m_vorToggle, &QToolButton::toggled, this, &BillWindow::unfoldVorPanel);
    connect(m_vor, &VorPanel::revealRequested, m_vorToggle, [this] {
        m_vorToggle->setChecked(true);
        m_sheets->setCurrentWidget(m_vor);
    });
    connect(m_head, &BillHeadForm::revealRequested, m_sheets,
            [this] { m_sheets->setCurrentWidget(m_head); });
    showVorPanel(false);
    return m_sheets;
}

QWidget *BillWindow::createEntryButtons()
{
    auto *bar = new QWidget(this);
    auto *line = new QHBoxLayout(bar);
    line->setContentsMargins(0, 0, 0, 0);
    line->addWidget(billCaption(QStringLiteral("Записи"), bar));
    line->addSpacing(12);
    QPushButton *remove = billButton("BillRemoveEntry", QStringLiteral("&Удалить запись"), bar);
    remove->setToolTip(QStringLiteral("Удалить выбранные записи (Delete)"));
    connect(remove, &QPushButton::clicked, this, &BillWindow::removeSelectedEntries);
    QPushButton *manual = billButton("BillAddManual", QStringLiteral("Добавить материа&л..."), bar);
    manual->setToolTip(QStringLiteral("Материал, которого нет в расчетах, например гвозди"));
    connect(manual, &QPushButton::clicked, this, &BillWindow::addManualMaterial);
    const undoactions::Actions undo = undoactions::add(m_book.undoStack(), this);
    QPushButton *back = billButton("BillUndo", QStringLiteral("Отм&енить"), bar);
    QPushButton *again = billButton("BillRedo", QStringLiteral("Пов&торить"), bar);
    undoactions::follow(back, undo.undo);
    undoactions::follow(again, undo.redo);
    for (QWidget *widget : {static_cast<QWidget *>(remove), static_cast<QWidget *>(manual),
                            static_cast<QWidget *>(back), static_cast<QWidget *>(again)})
        line->addWidget(widget);
    line->addStretch(1);
    return bar;
}

QWidget *BillWindow::createEntries(QWidget *parent)
{
    auto *box = billBox(parent);
    auto *layout = new QVBoxLayout(box);
    tighten(layout);
    // Made before the table, so that Tab meets them in the order they are seen.
    QWidget *buttons = createEntryButtons();
    m_entries = new BillTable(QStringLiteral("BillEntries"), m_entriesModel, box);
    m_entries->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_entries->setEditTriggers(QAbstractItemView::DoubleClicked |
                               QAbstractItemView::EditKeyPressed |
                               QAbstractItemView::AnyKeyPressed);
    const int widths[] = {105, 220, 55, 250, 300};
    for (int column = 0; column < int(std::size(widths)); ++column)
        m_entries->setColumnWidth(column, widths[column]);
    layout->addWidget(buttons);
    layout->addWidget(m_entries);
    return box;
}

QWidget *BillWindow::createTotals(QWidget *parent)
{
    auto *box = billBox(parent);
    auto *layout = new QVBoxLayout(box);
    tighten(layout);
    m_totals = new BillTable(QStringLiteral("BillTotals"), m_totalsModel, box);
    m_totals->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                              QAbstractItemView::AnyKeyPressed);
    const int widths[] = {190, 40, 80, 60, 75, 75, 60, 65, 110, 130};
    for (int column = 0; column < int(std::size(widths)); ++column)
        m_totals->setColumnWidth(column, widths[column]);
    m_totals->setColumnWidth(TotalsModel::CodeColumn,
                             codecolumn::width(m_totals, codecolumn::kResourceSample));
    m_totals->setColumnWidth(TotalsModel::CatalogueColumn, 120);
    layout->addWidget(m_totals);
    auto *footer = new QHBoxLayout;
    m_unrated = new QLabel(box);
    m_unrated->setObjectName(QStringLiteral("BillUnrated"));
    m_grandTotal = new QLabel(box);
    m_grandTotal->setObjectName(QStringLiteral("BillGrandTotal"));
    QFont bold = m_grandTotal->font();
    bold.setBold(true);
    m_grandTotal->setFont(bold);
    m_grandTotal->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    footer->addWidget(billCaption(QStringLiteral("Итоги"), box));
    footer->addSpacing(12);
    footer->addWidget(m_unrated);
    // The prices' index and fill share the line of the sums, so that the tables keep their room.
    footer->addSpacing(16);
    m_prices = new BillPriceBar(m_book, m_readings, box);
    footer->addWidget(m_prices);
    footer->addStretch(1);
    footer->addWidget(m_grandTotal);
    layout->addLayout(footer);
    return box;
}

QString BillWindow::grandTotalText() const
{
    return billtexts::grandTotalText(m_book.totals());
}

void BillWindow::showTotals()
{
    m_grandTotal->setText(grandTotalText());
    m_unrated->setText(billtexts::unratedText(m_book.totals()));
    m_unrated->setToolTip(billtexts::unratedNames(m_book.totals()));
    // The code reads before the name, as a norm lists its resources. The header forgets where
    // a section was moved when its model is reset, so the place is given anew each time.
    QHeaderView *header = m_totals->horizontalHeader();
    if (const int place = header->visualIndex(TotalsModel::CodeColumn); place > 0)
        header->moveSection(place, 0);
    m_totals->setColumnHidden(TotalsModel::CodeColumn, !billtexts::hasCodes(m_book.totals()));
    // The catalogue's prices show only where there is a catalogue.
    const bool catalogue = m_readings.hasCatalogue();
    m_totals->setColumnHidden(TotalsModel::CatalogueColumn, !catalogue);
    m_hours->showTotals(catalogue);
}

bool BillWindow::takePendingEdits()
{
    pendingedits::commitCellEditors(this);
    const bool dateRead = m_head->take();
    m_prices->takePending();
    m_vor->takeHead();
    return dateRead;
}

bool BillWindow::dateTaken()
{
    if (takePendingEdits())
        return true;
    errorreport::show(QStringLiteral("Дата «%1» не прочитана: нужны день, месяц и год, например "
                                     "07.12.2026. Исправьте ее или очистите поле")
                          .arg(m_head->dateText()),
                      this);
    // Asked for from elsewhere (quitting with changes), the window shows the field to correct.
    show();
    raise();
    activateWindow();
    m_head->focusField(QStringLiteral("date"));
    return false;
}

void BillWindow::showVorPanel(bool shown)
{
    m_vorToggle->setArrowType(shown ? Qt::DownArrow : Qt::RightArrow);
    m_vorToggle->setChecked(shown);
    const int place = m_sheets->indexOf(m_vor);
    if (shown && place < 0) {
        m_sheets->addTab(m_vor, QStringLiteral("ВОР для экспертизы"));
        m_sheets->setCurrentWidget(m_vor);
    } else if (!shown) {
        if (place >= 0)
            m_sheets->removeTab(place);
        // Out of the tabs it is a child of the window only.
        m_vor->hide();
    }
}

void BillWindow::unfoldVorPanel(bool shown)
{
    showVorPanel(shown);
    if (!shown)
        return;
    // Its fields need more room than a bill's head: the window grows, within the screen, to keep
    // the tables' first rows in view.
    const int high = firstSize().height();
    const int wide = std::min(sizeHint().width(), screenRoom().width());
    resize(std::max(width(), wide), std::max(height(), high));
}

void BillWindow::showDocument()
{
    setWindowTitle(m_book.displayName() + QStringLiteral("[*] — Ведомость материалов — Мерилон 3"));
    setWindowModified(m_book.isModified());
}

void BillWindow::removeSelectedEntries()
{
    QList<int> rows;
    for (const QModelIndex &index : m_entries->selectionModel()->selectedRows())
        rows.append(index.row());
    if (rows.isEmpty() && m_entries->currentIndex().isValid())
        rows.append(m_entries->currentIndex().row());
    if (!rows.isEmpty())
        m_book.remove(rows);
}

void BillWindow::addManualMaterial()
{
    auto *dialog = new ManualMaterialDialog(this);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    connect(dialog, &QDialog::accepted, this, [this, dialog] {
        if (const std::optional<bom::Entry> entry = dialog->entry(m_now()))
            m_book.add(*entry);
    });
    dialog->open();
}

QSize BillWindow::firstSize() const
{
    // Wide enough for every column of the totals, the code's too when a norm brings it, beside
    // the margins of the window and of its box.
    int columns = m_totals->verticalHeader()->sizeHint().width() + 2 * m_totals->frameWidth() +
                  m_totals->verticalScrollBar()->sizeHint().width();
    for (int column = 0; column < m_totals->model()->columnCount(); ++column)
        columns += column == TotalsModel::CodeColumn
                       ? codecolumn::width(m_totals, codecolumn::kResourceSample)
                       : m_totals->columnWidth(column);
    const QMargins outer = layout()->contentsMargins();
    const QMargins inner = m_totals->parentWidget()->layout()->contentsMargins();
    const int wide = columns + outer.left() + outer.right() + inner.left() + inner.right() + 8;
    const QSize room = screenRoom();
    const int shownWidth = std::min(std::max(wide, 1000), room.width());
    // Each table as high as its header and the first rows, and its scroll bar when the columns
    // do not fit.
    // The entries' columns (the work, its volume, formula and references) never all fit.
    const int scrollBarHigh = m_totals->horizontalScrollBar()->sizeHint().height();
    for (BillTable *table : {m_entries, m_totals}) {
        const bool scrolls = table == m_entries || shownWidth < wide;
        table->setMinimumHeight(table->horizontalHeader()->sizeHint().height() +
                                kFirstRows * table->verticalHeader()->defaultSectionSize() +
                                (scrolls ? scrollBarHigh : 0) + 2 * table->frameWidth() + 2);
    }
    const int high = minimumSizeHint().height();
    m_firstSplit.clear();
    for (BillTable *table : {m_entries, m_totals}) {
        m_firstSplit.append(table->parentWidget()->minimumSizeHint().height());
        table->setMinimumHeight(0);
    }
    return QSize(shownWidth, std::min(high, room.height()));
}

QSize BillWindow::screenRoom() const
{
    // The window's frame and title take some of the screen.
    return screen() ? screen()->availableGeometry().size() - QSize(16, 40) : QSize(1350, 728);
}

void BillWindow::restoreLayout()
{
    const std::unique_ptr<QSettings> store = programSettings();
    if (!restoreGeometry(store->value(kGeometryKey).toByteArray()))
        resize(firstSize());
    // At first the entries and the totals share the room as their first rows need it.
    if (!m_splitter->restoreState(store->value(kSplitterKey).toByteArray()) &&
        !m_firstSplit.isEmpty())
        m_splitter->setSizes(m_firstSplit);
    showVorPanel(store->value(kVorShownKey, false).toBool());
    for (BillTable *table : {m_entries, m_totals, m_hours->table()}) {
        const QVariantList widths = store->value(widthsKey(table)).toList();
        // The last column stretches; a width kept for a column no longer there is left.
        for (int column = 0;
             column < std::min<int>(int(widths.size()), table->model()->columnCount() - 1);
             ++column)
            if (const int width = widths.at(column).toInt(); width > 0)
                table->setColumnWidth(column, width);
    }
}

void BillWindow::saveLayout() const
{
    const std::unique_ptr<QSettings> store = programSettings();
    store->setValue(kGeometryKey, saveGeometry());
    store->setValue(kSplitterKey, m_splitter->saveState());
    store->setValue(kVorShownKey, m_vorToggle->isChecked());
    for (const BillTable *table : {m_entries, m_totals, m_hours->table()}) {
        const QVariantList kept = store->value(widthsKey(table)).toList();
        QVariantList widths;
        for (int column = 0; column < table->model()->columnCount(); ++column) {
            // A hidden column keeps the width it had when last shown.
            const int width = table->isColumnHidden(column) ? kept.value(column).toInt()
                                                            : table->columnWidth(column);
            widths.append(width);
        }
        store->setValue(widthsKey(table), widths);
    }
}

void BillWindow::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    if (!event->spontaneous())
        m_entries->setFocus();
}

void BillWindow::closeEvent(QCloseEvent *event)
{
    // The window goes, the bill stays: with what was being typed in it.
    takePendingEdits();
    QWidget::closeEvent(event);
}

void BillWindow::hideEvent(QHideEvent *event)
{
    QWidget::hideEvent(event);
    if (!event->spontaneous())
        saveLayout();
}
