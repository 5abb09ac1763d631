#include "billfiles.h"

#include "billbook.h"
#include "billfile.h"
#include "common/errorreport.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>

namespace {

QString suffixOf(BillFiles::FileChoice choice)
{
    switch (choice) {
    case BillFiles::FileChoice::Xlsx:
        return QStringLiteral("xlsx");
    case BillFiles::FileChoice::Csv:
        return QStringLiteral("csv");
    case BillFiles::FileChoice::Pdf:
        return QStringLiteral("pdf");
    case BillFiles::FileChoice::Vor:
    case BillFiles::FileChoice::OpenVor:
        return QStringLiteral("gge");
    default:
        return QString::fromLatin1(billfile::kSuffix);
    }
}

QString dialogChoice(QWidget *parent, BillFiles::FileChoice choice, const QString &name)
{
    const QString bills =
        QStringLiteral("Ведомость материалов (*.%1)").arg(QString::fromLatin1(billfile::kSuffix));
    QFileDialog dialog(parent);
    dialog.setDefaultSuffix(suffixOf(choice));
    switch (choice) {
    case BillFiles::FileChoice::Open:
        dialog.setWindowTitle(QStringLiteral("Открыть ведомость"));
        dialog.setNameFilter(bills);
        dialog.setFileMode(QFileDialog::ExistingFile);
        dialog.setAcceptMode(QFileDialog::AcceptOpen);
        break;
    case BillFiles::FileChoice::Save:
        dialog.setWindowTitle(QStringLiteral("Сохранить ведомость как"));
        dialog.setNameFilter(bills);
        break;
    case BillFiles::FileChoice::Xlsx:
        dialog.setWindowTitle(QStringLiteral("Экспорт в XLSX"));
        dialog.setNameFilter(QStringLiteral("Книга Excel (*.xlsx)"));
        break;
    case BillFiles::FileChoice::Csv:
        dialog.setWindowTitle(QStringLiteral("Экспорт в CSV"));
        dialog.setNameFilter(QStringLiteral("Текст CSV (*.csv)"));
        break;
    case BillFiles::FileChoice::Pdf:
        dialog.setWindowTitle(QStringLiteral("Сохранить ведомость в PDF"));
        dialog.setNameFilter(QStringLiteral("Документ PDF (*.pdf)"));
        break;
    case BillFiles::FileChoice::Vor:
        dialog.setWindowTitle(QStringLiteral("Экспорт ВОР для экспертизы"));
        dialog.setNameFilter(QStringLiteral("Ведомость объемов работ (*.gge)"));
        break;
    case BillFiles::FileChoice::OpenVor:
        dialog.setWindowTitle(QStringLiteral("Открыть ВОР"));
        dialog.setNameFilter(QStringLiteral("Ведомость объемов работ (*.gge)"));
        dialog.setFileMode(QFileDialog::ExistingFile);
        dialog.setAcceptMode(QFileDialog::AcceptOpen);
        break;
    }
    if (choice != BillFiles::FileChoice::Open && choice != BillFiles::FileChoice::OpenVor) {
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        // The dialog adds the suffix before it checks for a file to replace, so its question
        // is about the file that will really be written.
        dialog.selectFile(name + u'.' + suffixOf(choice));
    }
    return dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty()
               ? dialog.selectedFiles().constFirst()
               : QString();
}

} // namespace

BillFiles::BillFiles(BillBook &book, QWidget *dialogParent, QObject *parent)
    : QObject(parent), m_book(book), m_dialogParent(dialogParent)
{
    m_choosePath = [this](FileChoice choice) {
        const QString name = m_book.path().isEmpty() ? QStringLiteral("ведомость")
                                                     : QFileInfo(m_book.path()).completeBaseName();
        return dialogChoice(this->dialogParent(), choice, name);
    };
}

QWidget *BillFiles::dialogParent() const
{
    return m_window ? m_window.data() : m_dialogParent;
}

QString BillFiles::pathToWrite(const QString &chosen, const QString &suffix, QWidget *parent)
{
    const QString ending = u'.' + suffix;
    if (chosen.isEmpty() || chosen.endsWith(ending, Qt::CaseInsensitive))
        return chosen;
    const QString path = chosen + ending;
    if (QFileInfo::exists(path) &&
        !errorreport::askToGoAhead(QStringLiteral("Файл «%1» уже существует. Заменить его?")
                                       .arg(QDir::toNativeSeparators(path)),
                                   QStringLiteral("Заменить"), QStringLiteral("Отмена"), parent))
        return QString();
    return path;
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
    const QString path = m_choosePath(FileChoice::Open);
    if (path.isEmpty())
        return;
    const billfile::Reading reading = billfile::read(path);
    if (!reading.bill) {
        errorreport::show(reading.failure, dialogParent());
        return;
    }
    m_book.replace(*reading.bill, QFileInfo(path).absoluteFilePath());
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
    const QString chosen = m_choosePath(FileChoice::Save);
    const QString path =
        pathToWrite(chosen, QString::fromLatin1(billfile::kSuffix), dialogParent());
    return !path.isEmpty() && writeTo(path);
}

bool BillFiles::writeTo(const QString &path)
{
    if (const std::optional<QString> failure = billfile::write(m_book.bill(), path)) {
        errorreport::show(*failure, dialogParent());
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
