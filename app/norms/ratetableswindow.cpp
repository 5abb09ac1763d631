#include "ratetableswindow.h"

#include "common/closingkeys.h"
#include "common/errorreport.h"
#include "normbase.h"
#include "ratecsv.h"
#include "totals.h"

#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

enum Column
{
    ItemColumn,
    NameColumn,
    TerritoryColumn,
    MprksColumn,
    RksColumn,
    ProfitColumn,
    ColumnCount,
};

QString percent(const std::optional<double> &value)
{
    return value ? bom::percentText(*value) : QString();
}

} // namespace

RateTablesWindow::RateTablesWindow(NormBase &base, QWidget *parent)
    : QWidget(parent, Qt::Window), m_base(base)
{
    setObjectName(QStringLiteral("RateTablesWindow"));
    setWindowTitle(QStringLiteral("Нормативы НР и СП — Мерилон 3"));
    resize(1000, 620);
    auto *layout = new QVBoxLayout(this);
    auto *searchRow = new QHBoxLayout;
    auto *caption = new QLabel(QStringLiteral("&Поиск:"), this);
    m_search = new QLineEdit(this);
    m_search->setObjectName(QStringLiteral("RateSearch"));
    m_search->setClearButtonEnabled(true);
    m_search->setAccessibleName(QStringLiteral("Поиск пункта нормативов"));
    m_search->setPlaceholderText(QStringLiteral("пункт («012.0», «12») или слова наименования "
                                                "(«кровл»)"));
    caption->setBuddy(m_search);
    auto *load = new QPushButton(QStringLiteral("&Загрузить новую редакцию..."), this);
    load->setObjectName(QStringLiteral("RateLoad"));
    load->setToolTip(QStringLiteral("Таблица CSV тех же столбцов: item;name;territory;mprks;rks "
                                    "(НР) или item;name;percent (СП)"));
    load->setAutoDefault(false);
    searchRow->addWidget(caption);
    searchRow->addWidget(m_search, 1);
    searchRow->addWidget(load);
    layout->addLayout(searchRow);
    m_editions = new QLabel(this);
    m_editions->setObjectName(QStringLiteral("RateEditions"));
    m_editions->setWordWrap(true);
    m_editions->setTextInteractionFlags(Qt::TextSelectableByMouse);
    layout->addWidget(m_editions);
    m_rows = new QTreeWidget(this);
    m_rows->setObjectName(QStringLiteral("RateRows"));
    m_rows->setRootIsDecorated(false);
    m_rows->setUniformRowHeights(true);
    m_rows->setHeaderLabels({QStringLiteral("Пункт"), QStringLiteral("Вид работ"),
                             QStringLiteral("НР, %"), QStringLiteral("НР МПРКС, %"),
                             QStringLiteral("НР РКС, %"), QStringLiteral("СП, %")});
    m_rows->headerItem()->setToolTip(TerritoryColumn,
                                     QStringLiteral("Накладные расходы, кроме районов Крайнего "
                                                    "Севера и приравненных к ним местностей"));
    m_rows->headerItem()->setToolTip(MprksColumn,
                                     QStringLiteral("Местности, приравненные к районам Крайнего "
                                                    "Севера"));
    m_rows->headerItem()->setToolTip(RksColumn, QStringLiteral("Районы Крайнего Севера"));
    m_rows->header()->setStretchLastSection(false);
    m_rows->header()->setSectionResizeMode(NameColumn, QHeaderView::Stretch);
    m_rows->setColumnWidth(ItemColumn, 70);
    for (int column : {TerritoryColumn, MprksColumn, RksColumn, ProfitColumn})
        m_rows->setColumnWidth(column, 95);
    layout->addWidget(m_rows, 1);

    m_chooseFile = [this] {
        return QFileDialog::getOpenFileName(this, QStringLiteral("Загрузить редакцию нормативов"),
                                            QString(), QStringLiteral("Таблицы CSV (*.csv)"));
    };
    connect(m_search, &QLineEdit::textChanged, this, &RateTablesWindow::filter);
    connect(load, &QPushButton::clicked, this, &RateTablesWindow::chooseAndLoad);
    connect(&m_base, &NormBase::changed, this, &RateTablesWindow::reload);
    addClosingKeys(this);
    reload();
}

void RateTablesWindow::reload()
{
    try {
        m_tables = norms::rates::currentTables(m_base.database());
    } catch (const norms::sql::Failure &failure) {
        m_tables = {};
        errorreport::show(norms::failureText(failure, m_base.path()), this);
    }
    m_editions->setText(QStringLiteral("НР: %1.\nСП: %2.")
                            .arg(m_tables.overhead.description(), m_tables.profit.description()));
    m_rows->clear();
    // One line a type of work: the two orders number them alike.
    QStringList items;
    for (const norms::rates::Row &row : m_tables.overhead.rows)
        items.append(row.item);
    for (const norms::rates::Row &row : m_tables.profit.rows)
        if (!m_tables.overhead.row(row.item))
            items.append(row.item);
    items.sort();
    for (const QString &item : std::as_const(items)) {
        const norms::rates::Row *overhead = m_tables.overhead.row(item);
        const norms::rates::Row *profit = m_tables.profit.row(item);
        auto *line = new QTreeWidgetItem(m_rows, {item, overhead ? overhead->name : profit->name,
                                                  overhead ? percent(overhead->percent) : QString(),
                                                  overhead ? percent(overhead->mprks) : QString(),
                                                  overhead ? percent(overhead->rks) : QString(),
                                                  profit ? percent(profit->percent) : QString()});
        line->setToolTip(NameColumn, line->text(NameColumn));
        for (int column = TerritoryColumn; column < ColumnCount; ++column)
            line->setTextAlignment(column, Qt::AlignRight | Qt::AlignVCenter);
    }
    filter(m_search->text());
}

void RateTablesWindow::filter(const QString &text)
{
    // Every word typed begins a word of the name, or the whole begins the item («12» is 012.x).
    const QStringList words = text.toLower().replace(u'ё', u'е').split(u' ', Qt::SkipEmptyParts);
    for (int index = 0; index < m_rows->topLevelItemCount(); ++index) {
        QTreeWidgetItem *line = m_rows->topLevelItem(index);
        const QString item = line->text(ItemColumn);
        const QString name = line->text(NameColumn).toLower().replace(u'ё', u'е');
        bool shown = true;
        for (const QString &word : words) {
            const bool byItem =
                item.startsWith(word) || item.startsWith(word.rightJustified(3, u'0'));
            const bool byName =
                name.startsWith(word) || name.contains(u' ' + word) || name.contains(u'(' + word);
            shown = shown && (byItem || byName);
        }
        line->setHidden(!shown);
    }
}

void RateTablesWindow::chooseAndLoad()
{
    const QString path = m_chooseFile();
    if (!path.isEmpty())
        load(path);
}

void RateTablesWindow::load(const QString &path)
{
    const QString name = QFileInfo(path).fileName();
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        errorreport::show(QStringLiteral("Не удалось открыть файл «%1».").arg(name), this);
        return;
    }
    norms::rates::CsvReading reading = norms::rates::readCsv(file.readAll(), name);
    if (!reading.edition) {
        errorreport::show(reading.refusal, this);
        return;
    }
    reading.edition->sourceFile = name;
    norms::NormDatabase *database = m_base.databaseToWrite();
    if (!database) {
        errorreport::show(m_base.refusal(), this);
        return;
    }
    try {
        norms::rates::keep(*database, *reading.edition);
    } catch (const norms::sql::Failure &failure) {
        errorreport::show(norms::failureText(failure, m_base.path()), this);
        return;
    }
    reload();
}
