#include "billwindow.h"

#include "billbook.h"
#include "billcsv.h"
#include "billfile.h"
#include "billmodels.h"
#include "billprint.h"
#include "billtable.h"
#include "billtexts.h"
#include "billxlsx.h"
#include "common/closingkeys.h"
#include "common/errorreport.h"
#include "manualmaterialdialog.h"
#include "vorpanel.h"

#include <QAction>
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
#include <QSplitter>
#include <QToolTip>
#include <QUndoStack>
#include <QVBoxLayout>

#include <algorithm>

namespace {

QPushButton *button(const char *name, const QString &caption, QWidget *parent)
{
    auto *result = new QPushButton(caption, parent);
    result->setObjectName(QString::fromLatin1(name));
    result->setAutoDefault(false);
    return result;
}

// A date as the head shows and takes it; an empty field is no date.
const QString kDateFormat = QStringLiteral("dd.MM.yyyy");

} // namespace

BillWindow::BillWindow(BillBook &book, BillFiles &files, QWidget *parent)
    : QWidget(parent, Qt::Window), m_book(book), m_files(files),
      m_entriesModel(new EntriesModel(book, this)), m_totalsModel(new TotalsModel(book, this)),
      m_hoursModel(new HoursModel(book, this))
{
    setObjectName(QStringLiteral("BillWindow"));
    resize(1000, 680);
    m_headingTexts = [] {
        const QDateTime now = QDateTime::currentDateTime();
        return std::pair{now.toString(QStringLiteral("dd.MM.yyyy")),
                         now.toString(QStringLiteral("hh:mm:ss"))};
    };
    m_now = [] {
        return QDateTime::currentDateTime();
    };

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(createButtons());
    layout->addWidget(createHead());
    m_vor = new VorPanel(book, files, this);
    layout->addWidget(m_vor);

    auto *splitter = new QSplitter(Qt::Vertical, this);
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
    m_totals->setColumnWidth(TotalsModel::CodeColumn, 100);
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

    for (BillTable *table : {m_entries, m_totals}) {
        connect(qobject_cast<BillTableModel *>(table->model()), &BillTableModel::refused, table,
                &BillTable::showProblem);
    }
    connect(&book, &BillBook::entriesChanged, this, &BillWindow::showTotals);
    connect(&book, &BillBook::entryChanged, this, &BillWindow::showTotals);
    connect(&book, &BillBook::termsChanged, this, &BillWindow::showTotals);
    connect(&book, &BillBook::headChanged, this, &BillWindow::showHead);
    connect(&book, &BillBook::documentChanged, this, &BillWindow::showDocument);
    showTotals();
    showHead();
    showDocument();
}

BillWindow::~BillWindow()
{
    // A head field that has the focus finishes its editing while the window's children go,
    // after the list of fields has gone.
    for (QLineEdit *field : std::as_const(m_headFields))
        field->disconnect(this);
    m_date->disconnect(this);
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
        {"BillExportXlsx", "Экспорт в &XLSX...", &BillWindow::exportXlsx, QKeySequence()},
        {"BillExportCsv", "Экспорт в CS&V...", &BillWindow::exportCsv, QKeySequence()},
        {"BillPrint", "&Печать...", &BillWindow::printBill, QKeySequence(Qt::CTRL | Qt::Key_P)},
        {"BillPdf", "В P&DF...", &BillWindow::saveAsPdf, QKeySequence()},
    };
    for (const auto &entry : buttons) {
        QPushButton *push = button(entry.name, QString::fromUtf8(entry.caption), bar);
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
    // Each letter is the only one of its kind in the window.
    const char *const mnemonics[] = {
        "О&бъект:", "Заказ&чик:", "&Адрес:", "Состав&ил:", "П&роверил:"};
    // Object and customer share a line, the address has one, the people and the date another.
    const struct
    {
        int row, column, span;
    } places[] = {{0, 0, 1}, {0, 2, 3}, {1, 0, 5}, {2, 0, 1}, {2, 2, 1}};
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
    grid->addWidget(dateLabel, 2, 4);
    grid->addWidget(m_date, 2, 5);
    grid->setColumnStretch(1, 1);
    grid->setColumnStretch(3, 1);
    connect(m_date, &QLineEdit::editingFinished, this, &BillWindow::takeHead);
    return box;
}

QWidget *BillWindow::createEntryButtons()
{
    auto *bar = new QWidget(this);
    auto *line = new QHBoxLayout(bar);
    line->setContentsMargins(0, 0, 0, 0);
    QPushButton *remove = button("BillRemoveEntry", QStringLiteral("&Удалить запись"), bar);
    remove->setToolTip(QStringLiteral("Удалить выбранные записи (Delete)"));
    connect(remove, &QPushButton::clicked, this, &BillWindow::removeSelectedEntries);
    QPushButton *manual = button("BillAddManual", QStringLiteral("Доба&вить материал..."), bar);
    manual->setToolTip(QStringLiteral("Материал, которого нет в расчетах, например гвозди"));
    connect(manual, &QPushButton::clicked, this, &BillWindow::addManualMaterial);
    QUndoStack *undo = m_book.undoStack();
    QPushButton *back = button("BillUndo", QStringLiteral("Отм&енить"), bar);
    QPushButton *again = button("BillRedo", QStringLiteral("Пов&торить"), bar);
    back->setEnabled(undo->canUndo());
    again->setEnabled(undo->canRedo());
    connect(back, &QPushButton::clicked, undo, &QUndoStack::undo);
    connect(again, &QPushButton::clicked, undo, &QUndoStack::redo);
    connect(undo, &QUndoStack::canUndoChanged, back, &QWidget::setEnabled);
    connect(undo, &QUndoStack::canRedoChanged, again, &QWidget::setEnabled);
    connect(undo, &QUndoStack::undoTextChanged, back, [back](const QString &text) {
        back->setToolTip(QStringLiteral("Отменить: %1 (Ctrl+Z)").arg(text));
    });
    connect(undo, &QUndoStack::redoTextChanged, again, [again](const QString &text) {
        again->setToolTip(QStringLiteral("Повторить: %1 (Ctrl+Shift+Z)").arg(text));
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
    // The name takes the room; the figures stay beside it rather than at the far side.
    const int widths[] = {110, 330, 60, 110};
    for (int column = 0; column < int(std::size(widths)); ++column)
        m_hours->setColumnWidth(column, widths[column]);
    m_hours->horizontalHeader()->setStretchLastSection(false);
    m_hours->horizontalHeader()->setSectionResizeMode(billtexts::HoursName, QHeaderView::Stretch);
    layout->addWidget(m_hours);
    auto *sums = new QHBoxLayout;
    m_labourHours = new QLabel(box);
    m_labourHours->setObjectName(QStringLiteral("BillLabourHours"));
    m_machineHours = new QLabel(box);
    m_machineHours->setObjectName(QStringLiteral("BillMachineHours"));
    sums->addStretch(1);
    sums->addWidget(m_labourHours);
    sums->addSpacing(24);
    sums->addWidget(m_machineHours);
    layout->addLayout(sums);
    return box;
}

void BillWindow::createActions()
{
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
    // A bill of the pages' figures has no hours; the section shows only when there are some,
    // as high as its rows (up to six), so that the materials keep their room.
    const bom::Totals &totals = m_book.totals();
    m_hoursBox->setVisible(!totals.hours.isEmpty());
    const int shownRows = int(std::min<qsizetype>(6, std::max<qsizetype>(1, totals.hours.size())));
    m_hours->setFixedHeight(m_hours->horizontalHeader()->sizeHint().height() +
                            shownRows * m_hours->verticalHeader()->defaultSectionSize() +
                            2 * m_hours->frameWidth());
    m_labourHours->setText(billtexts::labourHoursText(totals));
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
    m_date->setToolTip(QString());
}

void BillWindow::takeHead()
{
    // The head's other fields, those of a bill of quantities, stay as they are.
    bom::Head head = m_book.bill().head;
    head.object = m_headFields[0]->text().trimmed();
    head.customer = m_headFields[1]->text().trimmed();
    head.address = m_headFields[2]->text().trimmed();
    head.compiledBy = m_headFields[3]->text().trimmed();
    head.checkedBy = m_headFields[4]->text().trimmed();
    const QString dateText = m_date->text().trimmed();
    head.date = QDate::fromString(dateText, kDateFormat);
    // A date that cannot be read stays in its field with the reason, and the head keeps its own.
    if (!dateText.isEmpty() && !head.date.isValid()) {
        const QString reason = QStringLiteral("Дата — день, месяц и год, например 07.12.2026");
        m_date->setToolTip(reason);
        QToolTip::showText(m_date->mapToGlobal(QPoint(0, m_date->height())), reason, m_date);
        head.date = m_book.bill().head.date;
    } else {
        m_date->setToolTip(QString());
    }
    m_book.setHead(head);
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
    return BillFiles::pathToWrite(m_files.choosePath(choice), QString::fromLatin1(suffix));
}

void BillWindow::exportCsv()
{
    const QString path = exportPath(FileChoice::Csv, "csv");
    if (path.isEmpty())
        return;
    if (const std::optional<QString> failure =
            billfile::writeBytes(billcsv::encode(m_book.bill(), m_book.totals()), path))
        errorreport::show(*failure);
}

void BillWindow::exportXlsx()
{
    const QString path = exportPath(FileChoice::Xlsx, "xlsx");
    if (path.isEmpty())
        return;
    if (const std::optional<QString> failure =
            billxlsx::write(m_book.bill(), m_book.totals(), path))
        errorreport::show(*failure);
}

void BillWindow::printBill()
{
    QPrinter printer;
    QPrintDialog dialog(&printer, this);
    if (dialog.exec() == QDialog::Accepted) {
        const auto [date, time] = m_headingTexts();
        billprint::print(&printer, m_book.bill(), m_book.totals(), date, time);
    }
}

void BillWindow::saveAsPdf()
{
    const QString path = exportPath(FileChoice::Pdf, "pdf");
    if (path.isEmpty())
        return;
    const auto [date, time] = m_headingTexts();
    if (const std::optional<QString> failure =
            billprint::writePdf(path, m_book.bill(), m_book.totals(), date, time))
        errorreport::show(*failure);
}
