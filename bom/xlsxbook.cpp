#include "xlsxbook.h"

#include "billfile.h"

#include <QFile>
#include <QTemporaryDir>

#include <clocale>

namespace xlsxbook {

namespace {

// libxlsxwriter prints numbers with printf, which writes the decimal separator of the C
// locale; on Unix the program runs in the user's, where it is a comma no spreadsheet reads.
// The switch is the whole process's, and an import may be running on a thread of its own
// meanwhile; it is not disturbed, since nothing there converts numbers through the C library:
// Qt, SQLite and the XML reader read and write them by their own rules, whatever the locale.
class PointLocale
{
public:
    PointLocale() : m_previous(std::setlocale(LC_NUMERIC, nullptr))
    {
        std::setlocale(LC_NUMERIC, "C");
    }
    ~PointLocale() { std::setlocale(LC_NUMERIC, m_previous.constData()); }
    PointLocale(const PointLocale &) = delete;
    PointLocale &operator=(const PointLocale &) = delete;

private:
    QByteArray m_previous;
};

} // namespace

std::optional<QString> write(const QString &path, const QString &refused, const char *title,
                             const std::function<lxw_error(lxw_workbook *)> &fill)
{
    const QTemporaryDir scratch;
    if (!scratch.isValid())
        return refused + QStringLiteral("нет места для временного файла.");
    const QString made = scratch.filePath(QStringLiteral("book.xlsx"));
    const QByteArray madeName = QFile::encodeName(made);
    lxw_error error = LXW_NO_ERROR;
    {
        const PointLocale point;
        lxw_workbook *book = workbook_new(madeName.constData());
        if (!book)
            return refused + QStringLiteral("временный файл нельзя создать.");
        // The library's properties take writable strings it never writes to.
        QByteArray titleText(title);
        char author[] = "Мерилон 3";
        lxw_doc_properties properties = {};
        properties.title = titleText.data();
        properties.author = author;
        workbook_set_properties(book, &properties);
        error = fill(book);
        const lxw_error closed = workbook_close(book);
        if (error == LXW_NO_ERROR)
            error = closed;
    }
    if (error != LXW_NO_ERROR)
        return refused +
               QStringLiteral("ошибка записи (%1).").arg(QString::fromUtf8(lxw_strerror(error)));
    QFile file(made);
    if (!file.open(QIODevice::ReadOnly))
        return refused + QStringLiteral("временный файл нельзя прочитать.");
    return billfile::writeBytes(file.readAll(), path, billfile::Writing::Export);
}

} // namespace xlsxbook
