#pragma once

#include <QString>
#include <QXmlStreamReader>

#include <optional>
#include <vector>

class QIODevice;

// Reads one file of the federal norm base as it streams by: collections (resource categories),
// sections nested to any depth, norms with their resources, and price catalogue entries are handed
// to a sink one at a time, so a file of any size is read in little memory.
namespace norms::xml {

struct BaseHeader
{
    QString name;
    QString type;
    QString priceLevel;
    // A price catalogue's approving act (Decrees): «490/пр», «14.08.2025».
    QString actNumber;
    QString actDate;
};

// The price level of the catalogues, which do not state it.
inline constexpr char16_t kCataloguePriceLevel[] = u"01.01.2022";

struct Collection
{
    QString type;   // «РЕМОНТНО-СТРОИТЕЛЬНЫЕ РАБОТЫ»
    QString prefix; // «ГЭСНр»
};

struct Section
{
    QString type; // «Сборник», «Раздел», «Подраздел», «Таблица»
    QString code;
    QString name;
};

// Where a field's characters lie in its norm's text.
struct Span
{
    qsizetype from = 0;
    qsizetype size = 0;
};

struct Resource
{
    Span code;
    Span name;
    Span unit;
    std::optional<double> quantity; // none where the file says «П» (по проекту)
    bool abstract = false;
    Span technologyGroups;
};

// A reference of a norm to the overhead and profit norms (NrSp/ReasonItem): «Пр/812-012.0»,
// «Пр/774-012.0».
struct Reason
{
    Span nr;
    Span sp;
};

// A norm keeps the characters of all its fields in one string, so that reading a norm of ten
// resource lines allocates a couple of times rather than some fifty.
struct Norm
{
    QString text;
    Span code;
    Span name; // the name group's beginning, a space and the work's end
    Span measure;
    Span content; // one item per line: the norm's own, else its table's
    std::vector<Resource> resources;
    std::vector<Reason> reasons; // in the file's order

    QStringView view(Span span) const { return QStringView(text).mid(span.from, span.size); }
    Span append(QStringView characters)
    {
        const Span span{text.size(), characters.size()};
        text.append(characters);
        return span;
    }
};

// A resource of a price catalogue with its price at the base level.
struct CatalogueEntry
{
    QString code;
    QString name;
    QString unit;
    bool machine = false;
    std::optional<double> cost;           // a material's Cost; a machine-hour's price with the wage
    std::optional<double> releaseCost;    // OptCost
    std::optional<double> machinistWage;  // SalaryMach
    std::optional<double> machinistHours; // LabourMach
    QString driverCode;                   // DriverCode: the machinist's labour code, «4-100-060»
    QString machinistGrade;               // MachinistCategory: «6.0»
};

class Sink
{
public:
    virtual ~Sink() = default;
    virtual void base(const BaseHeader &header) = 0;
    virtual void beginCollection(const Collection &collection) = 0;
    virtual void endCollection() = 0;
    virtual void beginSection(const Section &section) = 0;
    virtual void endSection() = 0;
    virtual void norm(const Norm &norm) = 0;
    virtual void catalogueEntry(const CatalogueEntry &entry) = 0;
    // Asked between elements: true ends the reading early, as cancelled.
    virtual bool stopRequested() { return false; }
};

enum class Outcome
{
    Read,
    Malformed,  // broken XML: line and column say where
    OtherKind,  // well-formed, but no norm base
    Unreadable, // in an encoding this build of Qt cannot decode
    Stopped,    // the sink asked to stop
};

struct ReadResult
{
    Outcome outcome = Outcome::Read;
    QString reason; // in Russian, without the file's name
    qint64 line = 0;
    qint64 column = 0;
    qint64 norms = 0;
    qint64 catalogueEntries = 0;
    // Of another kind from its root on: nothing was handed to the sink.
    bool foreign = false;
};

// What is wrong with broken XML, in Russian.
QString errorText(QXmlStreamReader::Error error);

// The quantity as the file writes it: a decimal point, «П» or anything else unreadable as none.
std::optional<double> quantityOf(QStringView text);

// Reads the device to its end or to the first fault. Every element and attribute it does not
// know is skipped, and missing attributes read as empty.
class Reader
{
public:
    Reader(QIODevice &device, Sink &sink);
    ReadResult read();
    qint64 normsRead() const { return m_norms; }

private:
    void readBase();
    void readCatalogue();
    void readDirectory();
    void readCategory();
    void readSection();
    void readSectionBody();
    void readNameGroup(const QString &beginName);
    void readWork(const QString &beginName);
    void readResources(Norm &norm);
    void readReasons(Norm &norm);
    void readCatalogueEntry();
    void readPrice(CatalogueEntry &entry);
    // Appends the items of a Content element to text, one a line.
    void readContent(QString &text);
    void stopIfAsked();

    QXmlStreamReader m_xml;
    Sink &m_sink;
    // Each open section's content, for the norms of a table that lists its work once.
    std::vector<QString> m_sectionContent;
    Norm m_norm;
    qint64 m_norms = 0;
    qint64 m_catalogueEntries = 0;
    bool m_stopped = false;
    bool m_machines = false; // in the machines' category
};

// Why a file was not read, naming it: broken, of another kind or in an unreadable encoding.
QString readingFailureText(const ReadResult &read, const QString &fileName);

} // namespace norms::xml
