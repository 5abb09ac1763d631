#include "estimatewindow.h"

#include "bill/billbutton.h"
#include "common/accessiblewindow.h"
#include "common/closingkeys.h"
#include "common/errorreport.h"
#include "common/pathtowrite.h"
#include "estimatebook.h"
#include "estimateeditor.h"
#include "estimatehead.h"
#include "estimateoutputs.h"
#include "estimatetexts.h"
#include "estimatetotals.h"
#include "lsrform.h"

#include <QAction>
#include <QFileDialog>
#include <QFileInfo>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QSplitter>
#include <QTabWidget>
#include <QUndoStack>
#include <QVBoxLayout>

namespace {

QString dialogChoice(QWidget *parent, EstimateWindow::FileChoice choice)
{
    QFileDialog dialog(parent);
    switch (choice) {
    case EstimateWindow::FileChoice::Gge:
        dialog.setWindowTitle(QStringLiteral("Экспорт ЛСР для экспертизы"));
        dialog.setNameFilter(QStringLiteral("Локальный сметный расчет (*.gge)"));
        dialog.setDefaultSuffix(QStringLiteral("gge"));
        break;
    case EstimateWindow::FileChoice::Pdf:
        dialog.setWindowTitle(QStringLiteral("Экспорт ЛСР в PDF"));
        dialog.setNameFilter(QStringLiteral("Документ PDF (*.pdf)"));
        dialog.setDefaultSuffix(QStringLiteral("pdf"));
        break;
    case EstimateWindow::FileChoice::Xlsx:
        dialog.setWindowTitle(QStringLiteral("Экспорт ЛСР в XLSX"));
        dialog.setNameFilter(QStringLiteral("Книга Excel (*.xlsx)"));
        dialog.setDefaultSuffix(QStringLiteral("xlsx"));
        break;
    case EstimateWindow::FileChoice::OpenGge:
        dialog.setWindowTitle(QStringLiteral("Открыть ЛСР"));
        dialog.setNameFilter(QStringLiteral("Локальный сметный расчет (*.gge)"));
        dialog.setFileMode(QFileDialog::ExistingFile);
        break;
    }
    dialog.setAcceptMode(choice == EstimateWindow::FileChoice::OpenGge ? QFileDialog::AcceptOpen
                                                                       : QFileDialog::AcceptSave);
    return dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty()
               ? dialog.selectedFiles().constFirst()
               : QString();
}

} // namespace

EstimateWindow::EstimateWindow(EstimateBook &book, QWidget *parent)
    : QWidget(parent, Qt::Window), m_book(&book)
{
    build();
    connect(&book, &EstimateBook::estimateChanged, this, &EstimateWindow::showEstimate);
    QAction *undo = book.undoStack()->createUndoAction(this, QStringLiteral("Отменить"));
    undo->setShortcut(QKeySequence::Undo);
    QAction *redo = book.undoStack()->createRedoAction(this, QStringLiteral("Повторить"));
    redo->setShortcuts({QKeySequence::Redo, QKeySequence(Qt::CTRL | Qt::Key_Y)});
    addAction(undo);
    addAction(redo);
    showEstimate();
}

EstimateWindow::EstimateWindow(const lsr::Estimate &estimate, const QString &path, QWidget *parent)
    : QWidget(parent, Qt::Window), m_read(estimate), m_path(path)
{
    build();
    showEstimate();
}

const lsr::Estimate &EstimateWindow::estimate() const
{
    return m_book ? m_book->estimate() : m_read;
}

void EstimateWindow::build()
{
    presentAsWindow(this);
    setObjectName(QStringLiteral("EstimateWindow"));
    m_choosePath = [this](FileChoice choice) {
        return dialogChoice(this, choice);
    };
    auto *layout = new QVBoxLayout(this);
    layout->setSpacing(4);
    layout->addWidget(createButtons());
    m_summary = new QLabel(this);
    m_summary->setObjectName(QStringLiteral("EstimateSummary"));
    m_summary->setTextInteractionFlags(Qt::TextSelectableByMouse);
    layout->addWidget(m_summary);
    m_failure = new QLabel(this);
    m_failure->setObjectName(QStringLiteral("EstimateFailure"));
    m_failure->setWordWrap(true);
    m_failure->setStyleSheet(QStringLiteral("color: #b00020"));
    layout->addWidget(m_failure);

    m_tabs = new QTabWidget(this);
    m_tabs->setObjectName(QStringLiteral("EstimateTabs"));
    auto *positions = new QSplitter(Qt::Vertical, m_tabs);
    positions->setObjectName(QStringLiteral("EstimateSplitter"));
    positions->setChildrenCollapsible(false);
    auto *upper = new QSplitter(Qt::Horizontal, positions);
    upper->setChildrenCollapsible(false);
    m_tree = new EstimateTree(upper);
    if (m_book) {
        auto *scroll = new QScrollArea(upper);
        scroll->setWidgetResizable(true);
        scroll->setFrameShape(QFrame::NoFrame);
        m_editor = new EstimateEditor(*m_book, scroll);
        scroll->setWidget(m_editor);
        scroll->setMinimumWidth(270);
        upper->setStretchFactor(0, 1);
        upper->setStretchFactor(1, 0);
        upper->setSizes({1060, 280});
    }
    auto *lower = new QWidget(positions);
    auto *lowerLayout = new QHBoxLayout(lower);
    lowerLayout->setContentsMargins(0, 0, 0, 0);
    m_totals = new EstimateTotals(lower);
    lowerLayout->addWidget(m_totals, 3);
    auto *gapsBox = new QGroupBox(QStringLiteral("Пробелы"), lower);
    m_gapsBox = gapsBox;
    gapsBox->setObjectName(QStringLiteral("EstimateGapsBox"));
    auto *gapsLayout = new QVBoxLayout(gapsBox);
    gapsLayout->setContentsMargins(4, 4, 4, 4);
    m_gaps = new QListWidget(gapsBox);
    m_gaps->setObjectName(QStringLiteral("EstimateGaps"));
    m_gaps->setAccessibleName(QStringLiteral("Пробелы сметы"));
    m_gaps->setWordWrap(true);
    gapsLayout->addWidget(m_gaps);
    lowerLayout->addWidget(gapsBox, 1);
    positions->setStretchFactor(0, 1);
    positions->setStretchFactor(1, 0);
    positions->setSizes({440, 190});
    m_tabs->addTab(positions, QStringLiteral("По&зиции"));
    m_head = new EstimateHead(m_book, m_tabs);
    m_tabs->addTab(m_head, QStringLiteral("&Шапка"));
    layout->addWidget(m_tabs, 1);

    connect(m_tree, &QTreeWidget::currentItemChanged, this, &EstimateWindow::showPlace);
    connect(m_gaps, &QListWidget::itemActivated, this,
            [this](QListWidgetItem *item) { showGap(m_gaps->row(item)); });
    connect(m_gaps, &QListWidget::itemClicked, this,
            [this](QListWidgetItem *item) { showGap(m_gaps->row(item)); });
    addClosingKeys(this);

    // Inside the screen: 1366×768 is the smallest the program is made for.
    const QSize room =
        screen() ? screen()->availableGeometry().size() - QSize(16, 40) : QSize(1350, 728);
    resize(std::min(1340, room.width()), std::min(720, room.height()));
}

QWidget *EstimateWindow::createButtons()
{
    auto *bar = new QWidget(this);
    auto *line = new QHBoxLayout(bar);
    line->setContentsMargins(0, 0, 0, 0);
    const struct
    {
        const char *name;
        const char *caption;
        void (EstimateWindow::*operation)();
        QKeySequence shortcut;
    } buttons[] = {
        {"EstimateExportGge", "&Экспорт ЛСР для экспертизы (.gge)...", &EstimateWindow::exportGge,
         QKeySequence()},
        {"EstimatePrint", "&Печать...", &EstimateWindow::print, QKeySequence(Qt::CTRL | Qt::Key_P)},
        {"EstimatePdf", "Экспорт в P&DF...", &EstimateWindow::exportPdf, QKeySequence()},
        {"EstimateXlsx", "Экспорт в &XLSX...", &EstimateWindow::exportXlsx, QKeySequence()},
        {"EstimateOpenGge", "О&ткрыть ЛСР (.gge)...", &EstimateWindow::openGge,
         QKeySequence(Qt::CTRL | Qt::Key_O)},
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
    return bar;
}

void EstimateWindow::showEstimate()
{
    const lsr::Estimate &shown = estimate();
    const bom::EstimateTerms &terms = shown.head.terms;
    setWindowTitle(
        m_book
            ? QStringLiteral("ЛСР %1 — Мерилон").arg(lsrform::bareNumber(terms.number))
            : QStringLiteral("%1 (только просмотр) — Мерилон").arg(QFileInfo(m_path).fileName()));
    m_summary->setText(
        QStringLiteral("ЛСР № %1 «%2» · %3, %4 · Всего по смете: %5 руб.")
            .arg(terms.number.isEmpty() ? QStringLiteral("—") : lsrform::bareNumber(terms.number),
                 terms.name.isEmpty() ? shown.head.object : terms.name,
                 terms.regionName.isEmpty() ? QStringLiteral("прайс-лист не выбран")
                                            : terms.regionName,
                 estimatetexts::levelText(shown.head.currentQuarter, shown.head.currentYear),
                 estimatetexts::money(shown.totals.total)));
    QStringList notes;
    if (m_book && !m_book->failure().isEmpty())
        notes << m_book->failure();
    if (m_book)
        notes << m_book->staleChoices();
    const QString failure = notes.join(u'\n');
    m_failure->setText(failure);
    m_failure->setVisible(!failure.isEmpty());
    m_head->show(shown.head);
    m_tree->show(shown);
    m_totals->show(shown);
    m_gaps->clear();
    for (const lsr::Gap &gap : shown.gaps) {
        auto *item = new QListWidgetItem(gap.text, m_gaps);
        item->setToolTip(gap.text);
    }
    m_gapsBox->setTitle(QStringLiteral("Пробелы: %1").arg(shown.gaps.size()));
    showPlace();
}

void EstimateWindow::showPlace()
{
    if (m_editor)
        m_editor->showPlace(m_tree->currentPlace());
}

void EstimateWindow::showGap(int index)
{
    const QList<lsr::Gap> &gaps = estimate().gaps;
    if (index < 0 || index >= gaps.size())
        return;
    m_gaps->setCurrentRow(index);
    showPlaceOf(gaps.at(index));
}

void EstimateWindow::showPlaceOf(const lsr::Gap &gap)
{
    if (gap.section < 0) {
        m_tabs->setCurrentWidget(m_head);
        m_head->focusField(gap.field);
        return;
    }
    m_tabs->setCurrentIndex(0);
    m_tree->select(gap.section, gap.position, gap.line);
    m_tree->setFocus();
}

QString EstimateWindow::pathFor(FileChoice choice, const char *suffix)
{
    return ::pathToWrite(m_choosePath(choice), QString::fromLatin1(suffix), this);
}

void EstimateWindow::exportGge()
{
    const lsr::Estimate &shown = estimate();
    const QList<lsr::Gap> gaps = estimateoutputs::check(shown);
    if (!gaps.isEmpty()) {
        QStringList lines;
        for (const lsr::Gap &gap : gaps)
            lines << QStringLiteral("— %1").arg(gap.text);
        // The first gap is in sight when the user reads why.
        if (const qsizetype first = shown.gaps.indexOf(gaps.constFirst()); first >= 0)
            showGap(int(first));
        else
            showPlaceOf(gaps.constFirst());
        errorreport::show(QStringLiteral("ЛСР не записана для экспертизы: исправьте пробелы "
                                         "(%1).\n%2")
                              .arg(gaps.size())
                              .arg(lines.join(u'\n')),
                          this);
        return;
    }
    const QString path = pathFor(FileChoice::Gge, "gge");
    if (path.isEmpty())
        return;
    if (const std::optional<QString> failure = estimateoutputs::writeGge(shown, path))
        errorreport::show(*failure, this);
}

void EstimateWindow::print()
{
    QPrinter printer;
    QPrintDialog dialog(&printer, this);
    if (dialog.exec() == QDialog::Accepted)
        estimateoutputs::print(&printer, estimate());
}

void EstimateWindow::exportPdf()
{
    const QString path = pathFor(FileChoice::Pdf, "pdf");
    if (path.isEmpty())
        return;
    if (const std::optional<QString> failure = estimateoutputs::writePdf(estimate(), path))
        errorreport::show(*failure, this);
}

void EstimateWindow::exportXlsx()
{
    const QString path = pathFor(FileChoice::Xlsx, "xlsx");
    if (path.isEmpty())
        return;
    if (const std::optional<QString> failure = estimateoutputs::writeXlsx(estimate(), path))
        errorreport::show(*failure, this);
}

void EstimateWindow::openGge()
{
    const QString path = m_choosePath(FileChoice::OpenGge);
    if (path.isEmpty())
        return;
    const estimateoutputs::Reading reading = estimateoutputs::readGge(path);
    if (!reading.estimate) {
        errorreport::show(reading.failure, this);
        return;
    }
    auto *opened = new EstimateWindow(*reading.estimate, path, this);
    opened->setAttribute(Qt::WA_DeleteOnClose);
    m_opened = opened;
    opened->show();
}
