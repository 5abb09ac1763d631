#include "rownormdialog.h"

#include "common/codecolumn.h"
#include "explanations.h"
#include "normcompute.h"
#include "norms/normbase.h"
#include "normsearch.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <algorithm>

namespace {

constexpr int kIdRole = Qt::UserRole + 1;

QTreeWidget *list(const char *name, const QStringList &headers, int stretched, QWidget *parent)
{
    auto *tree = new QTreeWidget(parent);
    tree->setObjectName(QString::fromLatin1(name));
    tree->setHeaderLabels(headers);
    tree->setRootIsDecorated(false);
    tree->setUniformRowHeights(true);
    tree->header()->setStretchLastSection(false);
    tree->header()->setSectionResizeMode(stretched, QHeaderView::Stretch);
    return tree;
}

} // namespace

RowNormDialog::RowNormDialog(const RowNormRequest &request)
    : QDialog(request.parent), m_request(request)
{
    setObjectName(QStringLiteral("RowNormDialog"));
    setWindowTitle(QStringLiteral("Выбор нормы — ") + request.caption);
    resize(760, 560);

    auto *layout = new QVBoxLayout(this);
    auto *caption = new QLabel(QStringLiteral("&Поиск нормы:"), this);
    m_search = new QLineEdit(this);
    m_search->setObjectName(QStringLiteral("RowNormSearch"));
    m_search->setClearButtonEnabled(true);
    m_search->setPlaceholderText(
        QStringLiteral("код («06-01», «ГЭСН 06-01-001-01») или слова наименования"));
    caption->setBuddy(m_search);
    m_status = new QLabel(this);
    m_status->setObjectName(QStringLiteral("RowNormStatus"));
    m_status->setWordWrap(true);
    m_status->hide();
    m_hits = list("RowNormHits",
                  {QStringLiteral("Код"), QStringLiteral("Наименование"),
                   QStringLiteral("Измеритель"), QStringLiteral("Вид")},
                  1, this);
    m_hits->setColumnWidth(0, codecolumn::width(m_hits, codecolumn::kNormSample));
    m_resources = list("RowNormResources",
                       {QStringLiteral("Код"), QStringLiteral("Ресурс"), QStringLiteral("Ед. изм."),
                        QStringLiteral("Норма")},
                       1, this);
    m_resources->setColumnWidth(0, codecolumn::width(m_resources, codecolumn::kResourceSample));
    m_rate = new QLabel(this);
    m_rate->setObjectName(QStringLiteral("RowNormRate"));
    m_rate->setWordWrap(true);
    m_buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    m_buttons->setObjectName(QStringLiteral("RowNormButtons"));
    m_buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("Отмена"));

    layout->addWidget(caption);
    layout->addWidget(m_search);
    layout->addWidget(m_status);
    layout->addWidget(m_hits, 3);
    layout->addWidget(new QLabel(QStringLiteral("Ресурсы нормы:"), this));
    layout->addWidget(m_resources, 2);
    layout->addWidget(m_rate);
    layout->addWidget(m_buttons);

    connect(m_buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(m_buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(m_search, &QLineEdit::textChanged, this, &RowNormDialog::search);
    connect(m_hits, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem *item) {
        if (item)
            showNorm(item->data(0, kIdRole).toLongLong());
    });
    connect(m_resources, &QTreeWidget::currentItemChanged, this, &RowNormDialog::showRate);

    NormBase *base = m_request.base;
    if (!base || !base->hasNorms()) {
        const QString why = base ? base->refusal() : QString();
        showStatus(why.isEmpty() ? QStringLiteral("База норм не загружена. Загрузите ее: "
                                                  "Действия → Загрузить базу норм...")
                                 : why);
        m_search->setEnabled(false);
    }
    // The norms are of works, not of materials: the search starts from the page's work.
    m_search->setText(request.work);
    m_search->selectAll();
    if (request.current)
        m_search->setText(request.current->norm);
    showRate();
}

std::optional<RowChoice> RowNormDialog::choose(const RowNormRequest &request)
{
    RowNormDialog dialog(request);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.choice();
}

std::optional<RowChoice> RowNormDialog::choice() const
{
    const int resource = m_resources->indexOfTopLevelItem(m_resources->currentItem());
    if (!m_norm || resource < 0)
        return std::nullopt;
    return normrate::choiceOf(*m_norm, resource);
}

void RowNormDialog::showStatus(const QString &text)
{
    m_status->setText(text);
    m_status->setVisible(!text.isEmpty());
}

void RowNormDialog::search(const QString &text)
{
    m_hits->clear();
    norms::NormDatabase *database = m_search->isEnabled() ? m_request.base->database() : nullptr;
    if (!database)
        return;
    try {
        const QList<norms::NormHit> hits = norms::searchNorms(*database, text);
        for (const norms::NormHit &hit : hits) {
            auto *item =
                new QTreeWidgetItem(m_hits, {hit.fullCode(), hit.name, hit.measure,
                                             hit.firm ? QStringLiteral("фирменная") : QString()});
            item->setToolTip(1, hit.name);
            item->setData(0, kIdRole, hit.id);
            // The norm chosen before is shown with its resource, ready to keep or change.
            if (m_request.current && m_request.current->norm == hit.fullCode())
                m_hits->setCurrentItem(item);
        }
        // As in «Нормы»: the kind is said only where a firm norm is among those found.
        m_hits->setColumnHidden(
            3, std::none_of(hits.cbegin(), hits.cend(), [](const auto &hit) { return hit.firm; }));
        showStatus(hits.isEmpty() && !text.trimmed().isEmpty()
                       ? QStringLiteral("Ничего не найдено.")
                       : QString());
    } catch (const norms::sql::Failure &failure) {
        showStatus(norms::failureText(failure, m_request.base->path()));
    }
}

void RowNormDialog::showNorm(qint64 id)
{
    m_resources->clear();
    try {
        m_norm = norms::readNorm(*m_request.base->database(), id);
    } catch (const norms::sql::Failure &failure) {
        m_norm.reset();
        showStatus(norms::failureText(failure, m_request.base->path()));
    }
    if (m_norm) {
        for (const norms::NormResource &resource : m_norm->resources)
            new QTreeWidgetItem(m_resources, {resource.code, resource.name, resource.unit,
                                              resource.rate ? explanations::rateText(*resource.rate)
                                                            : norms::amountText(std::nullopt)});
        qsizetype chosen = -1;
        if (m_request.current && m_request.current->norm == m_norm->fullCode())
            chosen = normrate::resourceOf(*m_norm, *m_request.current);
        if (chosen < 0)
            chosen = normrate::likelyResource(*m_norm, explanations::materialOf(m_request.caption));
        m_resources->setCurrentItem(m_resources->topLevelItem(int(chosen)));
    }
    showRate();
}

void RowNormDialog::showRate()
{
    const int resource = m_resources->indexOfTopLevelItem(m_resources->currentItem());
    QString text = QStringLiteral("Выберите норму и ресурс, из которого взять расход.");
    bool usable = false;
    if (m_norm) {
        const normrate::Rate rate = normrate::rateOf(*m_norm, resource, m_request.unit);
        usable = rate.refusal.isEmpty();
        text = usable ? QStringLiteral("Расход: %1 %2 на 1 %3")
                            .arg(explanations::rateText(rate.perUnit), rate.unit,
                                 m_request.unit.workName)
                      : QStringLiteral("Нельзя взять расход: ") + rate.refusal + u'.';
    }
    m_rate->setText(text);
    m_buttons->button(QDialogButtonBox::Ok)->setEnabled(usable);
}
