#include "rownormdialog.h"

#include "common/codecolumn.h"
#include "common/searchpause.h"
#include "explanations.h"
#include "normcompute.h"
#include "norms/normbase.h"
#include "norms/normhitsmodel.h"
#include "normsearch.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

// A flat list whose one column takes the width the others leave; its columns are there already.
void shapeList(QTreeView *tree, const char *name, int stretched)
{
    tree->setObjectName(QString::fromLatin1(name));
    tree->setRootIsDecorated(false);
    tree->setUniformRowHeights(true);
    tree->header()->setStretchLastSection(false);
    tree->header()->setSectionResizeMode(stretched, QHeaderView::Stretch);
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
    m_hitsModel = new NormHitsModel(NormHitsModel::Style::Choice, this);
    m_hits = new QTreeView(this);
    m_hits->setModel(m_hitsModel);
    shapeList(m_hits, "RowNormHits", NormHitsModel::NameColumn);
    m_hits->setColumnWidth(NormHitsModel::CodeColumn,
                           codecolumn::width(m_hits, codecolumn::kNormSample));
    m_resources = new QTreeWidget(this);
    m_resources->setHeaderLabels({QStringLiteral("Код"), QStringLiteral("Ресурс"),
                                  QStringLiteral("Ед. изм."), QStringLiteral("Норма")});
    shapeList(m_resources, "RowNormResources", 1);
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
    // Enter only searches: the dialog closes with its buttons, not with a key meant for the search.
    m_pause = new SearchPause(
        m_search, [this] { search(m_search->text()); }, SearchPause::Enter::Take);
    connect(m_hits->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex &current) {
                if (current.isValid())
                    showNorm(m_hitsModel->normId(current.row()));
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
    // The dialog opens with what it found, not a pause later.
    m_pause->runNow();
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
    m_hitsModel->clear();
    norms::NormDatabase *database = m_search->isEnabled() ? m_request.base->database() : nullptr;
    if (!database)
        return;
    try {
        m_hitsModel->setHits(norms::searchNorms(*database, text));
        // The norm chosen before is shown with its resource, ready to keep or change.
        for (int row = 0; m_request.current && row < m_hitsModel->rowCount(); ++row)
            if (m_hitsModel->code(row) == m_request.current->norm)
                m_hits->setCurrentIndex(m_hitsModel->index(row, 0));
        // As in «Нормы»: the kind is said only where a firm norm is among those found.
        m_hits->setColumnHidden(NormHitsModel::KindColumn, !m_hitsModel->hasFirm());
        showStatus(m_hitsModel->rowCount() == 0 && !text.trimmed().isEmpty()
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
            new QTreeWidgetItem(m_resources, {resource.code, norms::resourceName(resource),
                                              resource.unit, norms::rateText(resource.rate)});
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
