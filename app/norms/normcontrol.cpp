#include "normcontrol.h"
#include "progressshare.h"

#include "common/closingkeys.h"
#include "common/errorreport.h"
#include "firmbook.h"
#include "normbase.h"
#include "normimport.h"
#include "normwindow.h"
#include "pricecontrol.h"
#include "ratetableswindow.h"

#include <QAction>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QLocale>
#include <QProgressDialog>
#include <QThread>

#include <algorithm>

// What the worker thread and the window share: the cancel flag, and the result once it is there.
struct NormControl::Run
{
    std::atomic<bool> cancel = false;
    norms::ImportResult result;
};

namespace {

QString megabytes(qint64 bytes)
{
    return QLocale().toString(double(bytes) / (1024.0 * 1024.0), 'f', 1);
}

QString progressText(const norms::ImportStatus &status)
{
    return QStringLiteral("Загрузка «%1»\nПрочитано %2 из %3 МБ, норм: %4")
        .arg(status.fileName, megabytes(status.bytesRead), megabytes(status.bytesTotal),
             QLocale().toString(status.norms));
}

} // namespace

NormControl::NormControl(QWidget &mainWindow, Journal &journal, const QString &databasePath)
    : QObject(&mainWindow), m_mainWindow(mainWindow), m_journal(journal),
      m_base(new NormBase(databasePath, this))
{
    m_import = new QAction(QStringLiteral("&Загрузить базу норм..."), this);
    m_import->setObjectName(QStringLiteral("ImportNorms"));
    connect(m_import, &QAction::triggered, this, &NormControl::chooseAndImport);
    m_importFolder = new QAction(QStringLiteral("Загрузить базу норм из пап&ки..."), this);
    m_importFolder->setObjectName(QStringLiteral("ImportNormsFolder"));
    connect(m_importFolder, &QAction::triggered, this, &NormControl::chooseFolderAndImport);
    m_show = new QAction(QStringLiteral("&Расчет по нормам..."), this);
    m_show->setObjectName(QStringLiteral("ShowNorms"));
    m_show->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_F));
    connect(m_show, &QAction::triggered, this, &NormControl::showWindow);
    m_export = new QAction(QStringLiteral("&Экспорт фирменных норм..."), this);
    m_export->setObjectName(QStringLiteral("ExportFirmNorms"));
    connect(m_export, &QAction::triggered, this, &NormControl::chooseAndExport);
    m_rateTables = new QAction(QStringLiteral("&Нормативы НР и СП..."), this);
    m_rateTables->setObjectName(QStringLiteral("ShowRateTables"));
    connect(m_rateTables, &QAction::triggered, this, &NormControl::showRateTables);
    m_prices = new PriceControl(
        *m_base, [this] { return owner(); }, this);
    // Told where the norm import's summary is; a cancel too, as the norm import's.
    connect(m_prices, &PriceControl::finished, this, [this](bool done, const QString &text) {
        if (done || (m_window && m_window->isVisible())) {
            showWindow();
            m_window->showSummary(text);
        } else {
            errorreport::show(text);
        }
    });
    m_chooseFiles = [this] {
        return QFileDialog::getOpenFileNames(owner(), QStringLiteral("Загрузить базу норм"),
                                             QString(), QStringLiteral("Файлы базы норм (*.xml)"));
    };
    m_chooseFolder = [this] {
        return QFileDialog::getExistingDirectory(
            owner(), QStringLiteral("Загрузить базу норм из папки"), QString());
    };
    m_chooseSaveFile = [this] {
        return QFileDialog::getSaveFileName(owner(), QStringLiteral("Экспорт фирменных норм"),
                                            QStringLiteral("Фирменные нормы.xml"),
                                            QStringLiteral("Файлы базы норм (*.xml)"));
    };
}

NormControl::~NormControl()
{
    // A program that quits while importing leaves the previous base as it was.
    if (m_thread) {
        m_run->cancel = true;
        m_thread->wait();
    }
}

QAction *NormControl::importPricesAction() const
{
    return m_prices->importAction();
}

NormWindow *NormControl::window() const
{
    return m_window;
}

QWidget *NormControl::owner() const
{
    return m_window && m_window->isVisible() ? static_cast<QWidget *>(m_window.data())
                                             : &m_mainWindow;
}

void NormControl::showWindow()
{
    const bool made = !m_window;
    if (made) {
        m_window = new NormWindow(*m_base, m_journal, &m_mainWindow);
        connect(m_window, &NormWindow::addToBillRequested, this, &NormControl::addToBillRequested);
        connect(m_window, &NormWindow::importRequested, this, &NormControl::chooseAndImport);
        connect(m_window, &NormWindow::exportRequested, this, &NormControl::chooseAndExport);
        if (m_chooseConflicts)
            m_window->firmActions().setConflictChooser(m_chooseConflicts);
        addQuittingKey(m_window, &m_mainWindow);
        m_window->addActions(m_shared);
    }
    m_window->show();
    m_window->raise();
    m_window->activateWindow();
    // As Ctrl+F does everywhere: the search, ready to be typed over.
    m_window->focusSearch();
    // Conflicts left by an earlier import are offered once the window is there to own the
    // question.
    if (made)
        QMetaObject::invokeMethod(&m_window->firmActions(), &FirmNormActions::offerConflicts,
                                  Qt::QueuedConnection);
}

RateTablesWindow *NormControl::rateTablesWindow() const
{
    return m_rateTablesWindow;
}

void NormControl::showRateTables()
{
    if (!m_rateTablesWindow) {
        m_rateTablesWindow = new RateTablesWindow(*m_base, &m_mainWindow);
        addQuittingKey(m_rateTablesWindow, &m_mainWindow);
    }
    m_rateTablesWindow->show();
    m_rateTablesWindow->raise();
    m_rateTablesWindow->activateWindow();
}

void NormControl::setConflictChooser(FirmNormActions::ConflictChooser choose)
{
    m_chooseConflicts = std::move(choose);
    if (m_window)
        m_window->firmActions().setConflictChooser(m_chooseConflicts);
}

void NormControl::shareShortcut(QAction *action)
{
    m_shared.append(action);
    if (m_window)
        m_window->addAction(action);
}

void NormControl::chooseAndExport()
{
    QString path;
    const norms::firm::ExportResult result = m_base->firmBook().exportTo([this, &path] {
        path = m_chooseSaveFile();
        return path;
    });
    if (!result.done) {
        // No file chosen: nothing to say.
        if (!result.reason.isEmpty())
            errorreport::show(result.reason, owner());
        return;
    }
    showWindow();
    m_window->showSummary(QStringLiteral("Фирменные нормы (%1) записаны в файл «%2».")
                              .arg(QString::number(result.norms), QDir::toNativeSeparators(path)));
}

void NormControl::closeWindow()
{
    if (m_window)
        m_window->close();
}

void NormControl::chooseAndImport()
{
    if (m_thread)
        return;
    const QStringList files = m_chooseFiles();
    if (!files.isEmpty())
        importFiles(files);
}

void NormControl::chooseFolderAndImport()
{
    if (m_thread)
        return;
    const QString folder = m_chooseFolder();
    if (!folder.isEmpty())
        importFiles({folder});
}

void NormControl::importFiles(const QStringList &files)
{
    if (m_thread)
        return;
    auto run = std::make_shared<Run>();
    m_run = run;
    m_progress = new QProgressDialog(QStringLiteral("Загрузка базы норм..."),
                                     QStringLiteral("Отмена"), 0, 1000, owner());
    m_progress->setObjectName(QStringLiteral("NormImportProgress"));
    m_progress->setWindowTitle(QStringLiteral("Загрузка базы норм"));
    m_progress->setWindowModality(Qt::WindowModal);
    m_progress->setMinimumDuration(0);
    m_progress->setAutoClose(false);
    m_progress->setAutoReset(false);
    m_progress->setMinimumWidth(420);
    connect(m_progress, &QProgressDialog::canceled, this, [run] { run->cancel = true; });

    const QString path = m_base->path();
    QPointer<QProgressDialog> progress = m_progress;
    m_thread = QThread::create([run, path, files, progress] {
        run->result = norms::importFiles(
            path, files,
            [progress](const norms::ImportStatus &status) {
                QMetaObject::invokeMethod(
                    progress,
                    [progress, status] {
                        if (!progress)
                            return;
                        progress->setLabelText(progressText(status));
                        progress->setValue(norms::progressShare(status, 1000));
                    },
                    Qt::QueuedConnection);
            },
            &run->cancel);
    });
    connect(m_thread, &QThread::finished, this, &NormControl::finishImport);
    m_progress->show();
    m_thread->start();
}

void NormControl::finishImport()
{
    const norms::ImportResult result = m_run->result;
    m_thread->deleteLater();
    m_thread = nullptr;
    // Hidden at once: a window-modal dialog left showing until its deletion would keep the
    // windows below it from their keys.
    m_progress->hide();
    m_progress->deleteLater();
    m_progress = nullptr;
    m_run.reset();
    switch (result.outcome) {
    case norms::ImportResult::Outcome::Imported: {
        m_base->reopen();
        const QString summary = QStringList{norms::movedAsideText(result, m_base->path()),
                                            norms::summaryText(result, m_base->path())}
                                    .join(u' ')
                                    .trimmed();
        const bool shown = m_window != nullptr;
        showWindow();
        m_window->showSummary(summary);
        // A window made just now offers the conflicts itself.
        if (shown)
            QMetaObject::invokeMethod(&m_window->firmActions(), &FirmNormActions::offerConflicts,
                                      Qt::QueuedConnection);
        emit importFinished(true, summary);
        break;
    }
    case norms::ImportResult::Outcome::Cancelled: {
        // Told where the import's summary would stand: in the norm window when it is open, else
        // in a box, as a refusal is, since the main window has no line for it.
        const QString text = QStringLiteral("Загрузка отменена; база норм не изменена.");
        if (m_window && m_window->isVisible())
            m_window->showSummary(text);
        else
            errorreport::show(text);
        emit importFinished(false, text);
        break;
    }
    case norms::ImportResult::Outcome::Refused:
        errorreport::show(result.reason, owner());
        emit importFinished(false, result.reason);
        break;
    }
}
