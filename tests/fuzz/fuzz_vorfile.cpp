// Reads arbitrary bytes as a bill of quantities for expertise (.gge) and holds the reader to its
// promises: it never crashes, a refusal says where the file goes wrong, and a bill it accepts
// that the check passes is written to a file that reads back and writes the same again. The
// totals of an accepted bill are worked out too.

#include "totals.h"
#include "vorfile.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {

[[noreturn]] void fail(const char *property, const QByteArray &input, const QString &detail)
{
    std::fprintf(stderr, "PROPERTY FAILED: %s\n  input: %s\n  %s\n", property,
                 input.left(400).toPercentEncoding(" <>/=\"").constData(),
                 detail.toUtf8().constData());
    std::abort();
}

const vorfile::Meta kMeta{QStringLiteral("Мерилон 3"), QStringLiteral("3"),
                          QDateTime(QDate(2026, 12, 8), QTime(10, 0), Qt::UTC)};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray input =
        QByteArray::fromRawData(reinterpret_cast<const char *>(data), qsizetype(size));
    const QDateTime added(QDate(2026, 12, 8), QTime(9, 0), Qt::UTC);
    const vorfile::Reading first = vorfile::decode(input, added);
    if (!first.bill) {
        if (!first.failure.contains(QStringLiteral("(строка ")))
            fail("a refusal says the line and the column", input, first.failure);
        return 0;
    }
    bom::computeTotals(*first.bill);
    if (!vorfile::check(*first.bill).isEmpty())
        return 0;
    const QByteArray written = vorfile::encode(*first.bill, kMeta);
    const vorfile::Reading second = vorfile::decode(written, added);
    if (!second.bill)
        fail("a written file reads back", input, second.failure);
    const QByteArray again = vorfile::encode(*second.bill, kMeta);
    if (again != written)
        fail("a file read back writes the same", input, QString::fromUtf8(written.left(3000)));
    return 0;
}
