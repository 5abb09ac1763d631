#include "pricecontrol.h"
#include "progressshare.h"

#include "common/errorreport.h"
#include "normbase.h"
#include "priceimport.h"
#include "pricepanel.h"

#include <QAction>
#include <QFileDialog>
#include <QLocale>
#include <QPointer>
#include <QProgressDialog>
#include <QThread>

#include <algorithm>

struct PriceControl::Run
{
    std::atomic<bool> cancel = false;
    norms::PriceImportResult result;
};

PriceControl::PriceControl(NormBase &base, std::function<QWidget *()> owner, QObject *parent)
    : QObject(parent), m_base(base), m_owner(std::move(owner))
{
    m_import = new QAction(QStringLiteral("Загрузить сметные &цены региона..."), this);
    m_import->setObjectName(QStringLiteral("ImportPrices"));
    connect(m_import, &QAction::triggered, this, &PriceControl::chooseAndImport);
    m_chooseFiles = [this] {
        return QFileDialog::getOpenFileNames(
            m_owner(), QStringLiteral("Загрузить сметные цены региона"), QString(),
            QStringLiteral("Сплит-форма (*.xlsx *.csv);;Все файлы (*)"));
    };
}

PriceControl::~PriceControl()
{
    // Quitting while importing leaves the base as it was.
    if (m_thread) {
        m_run->cancel = true;
        m_thread->wait();
    }
}

void PriceControl::chooseAndImport()
{
    if (m_thread)
        return;
    const QStringList files = m_chooseFiles();
    if (!files.isEmpty())
        importFiles(files);
}

void PriceControl::importFiles(const QStringList &files)
{
    if (m_thread)
        return;
    auto run = std::make_shared<Run>();
    m_run = run;
    m_progress = new QProgressDialog(QStringLiteral("Загрузка сметных цен..."),
                                     QStringLiteral("Отмена"), 0, 1000, m_owner());
    m_progress->setObjectName(QStringLiteral("PriceImportProgress"));
    m_progress->setWindowTitle(QStringLiteral("Загрузка сметных цен региона"));
    m_progress->setWindowModality(Qt::WindowModal);
    m_progress->setMinimumDuration(0);
    m_progress->setAutoClose(false);
    m_progress->setAutoReset(false);
    m_progress->setMinimumWidth(420);
    connect(m_progress, &QProgressDialog::canceled, this, [run] { run->cancel = true; });
    const QString path = m_base.path();
    QPointer<QProgressDialog> progress = m_progress;
    m_thread = QThread::create([run, path, files, progress] {
        run->result = norms::importPriceLists(
            path, files,
            [progress](const norms::PriceImportStatus &status) {
                QMetaObject::invokeMethod(
                    progress,
                    [progress, status] {
                        if (!progress)
                            return;
                        progress->setLabelText(
                            QStringLiteral("Загрузка «%1»\nПрочитано строк: %2")
                                .arg(status.fileName, QLocale().toString(status.rows)));
                        progress->setValue(norms::progressShare(status, 1000));
                    },
                    Qt::QueuedConnection);
            },
            &run->cancel);
    });
    connect(m_thread, &QThread::finished, this, &PriceControl::finishImport);
    m_progress->show();
    m_thread->start();
}

void PriceControl::finishImport()
{
    const norms::PriceImportResult result = m_run->result;
    m_thread->deleteLater();
    m_thread = nullptr;
    m_progress->hide();
    m_progress->deleteLater();
    m_progress = nullptr;
    m_run.reset();
    switch (result.outcome) {
    case norms::PriceImportResult::Outcome::Imported: {
        // The list just loaded is the one the user wants to see prices from.
        PricePanel::remember(result.lists.back().title);
        m_base.reopen();
        emit finished(true, norms::priceSummaryText(result));
        break;
    }
    case norms::PriceImportResult::Outcome::Cancelled:
        emit finished(false, QStringLiteral("Загрузка сметных цен отменена; база норм не "
                                            "изменена."));
        break;
    case norms::PriceImportResult::Outcome::Refused:
        errorreport::show(result.reason, m_owner());
        break;
    }
}
