#include "cataloguelinkdialog.h"

#include "pricecatalogue.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

constexpr int kShown = 100;

QString resourceText(const norms::CatalogueResource &resource)
{
    return QStringLiteral("%1  %2, %3").arg(resource.code, resource.name, resource.unit);
}

} // namespace

CatalogueLinkDialog::CatalogueLinkDialog(const bom::MaterialKey &material,
                                         PriceCatalogue &catalogue, QWidget *parent)
    : QDialog(parent), m_material(material), m_catalogue(catalogue)
{
    setObjectName(QStringLiteral("CatalogueLinkDialog"));
    setWindowTitle(QStringLiteral("Связать с ресурсом ФСБЦ"));
    resize(640, 420);
    auto *layout = new QVBoxLayout(this);
    const QString unit = material.unit.isEmpty() ? QString() : QStringLiteral(", ") + material.unit;
    auto *about = new QLabel(QStringLiteral("Материал: %1%2").arg(material.name, unit), this);
    about->setWordWrap(true);
    m_query = new QLineEdit(this);
    m_query->setObjectName(QStringLiteral("CatalogueQuery"));
    m_query->setPlaceholderText(QStringLiteral("Начала слов названия или код ресурса"));
    m_query->setAccessibleName(QStringLiteral("Поиск ресурса"));
    auto *queryLabel = new QLabel(QStringLiteral("&Поиск:"), this);
    queryLabel->setBuddy(m_query);
    m_list = new QListWidget(this);
    m_list->setObjectName(QStringLiteral("CatalogueResults"));
    m_problem = new QLabel(this);
    m_problem->setObjectName(QStringLiteral("CatalogueProblem"));
    m_problem->setWordWrap(true);
    m_buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    m_buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("Связать"));
    m_buttons->button(QDialogButtonBox::Ok)->setEnabled(false);
    m_buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("Отмена"));
    layout->addWidget(about);
    layout->addWidget(queryLabel);
    layout->addWidget(m_query);
    layout->addWidget(m_list, 1);
    layout->addWidget(m_problem);
    layout->addWidget(m_buttons);
    connect(m_query, &QLineEdit::textChanged, this, &CatalogueLinkDialog::search);
    connect(m_list, &QListWidget::currentRowChanged, this, &CatalogueLinkDialog::choose);
    connect(m_list, &QListWidget::itemActivated, this, [this] {
        if (chosen())
            accept();
    });
    connect(m_buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(m_buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    // The material's own name is the first guess.
    m_query->setText(material.name);
}

void CatalogueLinkDialog::search()
{
    const QString query = m_query->text().trimmed();
    m_found =
        query.isEmpty() ? QList<norms::CatalogueResource>() : m_catalogue.search(query, kShown);
    m_list->clear();
    for (const norms::CatalogueResource &resource : std::as_const(m_found))
        m_list->addItem(resourceText(resource));
    m_problem->setText(m_found.isEmpty() && !query.isEmpty()
                           ? QStringLiteral("Ничего не найдено: сократите слова или введите код")
                           : QString());
    m_buttons->button(QDialogButtonBox::Ok)->setEnabled(false);
}

void CatalogueLinkDialog::choose()
{
    const std::optional<norms::CatalogueResource> resource = chosen();
    m_buttons->button(QDialogButtonBox::Ok)->setEnabled(resource.has_value());
    const int row = m_list->currentRow();
    if (row < 0 || row >= m_found.size()) {
        m_problem->clear();
        return;
    }
    const norms::CatalogueResource &picked = m_found.at(row);
    if (picked.machine) {
        m_problem->setText(QStringLiteral("«%1» — машина, а не материал").arg(picked.name));
        return;
    }
    const bom::LinkEdit edit = bom::linkOf(m_material, picked.code, picked.name, picked.unit);
    m_problem->setText(edit.refusal ? edit.refusal->reason : QString());
}

std::optional<norms::CatalogueResource> CatalogueLinkDialog::chosen() const
{
    const int row = m_list->currentRow();
    if (row < 0 || row >= m_found.size())
        return std::nullopt;
    const norms::CatalogueResource &picked = m_found.at(row);
    if (picked.machine || bom::linkOf(m_material, picked.code, picked.name, picked.unit).refusal)
        return std::nullopt;
    return picked;
}
