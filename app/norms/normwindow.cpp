#include "normwindow.h"

#include "cataloguelookup.h"
#include "common/closingkeys.h"
#include "common/codecolumn.h"
#include "common/errorreport.h"
#include "common/latinmnemonics.h"
#include "common/searchpause.h"
#include "firmbook.h"
#include "journal.h"
#include "normbase.h"
#include "normhitsmodel.h"
#include "normsearch.h"
#include "normtreemodel.h"
#include "pricepanel.h"
#include "rateeditions.h"

#include <QAction>
#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QScreen>
#include <QSplitter>
#include <QTabWidget>
#include <QTreeView>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

constexpr int kSearchLimit = 200;
enum ResourceColumn
{
    CodeColumn,
    NameColumn,
    UnitColumn,
    RateColumn,
    AmountColumn,
    OriginColumn, // a firm norm's rate in the federal norm it was made from
};

enum SearchMode
{
    ByNorm,
    ByResource,
};

// The price catalogues in the base, with their level and approving act.
QString pricesText(const QList<norms::CatalogueEdition> &editions)
{
    QStringList parts;
    for (const norms::CatalogueEdition &edition : editions) {
        const QString what = edition.type == u"Материал" ? QStringLiteral("материалы")
                             : edition.type == u"МашиныМеханизмы" ? QStringLiteral("машины и "
                                                                                   "механизмы")
                                                                  : edition.type;
        QString part = QStringLiteral("%1: позиций %2, уровень цен %3")
                           .arg(what, QLocale().toString(edition.resources), edition.priceLevel);
        if (!edition.actNumber.isEmpty())
            part += QStringLiteral(", приказ № %1").arg(edition.actNumber);
        if (!edition.actDate.isEmpty())
            part += QStringLiteral(" от %1").arg(edition.actDate);
        parts.append(part);
    }
    return parts.isEmpty()
               ? QString()
               : QStringLiteral("Сметные цены ФСБЦ: ") + parts.join(QStringLiteral("; ")) + u'.';
}

QLabel *wrappedLabel(const char *name, QWidget *parent)
{
    auto *label = new QLabel(parent);
    label->setObjectName(QString::fromLatin1(name));
    label->setWordWrap(true);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    return label;
}

} // namespace

NormWindow::NormWindow(NormBase &base, Journal &journal, QWidget *parent)
    : QWidget(parent, Qt::Window), m_base(base), m_journal(journal)
{
    setObjectName(QStringLiteral("NormWindow"));
    setWindowTitle(QStringLiteral("Нормы — Мерилон 3"));
    // Within the screen with room for the frame, its title and a task bar the screen may not
    // report: on a laptop's 768 lines the window opens whole.
    resize(QSize(1100, 700).boundedTo(screen()->availableGeometry().size() - QSize(16, 72)));

    auto *layout = new QVBoxLayout(this);
    auto *searchRow = new QHBoxLayout;
    auto *searchCaption = new QLabel(QStringLiteral("&Поиск нормы:"), this);
    m_search = new QLineEdit(this);
    m_search->setObjectName(QStringLiteral("NormSearch"));
    m_search->setClearButtonEnabled(true);
    m_search->setPlaceholderText(QStringLiteral("код («06-01», «ГЭСН 06-01-001-01») или слова "
                                                "наименования («бетон фунд»)"));
    searchCaption->setBuddy(m_search);
    // Beside the field: what the words typed are looked for in. «К» is on a key no other
    // accelerator of the window takes, in the Russian layout or the Latin one.
    auto *modeCaption = new QLabel(QStringLiteral("Ис&кать:"), this);
    m_mode = new QComboBox(this);
    m_mode->setObjectName(QStringLiteral("NormSearchMode"));
    m_mode->addItem(QStringLiteral("по коду и наименованию"));
    m_mode->addItem(QStringLiteral("по ресурсу"));
    modeCaption->setBuddy(m_mode);
    m_import = new QPushButton(QStringLiteral("&Загрузить базу норм..."), this);
    m_import->setObjectName(QStringLiteral("NormImport"));
    m_import->setAutoDefault(false);
    m_export = new QPushButton(QStringLiteral("&Экспорт фирменных норм..."), this);
    m_export->setObjectName(QStringLiteral("FirmExport"));
    m_export->setToolTip(QStringLiteral("Записать фирменные нормы в файл для других сметчиков"));
    m_export->setAutoDefault(false);
    searchRow->addWidget(searchCaption);
    searchRow->addWidget(m_search, 1);
    searchRow->addWidget(modeCaption);
    searchRow->addWidget(m_mode);
    searchRow->addWidget(m_import);
    searchRow->addWidget(m_export);
    layout->addLayout(searchRow);
    m_status = wrappedLabel("NormStatus", this);
    layout->addWidget(m_status);
    m_prices = wrappedLabel("NormPrices", this);
    m_prices->hide();
    layout->addWidget(m_prices);
    // Made before the firm's buttons: after a firm norm's change the tree has read the firm's
    // collections afresh by the time the window searches again and says what failed.
    m_treeModel = new NormTreeModel(m_base, this);
    // A place of the firm's collections is let go of before they go, rather than left to the one
    // beside them; connected before the view's own model connections, so that it comes first.
    connect(m_treeModel, &QAbstractItemModel::rowsAboutToBeRemoved, this,
            [this](const QModelIndex &removedFrom, int first, int last) {
                QModelIndex top = m_tree ? m_tree->currentIndex() : QModelIndex();
                while (top.parent().isValid())
                    top = top.parent();
                if (!removedFrom.isValid() && top.isValid() && top.row() >= first &&
                    top.row() <= last)
                    m_tree->selectionModel()->clearCurrentIndex();
            });
    m_firm = new FirmNormActions(m_base, *this);
    layout->addWidget(m_firm->createConflictsNote(this));

    auto *splitter = new QSplitter(Qt::Horizontal, this);
    m_tabs = new QTabWidget(splitter);
    m_hitsModel = new NormHitsModel(NormHitsModel::Style::Window, this);
    m_hits = new QTreeView(m_tabs);
    m_hits->setObjectName(QStringLiteral("NormHits"));
    m_hits->setModel(m_hitsModel);
    m_hits->setRootIsDecorated(false);
    m_hits->setUniformRowHeights(true);
    // The name takes what the code and the measure leave.
    m_hits->header()->setStretchLastSection(false);
    m_hits->header()->setSectionResizeMode(NormHitsModel::NameColumn, QHeaderView::Stretch);
    m_hits->setColumnWidth(NormHitsModel::CodeColumn,
                           codecolumn::width(m_hits, codecolumn::kNormSample));
    m_hits->setColumnWidth(NormHitsModel::MeasureColumn, 65);
    m_hits->setColumnWidth(NormHitsModel::KindColumn, 70);
    m_hits->setColumnWidth(NormHitsModel::ResourceColumn, 170);
    m_hits->setColumnWidth(NormHitsModel::RateColumn, 70);
    m_hits->setColumnWidth(NormHitsModel::UnitColumn, 60);
    m_tabs->addTab(m_hits, QStringLiteral("&Найденные"));
    m_tree = new QTreeView(m_tabs);
    m_tree->setObjectName(QStringLiteral("NormTree"));
    m_tree->setModel(m_treeModel);
    m_tree->setHeaderHidden(true);
    m_tree->setUniformRowHeights(true);
    m_tabs->addTab(m_tree, QStringLiteral("&Сборники"));
    splitter->addWidget(createDetails());
    splitter->setStretchFactor(0, 1);
    splitter->setStretchFactor(1, 1);
    splitter->setSizes({500, 600});
    layout->addWidget(splitter, 1);

    m_pause = new SearchPause(
        m_search, [this] { search(m_search->text()); }, SearchPause::Enter::PassOn);
    connect(m_mode, &QComboBox::currentIndexChanged, this, [this] {
        m_search->setPlaceholderText(
            m_mode->currentIndex() == ByResource
                ? QStringLiteral(
                      "код ресурса («01.7.15») или слова его наименования («смес бетон»)")
                : QStringLiteral("код («06-01», «ГЭСН 06-01-001-01») или слова наименования "
                                 "(«бетон фунд»)"));
        m_pause->runNow();
    });
    connect(m_import, &QPushButton::clicked, this, &NormWindow::importRequested);
    connect(m_export, &QPushButton::clicked, this, &NormWindow::exportRequested);
    connect(m_firm, &FirmNormActions::changed, this, &NormWindow::showFirmChange);
    connect(m_hits->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex &current) {
                if (current.isValid())
                    showNorm(m_hitsModel->normId(current.row()));
                // A search by resource found that resource: its price is the one wanted.
                if (current.isValid() && m_mode->currentIndex() == ByResource)
                    m_pricePanel->showResource(m_hitsModel->resourceCode(current.row()));
            });
    connect(m_tree, &QTreeView::expanded, m_treeModel, &NormTreeModel::fill);
    connect(m_treeModel, &NormTreeModel::failed, this, &NormWindow::showStatus);
    connect(m_tree->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex &current) {
                if (const std::optional<qint64> norm = NormTreeModel::normId(current))
                    showNorm(*norm);
            });
    connect(&m_base, &NormBase::changed, this, [this] { reload(); });

    setTabOrder(m_search, m_mode);
    setTabOrder(m_mode, m_import);
    setTabOrder(m_import, m_export);
    addClosingKeys(this);
    addLatinMnemonics(this);
    auto *find = new QAction(this);
    find->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_F));
    connect(find, &QAction::triggered, this, &NormWindow::focusSearch);
    addAction(find);
    // The keyboard starts in the search; Down or Enter there goes on to what it found.
    m_search->installEventFilter(this);
    m_search->setFocus();
    reload();
}

bool NormWindow::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_search && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        const bool onward = key == Qt::Key_Down || key == Qt::Key_Return || key == Qt::Key_Enter;
        // What was typed is searched first, so that the keys go on to its norms.
        if (onward)
            m_pause->flush();
        if (onward && m_hitsModel->rowCount() > 0) {
            m_tabs->setCurrentWidget(m_hits);
            m_hits->setFocus();
            m_hits->setCurrentIndex(m_hitsModel->index(0, 0));
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

NormWindow::~NormWindow() = default;

void NormWindow::focusSearch()
{
    m_search->setFocus(Qt::ShortcutFocusReason);
    m_search->selectAll();
}

QWidget *NormWindow::createDetails()
{
    auto *details = new QWidget(this);
    auto *layout = new QVBoxLayout(details);
    layout->setContentsMargins(6, 0, 0, 0);
    m_code = wrappedLabel("NormCode", details);
    QFont bold = m_code->font();
    bold.setBold(true);
    m_code->setFont(bold);
    m_name = wrappedLabel("NormName", details);
    m_measure = wrappedLabel("NormMeasure", details);
    m_content = wrappedLabel("NormContent", details);
    m_reasons = wrappedLabel("NormReasons", details);
    m_firmInfo = wrappedLabel("NormFirm", details);
    m_source = wrappedLabel("NormSource", details);
    m_resources = new QTreeWidget(details);
    m_resources->setObjectName(QStringLiteral("NormResources"));
    m_resources->setHeaderLabels({QStringLiteral("Код"), QStringLiteral("Наименование"),
                                  QStringLiteral("Ед. изм."), QStringLiteral("Норма"),
                                  QStringLiteral("Количество"), QStringLiteral("Исходная")});
    m_resources->header()->setStretchLastSection(false);
    m_resources->header()->setSectionResizeMode(NameColumn, QHeaderView::Stretch);
    // A resource's line sits under its group, two steps in.
    m_resources->setColumnWidth(CodeColumn,
                                codecolumn::width(m_resources, codecolumn::kResourceSample) +
                                    2 * m_resources->indentation());
    m_resources->setColumnWidth(UnitColumn, 60);
    m_resources->setColumnWidth(RateColumn, 80);
    m_resources->setColumnWidth(AmountColumn, 90);
    m_resources->setColumnWidth(OriginColumn, 95);
    for (QLabel *label : {m_code, m_firmInfo, m_name, m_measure, m_reasons, m_content, m_source})
        layout->addWidget(label);
    layout->addWidget(m_resources, 1);
    m_pricePanel = new PricePanel(m_base, details);
    layout->addWidget(m_pricePanel);
    // The price of the line at hand; a group's heading has no code.
    connect(m_resources, &QTreeWidget::currentItemChanged, m_pricePanel,
            [this](QTreeWidgetItem *line) {
                m_pricePanel->showResource(line ? line->text(CodeColumn) : QString());
            });

    auto *computeRow = new QHBoxLayout;
    m_volumeCaption = new QLabel(QStringLiteral("&Объем работ:"), details);
    m_volume = new QLineEdit(details);
    m_volume->setObjectName(QStringLiteral("NormVolume"));
    m_volumeCaption->setBuddy(m_volume);
    m_compute = new QPushButton(QStringLiteral("&Расчет"), details);
    m_compute->setObjectName(QStringLiteral("NormCompute"));
    m_add = new QPushButton(QStringLiteral("Добавить в &ведомость"), details);
    m_add->setObjectName(QStringLiteral("NormAddToBill"));
    m_add->setToolTip(QStringLiteral("Добавить расчет в ведомость материалов (Ctrl+D)"));
    m_compute->setAutoDefault(false);
    m_add->setAutoDefault(false);
    computeRow->addWidget(m_volumeCaption);
    computeRow->addWidget(m_volume);
    computeRow->addWidget(m_compute);
    computeRow->addWidget(m_add);
    computeRow->addStretch(1);
    layout->addLayout(computeRow);
    layout->addWidget(m_firm->createButtons(details));

    auto *addShortcut = new QAction(this);
    addShortcut->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_D));
    addShortcut->setShortcutContext(Qt::WindowShortcut);
    addAction(addShortcut);
    connect(addShortcut, &QAction::triggered, this, &NormWindow::addToBill);
    connect(m_compute, &QPushButton::clicked, this, &NormWindow::compute);
    connect(m_add, &QPushButton::clicked, this, &NormWindow::addToBill);
    // Enter in the volume computes, as the pages' compute button answers it.
    connect(m_volume, &QLineEdit::returnPressed, this, &NormWindow::compute);
    connect(m_volume, &QLineEdit::textEdited, this, [this] {
        if (m_computation) {
            m_computation.reset();
            showResources();
        }
    });
    return details;
}

void NormWindow::showStatus(const QString &text)
{
    m_status->setText(text);
}

void NormWindow::showSummary(const QString &summary)
{
    showStatus(summary);
}

void NormWindow::showFailure(const norms::sql::Failure &failure)
{
    showStatus(norms::failureText(failure, m_base.path()));
}

void NormWindow::reload()
{
    QString prices;
    try {
        if (norms::NormDatabase *database = m_base.database())
            prices = pricesText(norms::catalogueEditions(*database));
    } catch (const norms::sql::Failure &) {
        // The norms' own reading below says what is wrong with the base.
    }
    m_prices->setText(prices);
    m_prices->setVisible(!prices.isEmpty());
    m_pricePanel->reload();
    const bool usable = m_base.hasNorms();
    m_search->setEnabled(usable);
    m_mode->setEnabled(usable);
    m_tabs->setEnabled(usable);
    if (!usable) {
        m_hitsModel->clear();
        m_norm.reset();
        m_federal.reset();
        m_computation.reset();
        showResources();
        const QString why = m_base.refusal();
        showStatus(why.isEmpty() ? QStringLiteral("База норм не загружена. Загрузите файлы базы "
                                                  "норм: кнопка «Загрузить базу норм...» или "
                                                  "Действия → Загрузить базу норм...")
                                 : why);
        return;
    }
    // The tree read its collections before: a base that refused them is said, as before a search.
    if (!m_treeModel->failure().isEmpty()) {
        showStatus(m_treeModel->failure());
        return;
    }
    if (m_norm)
        showNorm(m_norm->id);
    else
        showResources();
    m_pause->runNow();
}

void NormWindow::showFirmChange(qint64 normId)
{
    m_norm.reset();
    m_federal.reset();
    m_computation.reset();
    reload();
    if (normId != 0)
        readShownNorm(normId);
}

void NormWindow::search(const QString &text)
{
    m_hitsModel->clear();
    if (!m_base.database())
        return;
    const bool byResource = m_mode->currentIndex() == ByResource;
    try {
        if (byResource)
            m_hitsModel->setHits(norms::searchByResource(*m_base.database(), text, kSearchLimit));
        else
            m_hitsModel->setHits(norms::searchNorms(*m_base.database(), text, kSearchLimit));
    } catch (const norms::sql::Failure &failure) {
        showFailure(failure);
        return;
    }
    const int found = m_hitsModel->rowCount();
    // The kind is said only where there is a firm norm to tell from the federal ones.
    m_hits->setColumnHidden(NormHitsModel::KindColumn, !m_hitsModel->hasFirm());
    for (const int column :
         {NormHitsModel::ResourceColumn, NormHitsModel::RateColumn, NormHitsModel::UnitColumn})
        m_hits->setColumnHidden(column, !byResource);
    if (text.trimmed().isEmpty())
        showStatus(byResource ? QStringLiteral("Введите код ресурса или слова его наименования: "
                                               "найдутся нормы, в которых он есть.")
                              : QStringLiteral("Введите код нормы или слова ее наименования либо "
                                               "выберите норму в сборниках."));
    else if (found == 0)
        showStatus(QStringLiteral("Ничего не найдено."));
    else if (found == kSearchLimit)
        showStatus(
            byResource
                ? QStringLiteral("Показаны первые %1 строк; уточните запрос.").arg(kSearchLimit)
                : QStringLiteral("Показаны первые %1 норм; уточните запрос.").arg(kSearchLimit));
    else
        showStatus(byResource ? QStringLiteral("Найдено строк: %1.").arg(found)
                              : QStringLiteral("Найдено норм: %1.").arg(found));
    if (found > 0)
        m_tabs->setCurrentWidget(m_hits);
}

void NormWindow::showNorm(qint64 id)
{
    if (m_norm && m_norm->id == id && !m_computation)
        return;
    readShownNorm(id);
}

void NormWindow::readShownNorm(qint64 id)
{
    std::optional<norms::Norm> norm;
    std::optional<norms::Norm> federal;
    m_reasonsText.clear();
    m_machinists.clear();
    try {
        if (norms::NormDatabase *database = m_base.database()) {
            norm = norms::readNorm(*database, id);
            if (norm) {
                const norms::rates::Tables tables = norms::rates::currentTables(database);
                m_reasonsText =
                    norms::rates::reasonsText(norm->reasons, tables.overhead, tables.profit);
                m_machinists = norms::machinistsOf(*database, *norm);
            }
        }
    } catch (const norms::sql::Failure &failure) {
        showFailure(failure);
    }
    // The firm's norms are read through their book, which says what failed.
    if (QString failure; norm && norm->firm) {
        federal = m_base.firmBook().origin(*norm, &failure);
        if (!failure.isEmpty())
            showStatus(failure);
    }
    m_norm = norm;
    m_federal = federal;
    m_computation.reset();
    showResources();
}

void NormWindow::showResources()
{
    m_resources->clear();
    m_firm->setShownNorm(m_norm);
    const bool shown = m_norm.has_value();
    for (QWidget *widget : std::initializer_list<QWidget *>{m_volume, m_compute, m_add})
        widget->setEnabled(shown);
    // The amounts take their room once computed; the federal rates only beside a firm norm's.
    m_resources->setColumnHidden(AmountColumn, !m_computation);
    m_resources->setColumnHidden(OriginColumn, !m_federal);
    m_firmInfo->setVisible(shown && m_norm->firm);
    m_source->setVisible(shown && m_norm->firm);
    if (!shown) {
        for (QLabel *label :
             {m_code, m_name, m_measure, m_reasons, m_content, m_firmInfo, m_source})
            label->clear();
        m_volumeCaption->setText(QStringLiteral("&Объем работ:"));
        return;
    }
    const norms::Norm &norm = *m_norm;
    const norms::Measure measure = norms::measureOf(norm);
    m_code->setText(norm.fullCode());
    m_name->setText(norm.name);
    m_measure->setText(QStringLiteral("Измеритель: ") + norm.measure);
    m_content->setText(norm.content.isEmpty() ? QString()
                                              : QStringLiteral("Состав работ: ") +
                                                    norms::workContentText(norm.content));
    m_content->setVisible(!norm.content.isEmpty());
    m_reasons->setText(m_reasonsText);
    m_reasons->setVisible(!m_reasonsText.isEmpty());
    if (norm.firm) {
        QString firm = QStringLiteral("Фирменная норма, версия %1.").arg(norm.version);
        if (!norm.origin.isEmpty())
            firm += QStringLiteral(" На основе ") + norm.origin + u'.';
        m_firmInfo->setText(firm);
        m_source->setText(QStringLiteral("Источник: ") + norm.source);
    }
    m_volumeCaption->setText(QStringLiteral("&Объем работ, %1:").arg(measure.unit));

    // Materials, then labour, then machines, each in the norm's order.
    for (const norms::ResourceGroup kind : norms::kResourceGroups) {
        QTreeWidgetItem *group = nullptr;
        for (qsizetype i = 0; i < norm.resources.size(); ++i) {
            const norms::NormResource &resource = norm.resources.at(i);
            if (resource.group != kind)
                continue;
            if (!group) {
                group = new QTreeWidgetItem(m_resources, {norms::groupTitle(kind)});
                group->setFirstColumnSpanned(true);
                group->setExpanded(true);
            }
            QStringList texts{resource.code, norms::resourceName(resource),
                              resource.unit, norms::rateText(resource.rate),
                              QString(),     QString()};
            if (m_computation)
                texts[AmountColumn] = norms::amountText(m_computation->amounts.at(i).amount);
            // Only what differs from the federal norm is marked; the same rate stays plain.
            QString federalRate;
            if (m_federal) {
                const norms::NormResource *was = norms::sameLine(m_federal->resources, resource);
                if (!was) {
                    texts[OriginColumn] = QStringLiteral("нет в ") + m_federal->prefix;
                } else if (was->rate != resource.rate) {
                    federalRate =
                        m_federal->prefix + QStringLiteral(": ") + norms::rateText(was->rate);
                    texts[OriginColumn] = federalRate;
                }
            }
            auto *line = new QTreeWidgetItem(group, texts);
            line->setToolTip(NameColumn, texts[NameColumn]);
            if (!federalRate.isEmpty()) {
                line->setToolTip(RateColumn, federalRate);
                QFont changed = line->font(RateColumn);
                changed.setBold(true);
                line->setFont(RateColumn, changed);
            }
            for (int column : {RateColumn, AmountColumn})
                line->setTextAlignment(column, Qt::AlignRight | Qt::AlignVCenter);
            // A machine's crew, under its line.
            if (const QString machinist = m_machinists.value(resource.code); !machinist.isEmpty()) {
                auto *crew = new QTreeWidgetItem(line, {machinist});
                crew->setFirstColumnSpanned(true);
                line->setExpanded(true);
            }
        }
    }
}

void NormWindow::compute()
{
    if (!m_norm)
        return;
    errorreport::guarded(
        [this] {
            norms::NormComputation computation = norms::computeNorm(*m_norm, m_volume->text());
            m_computation = std::move(computation);
            showResources();
            for (const QString &line : norms::journalBlock(*m_computation))
                m_journal.append(line);
        },
        this);
}

void NormWindow::addToBill()
{
    if (!m_norm)
        return;
    // The figures added are those shown; a volume typed since is computed first.
    if (!m_computation)
        compute();
    if (m_computation)
        emit addToBillRequested(*m_computation);
}
