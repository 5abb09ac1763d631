#include "billcontrol.h"

#include "billbook.h"
#include "billfiles.h"
#include "billnotice.h"
#include "billreadings.h"
#include "billrecovery.h"
#include "billtexts.h"
#include "billwindow.h"
#include "common/closingkeys.h"
#include "common/errorreport.h"

#include <QAction>
#include <QMainWindow>

BillControl::BillControl(QMainWindow &window, std::function<QWidget *()> currentPage,
                         EntryMaker entryOf)
    : QObject(&window), m_mainWindow(window), m_currentPage(std::move(currentPage)),
      m_entryOf(std::move(entryOf)), m_now([] { return QDateTime::currentDateTime(); }),
      m_book(new BillBook(this)), m_readings(new BillReadings(*m_book, this)),
      m_files(new BillFiles(*m_book, &window, this)),
      m_recovery(new BillRecovery(*m_book, BillRecovery::defaultFolder(), this)),
      m_notice(new BillNotice(&window))
{
    m_add = new QAction(QStringLiteral("&Добавить в ведомость"), this);
    m_add->setObjectName(QStringLiteral("AddToBill"));
    m_add->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_D));
    connect(m_add, &QAction::triggered, this, &BillControl::addCurrentResults);
    m_show = new QAction(QStringLiteral("&Ведомость материалов..."), this);
    m_show->setObjectName(QStringLiteral("ShowBill"));
    m_show->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_B));
    connect(m_show, &QAction::triggered, this, &BillControl::showBill);
    // The shortcuts work wherever the focus is in the main window.
    window.addAction(m_add);
    window.addAction(m_show);
}

BillControl::~BillControl()
{
    delete m_window;
}

void BillControl::say(const QString &message, QWidget *host)
{
    m_notice->say(message, BillNotice::Tone::Done, host ? host : &m_mainWindow);
}

void BillControl::refuse(const QString &reason, QWidget *host)
{
    m_notice->say(QStringLiteral("Не добавлено в ведомость: ") + reason + u'.',
                  BillNotice::Tone::Refused, host ? host : &m_mainWindow);
}

void BillControl::addCurrentResults()
{
    addResultsOf(m_currentPage());
}

void BillControl::addResultsOf(QWidget *page)
{
    QString whyNot;
    if (const std::optional<bom::Entry> entry = m_entryOf(page, &whyNot))
        addEntry(*entry);
    else
        refuse(whyNot);
}

void BillControl::addEntry(const bom::Entry &made, QWidget *from)
{
    QWidget *host = from ? from->window() : &m_mainWindow;
    bom::Entry entry = made;
    if (!entry.added.isValid())
        entry.added = m_now();
    const QList<bom::Entry> &entries = m_book->bill().entries;
    // The same results twice in a row are most often a second press, not a second work.
    if (!entries.isEmpty() && bom::sameResults(entries.back(), entry) &&
        !errorreport::askToGoAhead(
            QStringLiteral("Эти результаты уже добавлены в ведомость последней записью (№ %1). "
                           "Добавить их еще раз? Одинаковые работы можно учесть и числом в "
                           "столбце «Кол-во».")
                .arg(entries.size()),
            QStringLiteral("Добавить еще раз"), QStringLiteral("Отмена"), host)) {
        refuse(QStringLiteral("эти результаты уже есть в последней записи"), host);
        return;
    }
    m_book->add(entry);
    say(QStringLiteral("Добавлено в ведомость: %1. Записей в ведомости: %2.")
            .arg(entry.work.isEmpty() ? QStringLiteral("расчет") : entry.work,
                 QString::number(m_book->bill().entries.size())),
        host);
}

void BillControl::showBill()
{
    if (!m_window) {
        m_window = new BillWindow(*m_book, *m_readings, *m_files, &m_mainWindow);
        addQuittingKey(m_window, &m_mainWindow);
        connect(m_window, &BillWindow::estimateRequested, this, &BillControl::estimateRequested);
    }
    m_window->show();
    m_window->raise();
    m_window->activateWindow();
}

void BillControl::openFile(const QString &path)
{
    showBill();
    m_files->open(path);
}

bool BillControl::mayQuit()
{
    if (!m_files->hasChanges())
        return true;
    // The question is about the bill, so the bill is in sight when it is asked.
    showBill();
    return m_files->mayCloseBill();
}

void BillControl::closeWindow()
{
    if (m_window)
        m_window->close();
}

void BillControl::offerRecovery()
{
    const std::optional<BillRecovery::Orphan> orphan = m_recovery->findOrphan();
    if (!orphan)
        return;
    const QString question =
        QStringLiteral("Программа была закрыта аварийно, и в ведомости материалов остались "
                       "несохраненные изменения (%1, записей: %2, сохранено %3). Восстановить "
                       "ведомость?")
            .arg(orphan->path.isEmpty() ? QStringLiteral("новая ведомость") : orphan->path,
                 QString::number(orphan->bill.entries.size()),
                 orphan->written.toString(QStringLiteral("dd.MM.yyyy hh:mm")));
    // Enter restores: the answer that loses nothing.
    switch (errorreport::askToChoose(
        question,
        {QStringLiteral("Восстановить"), QStringLiteral("Удалить"), QStringLiteral("Позже")}, 0)) {
    case 0:
        m_book->replace(orphan->bill, orphan->path, BillBook::State::Modified);
        m_recovery->writeNow();
        m_recovery->discard(*orphan);
        showBill();
        break;
    case 1:
        m_recovery->discard(*orphan);
        break;
    default:
        break;
    }
}
