#include "tform1.h"

#include "bill/billcontrol.h"
#include "bill/billreadings.h"
#include "bill/normbasecatalogue.h"
#include "clock.h"
#include "common/artwork.h"
#include "common/errorreport.h"
#include "common/journalprint.h"
#include "estimate/estimatecontrol.h"
#include "journal.h"
#include "journalfile.h"
#include "journalpanel.h"
#include "normbill.h"
#include "normdb.h"
#include "norms/firmbook.h"
#include "norms/normbase.h"
#include "norms/normcontrol.h"
#include "norms/normwindow.h"
#include "pages/calculatorpage.h"
#include "pages/masonrypage.h"
#include "pages/pagefactory.h"
#include "regional.h"
#include "shellpages.h"

#include <QAction>
#include <QCloseEvent>
#include <QDesktopServices>
#include <QFileDialog>
#include <QLabel>
#include <QLayout>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPrintDialog>
#include <QPrinter>
#include <QScreen>
#include <QStackedWidget>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QUrl>

namespace {

const QSize kClientSize(650, 668);
// docs/decisions.md, "The web address".
const QUrl kStandardsPortal(QStringLiteral("https://www.gost.ru"));

// The thickness of a masonry node in the regional decimal notation. The selection and the click
// write the same text, so a node gives the same volume however it was reached
// (docs/decisions.md, "Wall thickness").
QString thicknessText(const CataloguePlace &entry)
{
    return u'0' + QString(calc::decimalSeparator()) + QLatin1String(entry.thicknessHundredths);
}

// The tool buttons without a tip of their own would otherwise show their caption as one.
class NoToolTip : public QObject
{
public:
    using QObject::QObject;
    bool eventFilter(QObject *, QEvent *event) override { return event->type() == QEvent::ToolTip; }
};

} // namespace

TForm1::TForm1(QWidget *parent)
    : QMainWindow(parent), m_journal(new Journal(this)), m_clock(new Clock(this))
{
    setObjectName(QStringLiteral("TForm1"));
    setWindowTitle(QStringLiteral("Мерилон 3"));
    // Window managers show the window's icon small; the desktop entry names the large ones.
    setWindowIcon(artwork::icon(
        {":/merilon-16.png", ":/merilon-32.png", ":/merilon-48.png", ":/merilon-64.png"}));

    createActions();
    createMenus();
    createToolBar();
    createCentralArea();
    createPages();
    createJournalPanel();
    createStatusBar();

    const int menuHeight = menuBar()->sizeHint().height();
    resize(kClientSize.width(), kClientSize.height() + menuHeight);

    connect(m_clock, &Clock::ticked, this, [this](const QString &time) {
        m_widgets.statusPanel1->setText(QStringLiteral("Текущее время: ") + time);
    });
    m_clock->start();
}

TForm1::~TForm1() = default;

// The menu's Forward, Back and Home do what they say (docs/decisions.md, "Menu entries").
void TForm1::createActions()
{
    m_actions.exit =
        new QAction(artwork::icon({":/tb_exit.png", ":/tb_exit@2x.png", ":/mi_exit.png"}),
                    QStringLiteral("Выход из программы"), this);
    m_actions.exit->setObjectName(QStringLiteral("N6"));
    m_actions.exit->setIconText(QStringLiteral("Выход"));
    m_actions.exit->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));
    connect(m_actions.exit, &QAction::triggered, this, &TForm1::ToolButton16Click);

    m_actions.home =
        new QAction(artwork::icon({":/tb_home.png", ":/tb_home@2x.png", ":/mi_home.png"}),
                    QStringLiteral("Домашняя страница"), this);
    m_actions.home->setObjectName(QStringLiteral("N13"));
    m_actions.home->setIconText(QStringLiteral("Главная"));
    m_actions.home->setShortcut(QKeySequence(Qt::Key_F1));
    connect(m_actions.home, &QAction::triggered, this, &TForm1::ToolButton1Click);

    m_actions.back =
        new QAction(artwork::icon({":/tb_back.png", ":/tb_back@2x.png", ":/mi_back.png"}),
                    QStringLiteral("&Назад"), this);
    m_actions.back->setObjectName(QStringLiteral("N8"));
    m_actions.back->setIconText(QStringLiteral("Назад"));
    connect(m_actions.back, &QAction::triggered, this, &TForm1::ToolButton8Click);

    m_actions.forward =
        new QAction(artwork::icon({":/tb_forward.png", ":/tb_forward@2x.png", ":/mi_forward.png"}),
                    QStringLiteral("&Вперед"), this);
    m_actions.forward->setObjectName(QStringLiteral("N7"));
    m_actions.forward->setIconText(QStringLiteral("Вперед"));
    connect(m_actions.forward, &QAction::triggered, this, &TForm1::ToolButton9Click);

    m_actions.history = new QAction(artwork::icon({":/tb_history.png", ":/tb_history@2x.png"}),
                                    QStringLiteral("История"), this);
    m_actions.history->setToolTip(QStringLiteral("Сохранить историю расчетов"));
    m_actions.history->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
    connect(m_actions.history, &QAction::triggered, this, &TForm1::ToolButton4Click);

    m_actions.gost = new QAction(artwork::icon({":/tb_gost.png", ":/tb_gost@2x.png"}),
                                 QStringLiteral("ГОСТы"), this);
    m_actions.gost->setToolTip(QStringLiteral("Посетить магазин"));
    connect(m_actions.gost, &QAction::triggered, this, &TForm1::ToolButton5Click);

    m_actions.print = new QAction(QStringLiteral("&Печать истории..."), this);
    m_actions.print->setObjectName(QStringLiteral("PrintJournal"));
    m_actions.print->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_P));
    connect(m_actions.print, &QAction::triggered, this, &TForm1::printJournal);
    m_actions.pdf = new QAction(QStringLiteral("&Сохранить историю в PDF..."), this);
    m_actions.pdf->setObjectName(QStringLiteral("SaveJournalAsPdf"));
    m_actions.pdf->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_P));
    connect(m_actions.pdf, &QAction::triggered, this, &TForm1::saveJournalAsPdf);
    m_choosePdfPath = [this] {
        return QFileDialog::getSaveFileName(this, QStringLiteral("Сохранить историю в PDF"),
                                            QStringLiteral("история.pdf"),
                                            QStringLiteral("Документ PDF (*.pdf)"));
    };

    m_bill = new BillControl(
        *this, [this] { return m_widgets.PageControl1->currentWidget(); },
        [this](QWidget *page, QString *whyNot) -> std::optional<bom::Entry> {
            const auto *calculator = qobject_cast<const CalculatorPage *>(page);
            if (!calculator) {
                *whyNot = QStringLiteral("откройте страницу расчета и выполните расчет");
                return std::nullopt;
            }
            // The work is the node that shows the page, when one is selected.
            const int place = m_widgets.TreeView1->selectedPlace();
            const bool named = place >= 0 && m_pages.value(Catalogue::place(place).page) == page;
            return calculator->billEntry(
                named ? m_widgets.TreeView1->node(place)->text(0).simplified() : QString(), whyNot);
        });
    m_norms = new NormControl(*this, *m_journal, norms::defaultDatabasePath());
    // The bill stamps the entry with the moment it takes it.
    connect(m_norms, &NormControl::addToBillRequested, this,
            [this](const norms::NormComputation &computation) {
                m_bill->addEntry(norms::billEntry(computation, QDateTime()), m_norms->window());
            });
    // From «Нормы», where the norms' figures are added, the bill is one key away as here.
    m_norms->shareShortcut(m_bill->showAction());
    // The bill asks the versions of its firm norms when entries come in and when they change,
    // never while it paints.
    FirmBook &firmBook = m_norms->base().firmBook();
    BillReadings &readings = m_bill->readings();
    readings.setNormVersions(
        [&firmBook](const QString &code) { return firmBook.currentVersion(code); });
    connect(&firmBook, &FirmBook::changed, &readings, &BillReadings::refreshNormVersions);
    connect(&m_norms->base(), &NormBase::changed, &readings, &BillReadings::refreshNormVersions);
    // The bill reads its catalogue prices from the same base when its codes come in, and all of
    // them afresh after an import.
    readings.setCatalogue(std::make_shared<NormBaseCatalogue>(m_norms->base()));
    connect(&m_norms->base(), &NormBase::changed, &readings, &BillReadings::catalogueChanged);
    // The bill's local estimate is priced from the same base.
    m_estimate = new EstimateControl(m_bill->book(), m_norms->base(), *this, this);
    connect(m_bill, &BillControl::estimateRequested, m_estimate, &EstimateControl::showWindow);
}

void TForm1::createMenus()
{
    menuBar()->setObjectName(QStringLiteral("MainMenu1"));
    QMenu *actions = menuBar()->addMenu(QStringLiteral("&Действия"));
    actions->setObjectName(QStringLiteral("N1"));
    actions->addAction(m_bill->addAction());
    actions->addAction(m_bill->showAction());
    actions->addSeparator();
    actions->addAction(m_norms->showAction());
    actions->addAction(m_norms->importAction());
    actions->addAction(m_norms->importFolderAction());
    actions->addAction(m_norms->importPricesAction());
    actions->addAction(m_norms->exportAction());
    actions->addAction(m_norms->rateTablesAction());
    actions->addSeparator();
    actions->addAction(m_actions.print);
    actions->addAction(m_actions.pdf);
    actions->addSeparator();
    actions->addAction(m_actions.exit);
    QMenu *control = menuBar()->addMenu(QStringLiteral("&Управление"));
    control->setObjectName(QStringLiteral("N2"));
    control->addAction(m_actions.forward);
    control->addAction(m_actions.back);
    QMenu *help = menuBar()->addMenu(QStringLiteral("?"));
    help->setObjectName(QStringLiteral("N10"));
    help->addAction(m_actions.home);
}

void TForm1::createToolBar()
{
    QToolBar *bar = addToolBar(QStringLiteral("ToolBar1"));
    bar->setObjectName(QStringLiteral("ToolBar1"));
    bar->setMovable(false);
    bar->setFloatable(false);
    bar->setContextMenuPolicy(Qt::PreventContextMenu);
    bar->setIconSize(QSize(24, 24));
    bar->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    bar->setFixedHeight(47);
    bar->layout()->setSpacing(0);
    // The gap before the first button; the style adds no padding of its own (WindowStyle).
    auto *gap = new QWidget(bar);
    gap->setObjectName(QStringLiteral("ToolBarGap"));
    gap->setFixedSize(8, 45);
    bar->addWidget(gap);

    auto *noTip = new NoToolTip(this);
    const struct
    {
        QAction *action;
        const char *name;
        bool tip;
    } buttons[] = {
        {m_actions.exit, "ToolButton16", false},  {m_actions.home, "ToolButton1", false},
        {m_actions.back, "ToolButton8", false},   {m_actions.forward, "ToolButton9", false},
        {m_actions.history, "ToolButton4", true}, {m_actions.gost, "ToolButton5", true},
    };
    for (const auto &button : buttons) {
        bar->addAction(button.action);
        QWidget *widget = bar->widgetForAction(button.action);
        widget->setObjectName(QString::fromLatin1(button.name));
        widget->setFixedSize(52, 45);
        widget->setCursor(Qt::PointingHandCursor);
        if (!button.tip)
            widget->installEventFilter(noTip);
    }
}

void TForm1::createCentralArea()
{
    auto *area = new QWidget(this);
    area->setObjectName(QStringLiteral("ClientArea"));
    setCentralWidget(area);
    // Positions are client-area pixels below the tool bar, which is 47 high.
    const int top = 56 - 47;

    m_widgets.TreeView1 = new Catalogue(area);
    m_widgets.TreeView1->setGeometry(8, top, 289, 529);
    connect(m_widgets.TreeView1, &QTreeWidget::itemSelectionChanged, this,
            &TForm1::TreeView1Change);
    connect(m_widgets.TreeView1, &Catalogue::clickedAnywhere, this, &TForm1::TreeView1Click);

    m_widgets.PageControl1 = new QStackedWidget(area);
    m_widgets.PageControl1->setObjectName(QStringLiteral("PageControl1"));
    m_widgets.PageControl1->setGeometry(304, top, 337, 537);
    m_widgets.PageControl1->setFrameShape(QFrame::StyledPanel);
}

// Made after the pages, so that Tab goes from the catalogue through the shown page to the journal.
void TForm1::createJournalPanel()
{
    m_widgets.Memo2 = new JournalPanel(*m_journal, centralWidget());
    m_widgets.Memo2->setGeometry(8, 600 - 47, 633, 49);
}

void TForm1::addPage(PageId id, QWidget *page)
{
    m_widgets.PageControl1->addWidget(page);
    m_pages.insert(id, page);
}

void TForm1::createPages()
{
    addPage(PageId::Home, shellpages::createHomePage());
    addPage(PageId::Overview, shellpages::createOverviewPage(&m_widgets.Label76));
    const pages::CalculatorPages calculators =
        pages::createCalculatorPages(*m_journal, m_widgets.PageControl1, &m_norms->base());
    m_widgets.masonry = calculators.masonry;
    for (auto it = calculators.byId.cbegin(); it != calculators.byId.cend(); ++it) {
        addPage(it.key(), it.value());
        if (auto *page = qobject_cast<CalculatorPage *>(it.value()))
            connect(page, &CalculatorPage::addToBillRequested, m_bill,
                    [this, page] { m_bill->addResultsOf(page); });
    }
}

void TForm1::createStatusBar()
{
    statusBar()->setObjectName(QStringLiteral("StatusBar1"));
    statusBar()->setFixedHeight(19);
    statusBar()->setSizeGripEnabled(true);
    m_widgets.statusPanel0 = new QLabel(this);
    m_widgets.statusPanel0->setObjectName(QStringLiteral("StatusPanel0"));
    m_widgets.statusPanel0->setFixedWidth(500);
    m_widgets.statusPanel1 = new QLabel(this);
    m_widgets.statusPanel1->setObjectName(QStringLiteral("StatusPanel1"));
    statusBar()->addWidget(m_widgets.statusPanel0);
    // The clock's panel is permanent: a passing message (the bill's) covers the first panel only.
    statusBar()->addPermanentWidget(m_widgets.statusPanel1, 1);
}

QString TForm1::statusText(int panel) const
{
    return (panel == 0 ? m_widgets.statusPanel0 : m_widgets.statusPanel1)->text();
}

void TForm1::showEvent(QShowEvent *event)
{
    QMainWindow::showEvent(event);
    if (m_shown)
        return;
    m_shown = true;
    if (const QScreen *screen = this->screen()) {
        QRect frame = frameGeometry();
        frame.moveCenter(screen->availableGeometry().center());
        move(frame.topLeft());
    }
    FormShow();
    // Once the window stands, so that the question has it behind it.
    QTimer::singleShot(0, m_bill, &BillControl::offerRecovery);
}

void TForm1::FormShow()
{
    m_widgets.PageControl1->setCurrentWidget(m_pages.value(PageId::Home));
    m_widgets.statusPanel0->setText(QStringLiteral("Добро пожаловать в программу \"Мерилон\"!"));
}

void TForm1::actOnSelectedPlace()
{
    const int place = m_widgets.TreeView1->selectedPlace();
    const CataloguePlace &entry = Catalogue::place(place);
    m_widgets.statusPanel0->setText(QStringLiteral("Текущий расчет: ") +
                                    m_widgets.TreeView1->node(place)->text(0));
    m_widgets.PageControl1->setCurrentWidget(m_pages.value(entry.page));
    if (entry.overviewTitle)
        m_widgets.Label76->setText(QString::fromUtf8(entry.overviewTitle));
    // The masonry rates follow the selected node; leaving the masonry nodes leaves no kind.
    m_widgets.masonry->setMasonryKind(entry.masonryKind);
    if (entry.thicknessHundredths)
        m_widgets.masonry->setThicknessText(thicknessText(entry));
}

void TForm1::TreeView1Change()
{
    const int place = m_widgets.TreeView1->selectedPlace();
    if (place < 0)
        return;
    m_widgets.TreeView1->expandForSelection(m_lastSelectedPlace, place);
    m_lastSelectedPlace = place;
    actOnSelectedPlace();
}

void TForm1::TreeView1Click()
{
    const int place = m_widgets.TreeView1->selectedPlace();
    if (place < 0)
        return;
    actOnSelectedPlace();
    m_journal->append(QStringLiteral("Выбрано:  ") + m_widgets.TreeView1->node(place)->text(0));
}

void TForm1::moveBy(int step)
{
    const int place = m_widgets.TreeView1->selectedPlace();
    if (place < 0)
        return;
    const int target = place + step;
    if (target >= 0 && target < Catalogue::kPlaceCount)
        m_widgets.TreeView1->select(target);
    m_widgets.TreeView1->setFocus(Qt::OtherFocusReason);
    m_journal->append(QStringLiteral("Перемещение: ") +
                      m_widgets.TreeView1->node(m_widgets.TreeView1->selectedPlace())->text(0));
}

void TForm1::ToolButton8Click()
{
    moveBy(-1);
}

void TForm1::ToolButton9Click()
{
    moveBy(+1);
}

void TForm1::ToolButton1Click()
{
    m_widgets.PageControl1->setCurrentWidget(m_pages.value(PageId::Home));
}

void TForm1::ToolButton16Click()
{
    close();
}

void TForm1::ToolButton5Click()
{
    if (!QDesktopServices::openUrl(kStandardsPortal))
        errorreport::show(QStringLiteral("Не удалось открыть страницу ") +
                          kStandardsPortal.toString() +
                          QStringLiteral(": в системе не найдена программа для просмотра "
                                         "веб-страниц"));
}

bool TForm1::saveJournal(const QString &path)
{
    if (const std::optional<QString> failure = journalfile::write(m_journal->lines(), path)) {
        errorreport::show(*failure);
        return false;
    }
    return true;
}

void TForm1::ToolButton4Click()
{
    const QString date = m_clock->dateText();
    m_journal->append(QStringLiteral("Сохранение по запросу.История расчетов сохранена. Дата ") +
                      date + QStringLiteral(" время сохранения: ") + m_clock->timeText());
    const QString path = QStringLiteral("data/") + date + QStringLiteral(".txt");
    if (saveJournal(path))
        m_journal->append(QStringLiteral("Файл создан и сохранен в папке ") + path);
}

bool TForm1::FormClose()
{
    m_journal->append(QStringLiteral("Текущая история расчетов сохранена. Дата ") +
                      m_clock->dateText() + QStringLiteral(" время сохранения: ") +
                      m_clock->timeText());
    return saveJournal(QStringLiteral("data/history.txt"));
}

// Printing shows the journal as it stands and leaves it, and its files, untouched.
void TForm1::printJournal()
{
    QPrinter printer;
    QPrintDialog dialog(&printer, this);
    if (dialog.exec() == QDialog::Accepted &&
        !journalprint::print(&printer, m_journal->lines(), m_clock->dateText(),
                             m_clock->timeText()))
        errorreport::show(QStringLiteral("Не удалось напечатать историю расчетов"));
}

void TForm1::saveJournalAsPdf()
{
    const QString path = m_choosePdfPath();
    if (path.isEmpty())
        return;
    if (const std::optional<QString> failure = journalprint::writePdf(
            path, m_journal->lines(), m_clock->dateText(), m_clock->timeText()))
        errorreport::show(*failure);
}

// A journal that cannot be saved must not hold the window hostage: after the report the user
// may close without saving (docs/decisions.md, "Closing without a writable data folder").
void TForm1::closeEvent(QCloseEvent *event)
{
    // Asked first, so that staying on leaves the journal as it was.
    if (!m_bill->mayQuit()) {
        event->ignore();
        return;
    }
    if (FormClose() ||
        errorreport::askToGoAhead(
            QStringLiteral("Журнал не сохранен. Закрыть программу без сохранения журнала?"),
            QStringLiteral("Закрыть без сохранения"), QStringLiteral("Отмена"))) {
        event->accept();
        // The bill's window goes with the main window, or the program would stay running.
        m_bill->closeWindow();
        m_norms->closeWindow();
    } else {
        event->ignore();
    }
}
