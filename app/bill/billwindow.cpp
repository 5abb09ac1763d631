#include "billwindow.h"

#include "billbook.h"
#include "billbutton.h"
#include "billcsv.h"
#include "billfile.h"
#include "billmodels.h"
#include "billprint.h"
#include "billtable.h"
#include "billtexts.h"
#include "billxlsx.h"
#include "cataloguelinkdialog.h"
#include "common/accessiblewindow.h"
#include "common/closingkeys.h"
#include "common/codecolumn.h"
#include "common/errorreport.h"
#include "common/pendingedits.h"
#include "common/settings.h"
#include "manualmaterialdialog.h"
#include "pricecatalogue.h"
#include "vorpanel.h"

#include <QAction>
#include <QCloseEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QSettings>
#include <QShowEvent>
#include <QSplitter>
#include <QToolButton>
#include <QUndoStack>
#include <QVBoxLayout>

#include <algorithm>
#include <memory>

namespace {

const QString kIndexTip =
    QStringLiteral("Во сколько раз нынешние цены выше цен ФСБЦ на 01.01.2022, например 9,12");

// A date as the head shows and takes it; an empty field is no date.
const QString kDateFormat = QStringLiteral("dd.MM.yyyy");
const QString kDateReason = QStringLiteral("Дата — день, месяц и год, например 07.12.2026");

// What a new window shows of each table before it scrolls.
constexpr int kFirstRows = 10;

const QString kGeometryKey = QStringLiteral("billWindow/geometry");
const QString kSplitterKey = QStringLiteral("billWindow/splitter");
const QString kVorShownKey = QStringLiteral("billWindow/vorShown");

QString widthsKey(const QTableView *table)
{
    return QStringLiteral("billWindow/widths") + table->objectName();
}

} // namespace

BillWindow::BillWindow(BillBook &book, BillFiles &files, QWidget *parent)
    : QWidget(parent, Qt::Window), m_book(book), m_files(files),
      m_entriesModel(new EntriesModel(book, this)), m_totalsModel(new TotalsModel(book, this)),
      m_hoursModel(new HoursModel(book, this))
{
    presentAsWindow(this);
    setObjectName(QStringLiteral("BillWindow"));
    m_files.setDialogParent(this);
    m_headingTexts = [] {
        const QDateTime now = QDateTime::currentDateTime();
        return std::pair{now.toString(QStringLiteral("dd.MM.yyyy")),
                         now.toString(QStringLiteral("hh:mm:ss"))};
    };
    m_now = [] {
        return QDateTime::currentDateTime();
    };

    auto *layout = new QVBoxLayout(this);
    // The boxes have frames and titles of their own to part them.
    layout->setSpacing(2);
    layout->addWidget(createButtons());
    layout->addWidget(createHead());
    m_vor = new VorPanel(book, files, this);
    m_vor->setTitle(QString());
    layout->addWidget(m_vor);
    connect(m_vorToggle, &QToolButton::toggled, this, &BillWindow::showVorPanel);
    connect(m_vor, &VorPanel::revealRequested, m_vorToggle,
            [this] { m_vorToggle->setChecked(true); });
    showVorPanel(false);

    auto *splitter = new QSplitter(Qt::Vertical, this);
    m_splitter = splitter;
    splitter->setObjectName(QStringLiteral("BillSplitter"));
    splitter->setChildrenCollapsible(false);
    auto *entriesBox = new QGroupBox(QStringLiteral("Записи"), splitter);
    auto *entriesLayout = new QVBoxLayout(entriesBox);
    // Made before the table, so that Tab meets them in the order they are seen.
    QWidget *entryButtons = createEntryButtons();
    m_entries = new BillTable(QStringLiteral("BillEntries"), m_entriesModel, entriesBox);
    m_entries->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_entries->setEditTriggers(QAbstractItemView::DoubleClicked |
                               QAbstractItemView::EditKeyPressed |
                               QAbstractItemView::AnyKeyPressed);
    const int entryWidths[] = {105, 220, 55, 250, 300};
    for (int column = 0; column < int(std::size(entryWidths)); ++column)
        m_entries->setColumnWidth(column, entryWidths[column]);
    entriesLayout->addWidget(entryButtons);
    entriesLayout->addWidget(m_entries);

    auto *totalsBox = new QGroupBox(QStringLiteral("Итоги"), splitter);
    auto *totalsLayout = new QVBoxLayout(totalsBox);
    m_totals = new BillTable(QStringLiteral("BillTotals"), m_totalsModel, totalsBox);
    m_totals->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                              QAbstractItemView::AnyKeyPressed);
    const int widths[] = {190, 40, 80, 60, 75, 75, 60, 65, 110, 130};
    for (int column = 0; column < int(std::size(widths)); ++column)
        m_totals->setColumnWidth(column, widths[column]);
    m_totals->setColumnWidth(TotalsModel::CodeColumn,
                             codecolumn::width(m_totals, codecolumn::kResourceSample));
    m_totals->setColumnWidth(TotalsModel::CatalogueColumn, 120);
    totalsLayout->addWidget(m_totals);
    auto *footer = new QHBoxLayout;
    m_unrated = new QLabel(totalsBox);
    m_unrated->setObjectName(QStringLiteral("BillUnrated"));
    m_grandTotal = new QLabel(totalsBox);
    m_grandTotal->setObjectName(QStringLiteral("BillGrandTotal"));
    QFont bold = m_grandTotal->font();
    bold.setBold(true);
    m_grandTotal->setFont(bold);
    m_grandTotal->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    footer->addWidget(m_unrated);
    // The prices' index and fill share the line of the sums, so that the tables keep their room.
    footer->addSpacing(16);
    footer->addWidget(createPrices(totalsBox));
    footer->addStretch(1);
    footer->addWidget(m_grandTotal);
    totalsLayout->addLayout(footer);
    m_hoursBox = createHours(splitter);
    splitter->setStretchFactor(0, 1);
    splitter->setStretchFactor(1, 1);
    splitter->setStretchFactor(2, 0);
    layout->addWidget(splitter, 1);
    createActions();
    m_vor->attachEntries(m_entries, m_headFields);

    for (BillTable *table : {m_entries, m_totals, m_hours}) {
        connect(qobject_cast<BillTableModel *>(table->model()), &BillTableModel::refused, table,
                &BillTable::showProblem);
    }
    connect(&book, &BillBook::entriesChanged, this, &BillWindow::showTotals);
    connect(&book, &BillBook::entryChanged, this, &BillWindow::showTotals);
    connect(&book, &BillBook::termsChanged, this, &BillWindow::showTotals);
    connect(&book, &BillBook::headChanged, this, &BillWindow::showHead);
    connect(&book, &BillBook::documentChanged, this, &BillWindow::showDocument);
    connect(&book, &BillBook::contentChanged, this, &BillWindow::showPriceIndex);
    connect(m_totals->selectionModel(), &QItemSelectionModel::currentChanged, this,
            &BillWindow::updateLinkActions);
    connect(m_totalsModel, &QAbstractItemModel::modelReset, this, &BillWindow::updateLinkActions);
    showTotals();
    showPriceIndex();
    updateLinkActions();
    showHead();
    showDocument();
    m_files.setSaveCheck([this] { return dateTaken(); });
    m_files.setPendingEdits([this] { return takePendingEdits(); });
    restoreLayout();
    // The entries are what the window is opened for; the head is filled once.
    m_entries->setFocus();
}

BillWindow::~BillWindow()
{
    // A head field that has the focus finishes its editing while the window's children go,
    // after the list of fields has gone.
    for (QLineEdit *field : std::as_const(m_headFields))
        field->disconnect(this);
    m_date->disconnect(this);
    m_priceIndex->disconnect(this);
    m_files.setSaveCheck({});
    m_files.setPendingEdits({});
}

QWidget *BillWindow::createButtons()
{
    auto *bar = new QWidget(this);
    auto *line = new QHBoxLayout(bar);
    line->setContentsMargins(0, 0, 0, 0);
    const struct
    {
        const char *name;
        const char *caption;
        void (BillWindow::*operation)();
        QKeySequence shortcut;
    } buttons[] = {
        {"BillNew", "Со&здать", &BillWindow::newBill, QKeySequence(Qt::CTRL | Qt::Key_N)},
        {"BillOpen", "&Открыть...", &BillWindow::openBill, QKeySequence(Qt::CTRL | Qt::Key_O)},
        {"BillSave", "&Сохранить", &BillWindow::saveBill, QKeySequence(Qt::CTRL | Qt::Key_S)},
        {"BillSaveAs", "Сохранить &как...", &BillWindow::saveBillAs,
         QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S)},
        {"BillExportXlsx", "&Экспорт в XLSX...", &BillWindow::exportXlsx, QKeySequence()},
        {"BillExportCsv", "Экспорт в C&SV...", &BillWindow::exportCsv, QKeySequence()},
        {"BillPrint", "&Печать...", &BillWindow::printBill, QKeySequence(Qt::CTRL | Qt::Key_P)},
        {"BillPdf", "В P&DF...", &BillWindow::saveAsPdf, QKeySequence()},
        {"BillEstimate", "С&мета (ЛСР)...", &BillWindow::openEstimate, QKeySequence()},
    };
    for (const auto &entry : buttons) {
        QPushButton *push = billButton(entry.name, QString::fromUtf8(entry.caption), bar);
        QString tip = push->text().remove(u'&');
        if (!entry.shortcut.isEmpty()) {
            auto *action = new QAction(tip, this);
            action->setShortcut(entry.shortcut);
            connect(action, &QAction::triggered, this, entry.operation);
            addAction(action);
            tip += QStringLiteral(" (%1)").arg(entry.shortcut.toString(QKeySequence::NativeText));
        }
        push->setToolTip(tip);
        connect(push, &QPushButton::clicked, this, entry.operation);
        line->addWidget(push);
    }
    line->addStretch(1);
    // The bill of quantities' fields are for those who send one to expertise: folded away until
    // asked for, so that the entries and totals keep the room on a small screen.
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

QWidget *BillWindow::createHead()
{
    auto *box = new QGroupBox(QStringLiteral("Шапка ведомости"), this);
    box->setObjectName(QStringLiteral("BillHead"));
    auto *grid = new QGridLayout(box);
    const QStringList captions = billtexts::headCaptions();
    const char *const names[] = {"BillObject", "BillCustomer", "BillAddress", "BillCompiledBy",
                                 "BillCheckedBy"};
    // Each letter's key is the only one of its kind in the window, in either keyboard layout.
    const char *const mnemonics[] = {
        "О&бъект:", "Заказ&чик:", "&Адрес:", "Состав&ил:", "П&роверил:"};
    // Two lines, so that the entries and the totals keep the height: the object, its customer and
    // address; the people and the date.
    const struct
    {
        int row, column, span;
    } places[] = {{0, 0, 1}, {0, 2, 1}, {0, 4, 1}, {1, 0, 1}, {1, 2, 1}};
    for (int i = 0; i < int(std::size(names)); ++i) {
        auto *edit = new QLineEdit(box);
        edit->setObjectName(QString::fromLatin1(names[i]));
        edit->setAccessibleName(captions.at(i));
        auto *label = new QLabel(QString::fromUtf8(mnemonics[i]), box);
        label->setBuddy(edit);
        grid->addWidget(label, places[i].row, places[i].column);
        grid->addWidget(edit, places[i].row, places[i].column + 1, 1, places[i].span);
        connect(edit, &QLineEdit::editingFinished, this, &BillWindow::takeHead);
        m_headFields.append(edit);
    }
    // A plain field: a date edit keeps Tab for moving between its day, month and year, and one
    // that may be empty never gives it back.
    m_date = new QLineEdit(box);
    m_date->setObjectName(QStringLiteral("BillDate"));
    m_date->setAccessibleName(captions.at(5));
    m_date->setPlaceholderText(QStringLiteral("дд.мм.гггг"));
    m_date->setMaxLength(10);
    m_date->setFixedWidth(m_date->fontMetrics().horizontalAdvance(QStringLiteral("00.00.00000")) +
                          16);
    auto *dateLabel = new QLabel(QStringLiteral("&Дата:"), box);
    dateLabel->setBuddy(m_date);
    grid->addWidget(dateLabel, 1, 4);
    grid->addWidget(m_date, 1, 5, Qt::AlignLeft);
    grid->setColumnStretch(1, 3);
    grid->setColumnStretch(3, 2);
    grid->setColumnStretch(5, 3);
    connect(m_date, &QLineEdit::editingFinished, this, &BillWindow::takeHead);
    // The reason a date was refused, under the field as a refused cell has its own; it lies over
    // what is below, so it belongs to the window, not to the head's box.
    m_dateProblem = new QLabel(this);
    m_dateProblem->setObjectName(QStringLiteral("BillDateProblem"));
    m_dateProblem->setAutoFillBackground(true);
    m_dateProblem->setFrameShape(QFrame::Box);
    m_dateProblem->setMargin(4);
    m_dateProblem->setForegroundRole(QPalette::ToolTipText);
    m_dateProblem->setBackgroundRole(QPalette::ToolTipBase);
    m_dateProblem->hide();
    return box;
}

QWidget *BillWindow::createEntryButtons()
{
    auto *bar = new QWidget(this);
    auto *line = new QHBoxLayout(bar);
    line->setContentsMargins(0, 0, 0, 0);
    QPushButton *remove = billButton("BillRemoveEntry", QStringLiteral("&Удалить запись"), bar);
    remove->setToolTip(QStringLiteral("Удалить выбранные записи (Delete)"));
    connect(remove, &QPushButton::clicked, this, &BillWindow::removeSelectedEntries);
    QPushButton *manual = billButton("BillAddManual", QStringLiteral("Добавить материа&л..."), bar);
    manual->setToolTip(QStringLiteral("Материал, которого нет в расчетах, например гвозди"));
    connect(manual, &QPushButton::clicked, this, &BillWindow::addManualMaterial);
    QUndoStack *undo = m_book.undoStack();
    QPushButton *back = billButton("BillUndo", QStringLiteral("Отм&енить"), bar);
    QPushButton *again = billButton("BillRedo", QStringLiteral("Пов&торить"), bar);
    back->setEnabled(undo->canUndo());
    again->setEnabled(undo->canRedo());
    connect(back, &QPushButton::clicked, undo, &QUndoStack::undo);
    connect(again, &QPushButton::clicked, undo, &QUndoStack::redo);
    connect(undo, &QUndoStack::canUndoChanged, back, &QWidget::setEnabled);
    connect(undo, &QUndoStack::canRedoChanged, again, &QWidget::setEnabled);
    // The tip names the step it takes back, and only when there is one.
    const auto tip = [](const char *what, const QString &step, const char *keys) {
        return QString::fromUtf8(what) +
               (step.isEmpty() ? QString() : QStringLiteral(": ") + step) +
               QStringLiteral(" (%1)").arg(QString::fromLatin1(keys));
    };
    back->setToolTip(tip("Отменить", undo->undoText(), "Ctrl+Z"));
    again->setToolTip(tip("Повторить", undo->redoText(), "Ctrl+Shift+Z"));
    connect(undo, &QUndoStack::undoTextChanged, back, [back, tip](const QString &text) {
        back->setToolTip(tip("Отменить", text, "Ctrl+Z"));
    });
    connect(undo, &QUndoStack::redoTextChanged, again, [again, tip](const QString &text) {
        again->setToolTip(tip("Повторить", text, "Ctrl+Shift+Z"));
    });
    for (QWidget *widget : {static_cast<QWidget *>(remove), static_cast<QWidget *>(manual),
                            static_cast<QWidget *>(back), static_cast<QWidget *>(again)})
        line->addWidget(widget);
    line->addStretch(1);
    return bar;
}

QGroupBox *BillWindow::createHours(QWidget *parent)
{
    auto *box = new QGroupBox(billtexts::hoursCaption(), parent);
    box->setObjectName(QStringLiteral("BillHoursBox"));
    auto *layout = new QVBoxLayout(box);
    m_hours = new BillTable(QStringLiteral("BillHours"), m_hoursModel, box);
    m_hours->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    // A machine's price is typed like a material's.
    m_hours->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                             QAbstractItemView::AnyKeyPressed);
    // The name takes the room; the figures stay beside it rather than at the far side.
    const int widths[] = {codecolumn::width(m_hours, codecolumn::kResourceSample), 330, 60, 110};
    for (int column = 0; column < int(std::size(widths)); ++column)
        m_hours->setColumnWidth(column, widths[column]);
    m_hours->horizontalHeader()->setStretchLastSection(false);
    m_hours->horizontalHeader()->setSectionResizeMode(billtexts::HoursName, QHeaderView::Stretch);
    layout->addWidget(m_hours);
    auto *sums = new QHBoxLayout;
    m_labourHours = new QLabel(box);
    m_labourHours->setObjectName(QStringLiteral("BillLabourHours"));
    m_machinistHours = new QLabel(box);
    m_machinistHours->setObjectName(QStringLiteral("BillMachinistHours"));
    m_machineHours = new QLabel(box);
    m_machineHours->setObjectName(QStringLiteral("BillMachineHours"));
    sums->addStretch(1);
    sums->addWidget(m_labourHours);
    sums->addSpacing(24);
    sums->addWidget(m_machinistHours);
    sums->addSpacing(24);
    sums->addWidget(m_machineHours);
    m_machineMoney = new QLabel(box);
    m_machineMoney->setObjectName(QStringLiteral("BillMachineMoney"));
    sums->addSpacing(24);
    sums->addWidget(m_machineMoney);
    m_billTotal = new QLabel(box);
    m_billTotal->setObjectName(QStringLiteral("BillTotal"));
    QFont bold = m_billTotal->font();
    bold.setBold(true);
    m_billTotal->setFont(bold);
    sums->addSpacing(24);
    sums->addWidget(m_billTotal);
    layout->addLayout(sums);
    return box;
}

QWidget *BillWindow::createPrices(QWidget *parent)
{
    auto *bar = new QWidget(parent);
    auto *line = new QHBoxLayout(bar);
    line->setContentsMargins(0, 0, 0, 0);
    m_priceIndex = new QLineEdit(bar);
    m_priceIndex->setObjectName(QStringLiteral("BillPriceIndex"));
    m_priceIndex->setAccessibleName(QStringLiteral("Индекс к ценам 01.01.2022"));
    m_priceIndex->setToolTip(kIndexTip);
    m_priceIndex->setFixedWidth(
        m_priceIndex->fontMetrics().horizontalAdvance(QStringLiteral("0000,0000")) + 16);
    auto *label = new QLabel(QStringLiteral("Индекс к &ценам 01.01.2022:"), bar);
    label->setBuddy(m_priceIndex);
    QPushButton *fill = billButton("BillFillPrices", QStringLiteral("Цены из &ФСБЦ"), bar);
    fill->setToolTip(QStringLiteral("Заполнить пустые цены материалов с кодом и машин ценами ФСБЦ "
                                    "× индекс; введенные цены не меняются"));
    connect(fill, &QPushButton::clicked, this, &BillWindow::fillCataloguePrices);
    connect(m_priceIndex, &QLineEdit::editingFinished, this, [this] {
        if (!m_askingIndex)
            takePriceIndex();
    });
    line->addWidget(label);
    line->addWidget(m_priceIndex);
    line->addWidget(fill);
    line->addStretch(1);
    return bar;
}

void BillWindow::showPriceIndex()
{
    const std::optional<double> index = m_book.bill().priceIndex;
    const bom::IndexEdit shown = bom::readPriceIndex(m_priceIndex->text());
    if (shown.refusal || shown.index != index)
        m_priceIndex->setText(index ? bom::quantityText(*index) : QString());
}

std::optional<QString> BillWindow::takePriceIndex()
{
    const bom::IndexEdit edit = bom::readPriceIndex(m_priceIndex->text());
    std::optional<bom::Refusal> refusal = edit.refusal;
    if (!refusal && edit.index != m_book.bill().priceIndex) {
        if (edit.index && *edit.index > bom::kIndexToAsk) {
            m_askingIndex = true;
            const bool goAhead = errorreport::askToGoAhead(
                QStringLiteral("Индекс %1 больше 100: цены ФСБЦ станут в %1 раз выше цен "
                               "01.01.2022. Принять такой индекс?")
                    .arg(m_priceIndex->text().trimmed()),
                QStringLiteral("Принять"), QStringLiteral("Отмена"), this);
            m_askingIndex = false;
            if (!goAhead) {
                // The bill keeps its index, and the field shows it again.
                m_priceIndex->setText(m_book.bill().priceIndex
                                          ? bom::quantityText(*m_book.bill().priceIndex)
                                          : QString());
                return QString();
            }
        }
        refusal = m_book.setPriceIndex(edit.index);
    }
    // A text that cannot be taken stays in its field, in the colours of a refused cell, with the
    // reason in its tooltip; the bill keeps its index.
    QPalette palette = m_priceIndex->parentWidget()->palette();
    if (refusal) {
        palette.setColor(QPalette::Base, QColor(0xb0, 0x1c, 0x1c));
        palette.setColor(QPalette::Text, Qt::white);
    }
    m_priceIndex->setPalette(palette);
    m_priceIndex->setToolTip(refusal ? refusal->reason : kIndexTip);
    if (refusal)
        return refusal->reason;
    return std::nullopt;
}

void BillWindow::fillCataloguePrices()
{
    // A typed index counts even before its field is left.
    if (const std::optional<QString> why = takePriceIndex()) {
        if (!why->isEmpty())
            errorreport::show(*why);
        return;
    }
    if (const std::optional<QString> why = m_book.fillCataloguePrices())
        errorreport::show(*why);
}

void BillWindow::linkCurrentMaterial()
{
    const QModelIndex current = m_totals->currentIndex();
    if (!current.isValid())
        return;
    const bom::Total row = m_book.totals().rows.at(current.row());
    if (row.key.hasCode()) {
        errorreport::show(QStringLiteral("У материала «%1» уже есть код ресурса %2")
                              .arg(row.key.name, row.key.code));
        return;
    }
    if (!m_book.hasCatalogue()) {
        errorreport::show(QStringLiteral("Связать не с чем: в базе норм нет сметных цен. Загрузите "
                                         "«ФСБЦ_Мат&Оборуд.xml» («Действия» → «Загрузить базу "
                                         "норм...»)"));
        return;
    }
    auto *dialog = new CatalogueLinkDialog(row.key, *m_book.catalogue(), this);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    connect(dialog, &QDialog::accepted, this, [this, dialog, key = row.key] {
        if (const std::optional<norms::CatalogueResource> resource = dialog->chosen()) {
            if (const std::optional<bom::Refusal> refusal = m_book.link(key, *resource))
                errorreport::show(refusal->reason);
        }
    });
    dialog->open();
}

void BillWindow::unlinkCurrentMaterial()
{
    const QModelIndex current = m_totals->currentIndex();
    if (current.isValid())
        m_book.unlink(m_book.totals().rows.at(current.row()).linked);
}

void BillWindow::updateLinkActions()
{
    const QModelIndex current = m_totals->currentIndex();
    const bool valid = current.isValid() && current.row() < m_book.totals().rows.size();
    m_link->setEnabled(valid && !m_book.totals().rows.at(current.row()).key.hasCode());
    m_unlink->setEnabled(valid && !m_book.totals().rows.at(current.row()).linked.isEmpty());
}

void BillWindow::createActions()
{
    m_link = new QAction(QStringLiteral("Связать с ресурсом ФСБЦ..."), m_totals);
    m_link->setObjectName(QStringLiteral("BillLinkResource"));
    connect(m_link, &QAction::triggered, this, &BillWindow::linkCurrentMaterial);
    m_unlink = new QAction(QStringLiteral("Отвязать"), m_totals);
    m_unlink->setObjectName(QStringLiteral("BillUnlinkResource"));
    connect(m_unlink, &QAction::triggered, this, &BillWindow::unlinkCurrentMaterial);
    m_totals->addAction(m_link);
    m_totals->addAction(m_unlink);
    m_totals->setContextMenuPolicy(Qt::ActionsContextMenu);

    auto *remove = new QAction(QStringLiteral("Удалить запись"), m_entries);
    remove->setShortcut(QKeySequence::Delete);
    remove->setShortcutContext(Qt::WidgetShortcut);
    connect(remove, &QAction::triggered, this, &BillWindow::removeSelectedEntries);
    m_entries->addAction(remove);

    // The undo stack's own actions keep their texts and enabled state in step with it.
    QAction *undo = m_book.undoStack()->createUndoAction(this, QStringLiteral("Отменить"));
    undo->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Z));
    QAction *redo = m_book.undoStack()->createRedoAction(this, QStringLiteral("Повторить"));
    redo->setShortcuts(
        {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), QKeySequence(Qt::CTRL | Qt::Key_Y)});
    addAction(undo);
    addAction(redo);

    addClosingKeys(this);
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
    const bool catalogue = m_book.hasCatalogue();
    m_totals->setColumnHidden(TotalsModel::CatalogueColumn, !catalogue);
    // A bill with machines shows their prices, so that one can be typed.
    const bool machines = billtexts::hasMachines(m_book.totals());
    for (int column = billtexts::HoursColumnCount; column < HoursModel::PricedColumnCount; ++column)
        m_hours->setColumnHidden(column, !machines);
    m_hours->setColumnHidden(HoursModel::CatalogueColumn, !catalogue);
    m_machineMoney->setVisible(billtexts::hasMachinePrices(m_book.totals()));
    m_machineMoney->setText(billtexts::machineMoneyText(m_book.totals()));
    m_billTotal->setVisible(machines);
    m_billTotal->setText(billtexts::billTotalText(m_book.totals()));
    // A bill of the pages' figures has no hours; the section shows only when there are some,
    // as high as its rows (up to six), so that the materials keep their room.
    const bom::Totals &totals = m_book.totals();
    m_hoursBox->setVisible(!totals.hours.isEmpty());
    const int shownRows = int(std::min<qsizetype>(6, std::max<qsizetype>(1, totals.hours.size())));
    m_hours->setFixedHeight(m_hours->horizontalHeader()->sizeHint().height() +
                            shownRows * m_hours->verticalHeader()->defaultSectionSize() +
                            2 * m_hours->frameWidth());
    m_labourHours->setText(billtexts::labourHoursText(totals));
    m_machinistHours->setText(billtexts::machinistHoursText(totals));
    m_machinistHours->setVisible(totals.hasMachinists);
    m_machineHours->setText(billtexts::machineHoursText(totals));
}

void BillWindow::showHead()
{
    const QStringList texts = billtexts::headTexts(m_book.bill().head);
    for (int i = 0; i < m_headFields.size(); ++i) {
        if (m_headFields[i]->text() != texts.at(i))
            m_headFields[i]->setText(texts.at(i));
    }
    const QDate date = m_book.bill().head.date;
    m_date->setText(date.isValid() ? date.toString(kDateFormat) : QString());
    markDate(QString());
}

void BillWindow::markDate(const QString &reason)
{
    m_date->setToolTip(reason);
    // The colours of a refused cell.
    QPalette palette = m_date->parentWidget()->palette();
    if (!reason.isEmpty()) {
        palette.setColor(QPalette::Base, QColor(0xb0, 0x1c, 0x1c));
        palette.setColor(QPalette::Text, Qt::white);
    }
    m_date->setPalette(palette);
    m_dateProblem->setText(reason);
    m_dateProblem->setVisible(!reason.isEmpty());
    if (reason.isEmpty())
        return;
    m_dateProblem->adjustSize();
    const QPoint below = m_date->mapTo(this, QPoint(0, m_date->height() + 2));
    m_dateProblem->move(std::clamp(below.x(), 0, std::max(0, width() - m_dateProblem->width())),
                        below.y());
    m_dateProblem->raise();
}

bool BillWindow::takePendingEdits()
{
    pendingedits::commitCellEditors(this);
    takeHead();
    // The index as shown is the bill's own, though it may show fewer digits than the bill keeps;
    // one that cannot be read stays marked in its field, as leaving the field leaves it.
    const std::optional<double> index = m_book.bill().priceIndex;
    if (m_priceIndex->text() != (index ? bom::quantityText(*index) : QString()))
        takePriceIndex();
    m_vor->takeHead();
    return m_dateProblem->isHidden();
}

bool BillWindow::dateTaken()
{
    if (takePendingEdits())
        return true;
    errorreport::show(QStringLiteral("Дата «%1» не прочитана: нужны день, месяц и год, например "
                                     "07.12.2026. Исправьте ее или очистите поле")
                          .arg(m_date->text().trimmed()));
    // Asked for from elsewhere (quitting with changes), the window shows the field to correct.
    show();
    raise();
    activateWindow();
    m_date->setFocus();
    return false;
}

void BillWindow::takeHead()
{
    // The head's other fields, those of a bill of quantities, stay as they are.
    bom::Head head = m_book.bill().head;
    // Taken before every file command too: a field as shown keeps the head's text as it is.
    const auto typed = [this](int field, const QString &own) {
        const QString text = m_headFields[field]->text();
        return text == own ? own : text.trimmed();
    };
    head.object = typed(0, head.object);
    head.customer = typed(1, head.customer);
    head.address = typed(2, head.address);
    head.compiledBy = typed(3, head.compiledBy);
    head.checkedBy = typed(4, head.checkedBy);
    const QString dateText = m_date->text().trimmed();
    head.date = QDate::fromString(dateText, kDateFormat);
    // A date that cannot be read stays in its field, marked, with the reason, and the head keeps
    // its own; the head's other fields are taken all the same.
    const bool refused = !dateText.isEmpty() && !head.date.isValid();
    if (refused)
        head.date = m_book.bill().head.date;
    m_book.setHead(head);
    if (refused) {
        m_date->setText(dateText);
        markDate(kDateReason);
    } else {
        markDate(QString());
    }
}

void BillWindow::showVorPanel(bool shown)
{
    m_vorToggle->setArrowType(shown ? Qt::DownArrow : Qt::RightArrow);
    m_vorToggle->setChecked(shown);
    m_vor->setVisible(shown);
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

QString BillWindow::exportPath(FileChoice choice, const char *suffix)
{
    return BillFiles::pathToWrite(m_files.choosePath(choice), QString::fromLatin1(suffix), this);
}

void BillWindow::exportCsv()
{
    if (!dateTaken())
        return;
    const QString path = exportPath(FileChoice::Csv, "csv");
    if (path.isEmpty())
        return;
    if (const std::optional<QString> failure = billfile::writeBytes(
            billcsv::encode(m_book.bill(), m_book.totals()), path, billfile::Writing::Export))
        errorreport::show(*failure, this);
}

void BillWindow::exportXlsx()
{
    if (!dateTaken())
        return;
    const QString path = exportPath(FileChoice::Xlsx, "xlsx");
    if (path.isEmpty())
        return;
    if (const std::optional<QString> failure =
            billxlsx::write(m_book.bill(), m_book.totals(), path))
        errorreport::show(*failure, this);
}

void BillWindow::printBill()
{
    if (!dateTaken())
        return;
    QPrinter printer;
    QPrintDialog dialog(&printer, this);
    if (dialog.exec() == QDialog::Accepted) {
        const auto [date, time] = m_headingTexts();
        billprint::print(&printer, m_book.bill(), m_book.totals(), date, time);
    }
}

void BillWindow::saveAsPdf()
{
    if (!dateTaken())
        return;
    const QString path = exportPath(FileChoice::Pdf, "pdf");
    if (path.isEmpty())
        return;
    const auto [date, time] = m_headingTexts();
    if (const std::optional<QString> failure =
            billprint::writePdf(path, m_book.bill(), m_book.totals(), date, time))
        errorreport::show(*failure, this);
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
    const QSize screenRoom =
        screen() ? screen()->availableGeometry().size() - QSize(16, 40) : QSize(1350, 728);
    const int shownWidth = std::min(std::max(wide, 1000), screenRoom.width());
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
    // The window's frame and title take some of the screen.
    return QSize(shownWidth, std::min(high, screenRoom.height()));
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
    for (BillTable *table : {m_entries, m_totals, m_hours}) {
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
    for (const BillTable *table : {m_entries, m_totals, m_hours}) {
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
