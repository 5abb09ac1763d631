#include "billfiles.h"

#include "billbook.h"
#include "billcsv.h"
#include "billfile.h"
#include "billfiledialog.h"
#include "billprint.h"
#include "billxlsx.h"
#include "common/errorreport.h"
#include "common/pathtowrite.h"
#include "vorcommand.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QPrintDialog>
#include <QPrinter>

BillFiles::BillFiles(BillBook &book, QWidget *dialogParent, QObject *parent)
    : QObject(parent), m_book(book), m_dialogParent(dialogParent)
{
    m_choosePath = [this](FileChoice choice) {
        const QString name = m_book.path().isEmpty() ? QStringLiteral("ведомость")
                                                     : QFileInfo(m_book.path()).completeBaseName();
        return billfiledialog::choose(this->dialogParent(), choice, name);
    };
    m_headingTexts = [] {
        const QDateTime now = QDateTime::currentDateTime();
        return std::pair{now.toString(QStringLiteral("dd.MM.yyyy")),
                         now.toString(QStringLiteral("hh:mm:ss"))};
    };
}

QWidget *BillFiles::dialogParent() const
{
    return m_window ? m_window.data() : m_dialogParent;
}

void BillFiles::report(const QString &failure) const
{
    errorreport::show(failure, dialogParent());
}

QString BillFiles::pathToWrite(FileChoice choice)
{
    return ::pathToWrite(m_choosePath(choice), billfiledialog::suffixOf(choice), dialogParent());
}

void BillFiles::newBill()
{
    if (mayCloseBill())
        m_book.replace({}, QString());
}

void BillFiles::openBill()
{
    if (!mayCloseBill())
        return;
    if (const QString path = m_choosePath(FileChoice::Open); !path.isEmpty())
        read(path, false);
}

void BillFiles::openVor()
{
    if (!mayCloseBill())
        return;
    if (const QString path = m_choosePath(FileChoice::OpenVor); !path.isEmpty())
        read(path, true);
}

bool BillFiles::open(const QString &path)
{
    return mayCloseBill() && read(path, path.endsWith(u'.' + QString::fromLatin1(vorfile::kSuffix),
                                                      Qt::CaseInsensitive));
}

bool BillFiles::read(const QString &path, bool vor)
{
    if (vor) {
        const vorfile::Reading reading = vorfile::read(path, QDateTime::currentDateTime());
        if (!reading.bill) {
            report(reading.failure);
            return false;
        }
        // A new bill: it belongs to no bill file until saved.
        m_book.replace(*reading.bill, QString(), BillBook::State::Modified);
        return true;
    }
    const billfile::Reading reading = billfile::read(path);
    if (!reading.bill) {
        report(reading.failure);
        return false;
    }
    m_book.replace(*reading.bill, QFileInfo(path).absoluteFilePath());
    return true;
}

bool BillFiles::mayWrite()
{
    const bool taken = takePendingEdits();
    // The check says why a text cannot be taken.
    return (!m_saveCheck || m_saveCheck()) && taken;
}

bool BillFiles::save()
{
    if (!mayWrite())
        return false;
    if (m_book.path().isEmpty())
        return saveAs();
    return writeTo(m_book.path());
}

bool BillFiles::saveAs()
{
    if (!mayWrite())
        return false;
    const QString path = pathToWrite(FileChoice::Save);
    return !path.isEmpty() && writeTo(path);
}

bool BillFiles::writeTo(const QString &path)
{
    if (const std::optional<QString> failure = billfile::write(m_book.bill(), path)) {
        report(*failure);
        return false;
    }
    m_book.markSaved(QFileInfo(path).absoluteFilePath());
    return true;
}

bool BillFiles::hasChanges()
{
    // A text the bill cannot hold is a change too: it is lost unless the user corrects it.
    const bool taken = takePendingEdits();
    return !taken || m_book.isModified();
}

bool BillFiles::mayCloseBill()
{
    if (!hasChanges())
        return true;
    switch (errorreport::askToChoose(
        QStringLiteral("Сохранить изменения в ведомости?"),
        {QStringLiteral("Сохранить"), QStringLiteral("Не сохранять"), QStringLiteral("Отмена")}, -1,
        dialogParent())) {
    case 0:
        return save();
    case 1:
        return true;
    default:
        return false;
    }
}

void BillFiles::exportCsv()
{
    if (!mayWrite())
        return;
    const QString path = pathToWrite(FileChoice::Csv);
    if (path.isEmpty())
        return;
    if (const std::optional<QString> failure = billfile::writeBytes(
            billcsv::encode(m_book.bill(), m_book.totals()), path, billfile::Writing::Export))
        report(*failure);
}

void BillFiles::exportXlsx()
{
    if (!mayWrite())
        return;
    const QString path = pathToWrite(FileChoice::Xlsx);
    if (path.isEmpty())
        return;
    if (const std::optional<QString> failure =
            billxlsx::write(m_book.bill(), m_book.totals(), path))
        report(*failure);
}

void BillFiles::exportPdf()
{
    if (!mayWrite())
        return;
    const QString path = pathToWrite(FileChoice::Pdf);
    if (path.isEmpty())
        return;
    const auto [date, time] = m_headingTexts();
    if (const std::optional<QString> failure =
            billprint::writePdf(path, m_book.bill(), m_book.totals(), date, time))
        report(*failure);
}

void BillFiles::print()
{
    if (!mayWrite())
        return;
    QPrinter printer;
    QPrintDialog dialog(&printer, dialogParent());
    if (dialog.exec() == QDialog::Accepted) {
        const auto [date, time] = m_headingTexts();
        billprint::print(&printer, m_book.bill(), m_book.totals(), date, time);
    }
}

void BillFiles::exportVor()
{
    if (!mayWrite())
        return;
    const QList<vorfile::Gap> gaps = vorfile::check(m_book.bill());
    if (!gaps.isEmpty()) {
        QStringList lines;
        for (const vorfile::Gap &gap : gaps)
            lines.append(gap.text);
        // The first gap is selected for the user to fill; the message lists them all.
        emit vorGapFound(gaps.first());
        report(QStringLiteral("Ведомость объемов работ не записана — не хватает данных:\n") +
               lines.join(u'\n'));
        return;
    }
    const QString path = pathToWrite(FileChoice::Vor);
    if (path.isEmpty())
        return;
    const vorfile::Meta meta{vorcommand::softName(), QCoreApplication::applicationVersion(),
                             QDateTime::currentDateTime()};
    if (const std::optional<QString> failure = vorfile::write(m_book.bill(), meta, path))
        report(*failure);
}
