#include "billwindow.h"

#include "billbook.h"
#include "billcsv.h"
#include "billfile.h"
#include "billmodels.h"
#include "billprint.h"
#include "billxlsx.h"
#include "shell/errorreport.h"

#include <QAction>
#include <QFileDialog>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QSplitter>
#include <QTableView>
#include <QToolTip>
#include <QVBoxLayout>

namespace {

QPushButton *button(const char *name, const QString &caption, QWidget *parent)
{
    auto *result = new QPushButton(caption, parent);
    result->setObjectName(QString::fromLatin1(name));
    result->setAutoDefault(false);
    return result;
}

QTableView *table(const char *name, QAbstractItemModel *model, QWidget *parent)
{
    auto *view = new QTableView(parent);
    view->setObjectName(QString::fromLatin1(name));
    view->setModel(model);
    view->setAlternatingRowColors(true);
    view->setWordWrap(false);
    // Rows of one height need no measuring, which keeps a bill of thousands of entries quick.
    view->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    view->verticalHeader()->setDefaultSectionSize(view->fontMetrics().height() + 6);
    view->horizontalHeader()->setStretchLastSection(true);
    return view;
}

QString defaultChoice(QWidget *parent, BillWindow::FileChoice choice)
{
    const QString bills =
        QStringLiteral("Ведомость материалов (*.%1)").arg(QString::fromLatin1(billfile::kSuffix));
    switch (choice) {
    case BillWindow::FileChoice::Open:
        return QFileDialog::getOpenFileName(parent, QStringLiteral("Открыть ведомость"), QString(),
                                            bills);
    case BillWindow::FileChoice::Save:
        return QFileDialog::getSaveFileName(parent, QStringLiteral("Сохранить ведомость"),
                                            QStringLiteral("ведомость.merilon-bom"), bills);
    case BillWindow::FileChoice::Xlsx:
        return QFileDialog::getSaveFileName(parent, QStringLiteral("Экспорт в XLSX"),
                                            QStringLiteral("ведомость.xlsx"),
                                            QStringLiteral("Книга Excel (*.xlsx)"));
    case BillWindow::FileChoice::Csv:
        return QFileDialog::getSaveFileName(parent, QStringLiteral("Экспорт в CSV"),
                                            QStringLiteral("ведомость.csv"),
                                            QStringLiteral("Текст CSV (*.csv)"));
    case BillWindow::FileChoice::Pdf:
        return QFileDialog::getSaveFileName(parent, QStringLiteral("Сохранить ведомость в PDF"),
                                            QStringLiteral("ведомость.pdf"),
                                            QStringLiteral("Документ PDF (*.pdf)"));
    }
    return QString();
}

} // namespace

BillWindow::BillWindow(BillBook &book, QWidget *parent)
    : QWidget(parent, Qt::Window), m_book(book), m_entriesModel(new EntriesModel(book, this)),
      m_totalsModel(new TotalsModel(book, this))
{
    setObjectName(QStringLiteral("BillWindow"));
    setWindowTitle(QStringLiteral("Ведомость материалов — Мерилон 3"));
    resize(900, 600);
    m_choosePath = [this](FileChoice choice) {
        return defaultChoice(this, choice);
    };
    m_headingTexts = [] {
        const QDateTime now = QDateTime::currentDateTime();
        return std::pair{now.toString(QStringLiteral("dd.MM.yyyy")),
                         now.toString(QStringLiteral("hh:mm:ss"))};
    };

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(createButtons());
    auto *splitter = new QSplitter(Qt::Vertical, this);
    auto *entriesBox = new QGroupBox(QStringLiteral("Записи"), splitter);
    auto *entriesLayout = new QVBoxLayout(entriesBox);
    m_entries = table("BillEntries", m_entriesModel, entriesBox);
    m_entries->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_entries->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_entries->setColumnWidth(0, 110);
    m_entries->setColumnWidth(1, 220);
    m_entries->setColumnWidth(2, 260);
    entriesLayout->addWidget(m_entries);
    auto *remove = new QAction(QStringLiteral("Удалить запись"), m_entries);
    remove->setShortcut(QKeySequence::Delete);
    remove->setShortcutContext(Qt::WidgetShortcut);
    connect(remove, &QAction::triggered, this, &BillWindow::removeSelectedEntries);
    m_entries->addAction(remove);
    auto *closing = new QAction(QStringLiteral("Закрыть"), this);
    // Ctrl+W as on every desktop, besides what the platform binds to closing.
    QList<QKeySequence> closingKeys = QKeySequence::keyBindings(QKeySequence::Close);
    if (!closingKeys.contains(QKeySequence(Qt::CTRL | Qt::Key_W)))
        closingKeys.prepend(QKeySequence(Qt::CTRL | Qt::Key_W));
    closing->setShortcuts(closingKeys);
    connect(closing, &QAction::triggered, this, &QWidget::close);
    addAction(closing);

    auto *totalsBox = new QGroupBox(QStringLiteral("Итоги"), splitter);
    auto *totalsLayout = new QVBoxLayout(totalsBox);
    m_totals = table("BillTotals", m_totalsModel, totalsBox);
    m_totals->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                              QAbstractItemView::AnyKeyPressed);
    const int widths[] = {230, 45, 80, 65, 80, 65, 70, 80};
    for (int column = 0; column < int(std::size(widths)); ++column)
        m_totals->setColumnWidth(column, widths[column]);
    totalsLayout->addWidget(m_totals);
    m_grandTotal = new QLabel(totalsBox);
    m_grandTotal->setObjectName(QStringLiteral("BillGrandTotal"));
    QFont bold = m_grandTotal->font();
    bold.setBold(true);
    m_grandTotal->setFont(bold);
    m_grandTotal->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    totalsLayout->addWidget(m_grandTotal);
    splitter->setStretchFactor(0, 1);
    splitter->setStretchFactor(1, 1);
    layout->addWidget(splitter, 1);

    connect(m_totalsModel, &TotalsModel::refused, this,
            [this](const QModelIndex &index, const QString &reason) {
                const QRect cell = m_totals->visualRect(index);
                QToolTip::showText(m_totals->viewport()->mapToGlobal(cell.bottomLeft()), reason,
                                   m_totals->viewport(), cell, 8000);
            });
    connect(&book, &BillBook::entriesChanged, this, &BillWindow::showGrandTotal);
    connect(&book, &BillBook::termsChanged, this, &BillWindow::showGrandTotal);
    showGrandTotal();
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
        QKeySequence::StandardKey shortcut;
    } buttons[] = {
        {"BillRemoveEntry", "Удалить запись", &BillWindow::removeSelectedEntries,
         QKeySequence::UnknownKey},
        {"BillOpen", "Открыть...", &BillWindow::openBill, QKeySequence::Open},
        {"BillSave", "Сохранить...", &BillWindow::saveBill, QKeySequence::Save},
        {"BillExportXlsx", "Экспорт в XLSX...", &BillWindow::exportXlsx, QKeySequence::UnknownKey},
        {"BillExportCsv", "Экспорт в CSV...", &BillWindow::exportCsv, QKeySequence::UnknownKey},
        {"BillPrint", "Печать...", &BillWindow::printBill, QKeySequence::Print},
        {"BillPdf", "Сохранить в PDF...", &BillWindow::saveAsPdf, QKeySequence::UnknownKey},
    };
    for (const auto &entry : buttons) {
        QPushButton *push = button(entry.name, QString::fromUtf8(entry.caption), bar);
        if (entry.shortcut != QKeySequence::UnknownKey) {
            push->setShortcut(entry.shortcut);
            push->setToolTip(push->shortcut().toString(QKeySequence::NativeText));
        }
        connect(push, &QPushButton::clicked, this, entry.operation);
        line->addWidget(push);
    }
    line->addStretch(1);
    return bar;
}

QString BillWindow::grandTotalText() const
{
    const bom::Totals &totals = m_book.totals();
    if (totals.overflow)
        return QStringLiteral("Итого: — (сумма слишком велика)");
    QString text = QStringLiteral("Итого: %1 руб.").arg(bom::moneyText(totals.grandKopecks));
    if (totals.unpriced > 0)
        text += QStringLiteral(" (без цены: %1)").arg(totals.unpriced);
    return text;
}

void BillWindow::showGrandTotal()
{
    m_grandTotal->setText(grandTotalText());
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

void BillWindow::openBill()
{
    const QString path = m_choosePath(FileChoice::Open);
    if (path.isEmpty())
        return;
    const billfile::Reading reading = billfile::read(path);
    if (!reading.bill) {
        errorreport::show(reading.failure);
        return;
    }
    m_book.replace(*reading.bill);
}

void BillWindow::saveBill()
{
    QString path = m_choosePath(FileChoice::Save);
    if (path.isEmpty())
        return;
    const QString suffix = u'.' + QString::fromLatin1(billfile::kSuffix);
    if (!path.endsWith(suffix))
        path += suffix;
    if (const std::optional<QString> failure = billfile::write(m_book.bill(), path))
        errorreport::show(*failure);
}

void BillWindow::exportCsv()
{
    const QString path = m_choosePath(FileChoice::Csv);
    if (path.isEmpty())
        return;
    if (const std::optional<QString> failure =
            billfile::writeBytes(billcsv::encode(m_book.bill(), m_book.totals()), path))
        errorreport::show(*failure);
}

void BillWindow::exportXlsx()
{
    const QString path = m_choosePath(FileChoice::Xlsx);
    if (path.isEmpty())
        return;
    if (const std::optional<QString> failure =
            billxlsx::write(m_book.bill(), m_book.totals(), path))
        errorreport::show(*failure);
}

void BillWindow::print(QPagedPaintDevice *device)
{
    const auto [date, time] = m_headingTexts();
    billprint::print(device, m_book.bill(), m_book.totals(), grandTotalText(), date, time);
}

void BillWindow::printBill()
{
    QPrinter printer;
    QPrintDialog dialog(&printer, this);
    if (dialog.exec() == QDialog::Accepted)
        print(&printer);
}

void BillWindow::saveAsPdf()
{
    const QString path = m_choosePath(FileChoice::Pdf);
    if (path.isEmpty())
        return;
    const auto [date, time] = m_headingTexts();
    if (const std::optional<QString> failure =
            billprint::writePdf(path, m_book.bill(), m_book.totals(), grandTotalText(), date, time))
        errorreport::show(*failure);
}
