#include "billfiledialog.h"

#include "billfile.h"

#include <QFileDialog>

namespace billfiledialog {

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

QString choose(QWidget *parent, BillFiles::FileChoice choice, const QString &name)
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

} // namespace billfiledialog
