// Reads arbitrary bytes as a bill file and holds the reader to its promises: it never crashes,
// a refusal always says why, and every bill it accepts saves back to bytes that read as an equal
// bill. The totals and the CSV of an accepted bill are worked out too, so that whatever a file
// may hold (huge, tiny or negative figures, odd terms) passes through them safely.

#include "billcsv.h"
#include "billfile.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {

[[noreturn]] void fail(const char *property, const QByteArray &input, const QString &detail)
{
    std::fprintf(stderr, "PROPERTY FAILED: %s\n  input: %s\n  %s\n", property,
                 input.left(400).toPercentEncoding(" {}[]\":,").constData(),
                 detail.toUtf8().constData());
    std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray input =
        QByteArray::fromRawData(reinterpret_cast<const char *>(data), qsizetype(size));
    const billfile::Reading first = billfile::decode(input);
    if (!first.bill) {
        if (first.failure.isEmpty())
            fail("a refusal says why", input, QString());
        return 0;
    }
    const QByteArray saved = billfile::encode(*first.bill);
    const billfile::Reading second = billfile::decode(saved);
    if (!second.bill)
        fail("a saved bill opens", input, second.failure);
    if (!(*second.bill == *first.bill))
        fail("a saved bill opens equal", input, QString::fromUtf8(saved.left(2000)));
    const bom::Totals totals = bom::computeTotals(*first.bill);
    if (totals.grandKopecks < 0 || totals.grandKopecks > bom::kMaxKopecks)
        fail("the grand total stays within the money range", input,
             QString::number(totals.grandKopecks));
    const QByteArray csv = billcsv::encode(*first.bill, totals);
    if (!csv.startsWith("\xEF\xBB\xBF"))
        fail("the CSV starts with its byte-order mark", input, QString());
    return 0;
}
