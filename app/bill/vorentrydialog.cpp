#include "vorentrydialog.h"

#include "common/errorreport.h"
#include "totals.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {

enum LinkColumn
{
    DocumentColumn,
    PagesColumn,
    DescriptionColumn
};

// The materials that are lines of the file: bought ones and machines with a figure.
bool isLine(const bom::Material &material)
{
    return material.quantity && material.kind != bom::MaterialKind::WorkVolume &&
           material.kind != bom::MaterialKind::Labour &&
           material.kind != bom::MaterialKind::Composite;
}

} // namespace

VorEntryDialog::VorEntryDialog(const bom::Bill &bill, int row, QWidget *parent)
    : QDialog(parent), m_entry(bill.entries.at(row)), m_documents(bill.documents)
{
    setObjectName(QStringLiteral("VorEntryDialog"));
    setWindowTitle(QStringLiteral("Основание записи %1").arg(row + 1));
    resize(640, 360);
    auto *layout = new QVBoxLayout(this);
    auto *form = new QFormLayout;
    m_line = new QComboBox(this);
    m_line->setObjectName(QStringLiteral("VorEntryLine"));
    // An entry typed by hand is its materials; a work is itself first.
    if (!m_entry.manual) {
        m_lines.append({-1, m_entry.links, {}, 0});
        m_line->addItem(QStringLiteral("Работа: %1").arg(m_entry.work));
    }
    const QList<bom::ResourceType> types = bom::resourceTypes();
    for (int i = 0; i < m_entry.materials.size(); ++i) {
        const bom::Material &material = m_entry.materials.at(i);
        if (!isLine(material))
            continue;
        const bom::ResourceType type = material.type.value_or(
            material.kind == bom::MaterialKind::Machine ? bom::ResourceType::Machine
                                                        : bom::ResourceType::Material);
        m_lines.append({i, material.links, material.formula, int(types.indexOf(type))});
        m_line->addItem(
            QStringLiteral("%1, %2 %3")
                .arg(material.key.name, bom::quantityText(*material.quantity), material.key.unit));
    }
    auto *lineLabel = new QLabel(QStringLiteral("&Строка:"), this);
    lineLabel->setBuddy(m_line);
    form->addRow(lineLabel, m_line);
    m_formula = new QLineEdit(this);
    m_formula->setObjectName(QStringLiteral("VorFormula"));
    m_formula->setPlaceholderText(QStringLiteral("например 4.67*1.05"));
    auto *formulaLabel = new QLabel(QStringLiteral("&Формула количества:"), this);
    formulaLabel->setBuddy(m_formula);
    form->addRow(formulaLabel, m_formula);
    m_type = new QComboBox(this);
    m_type->setObjectName(QStringLiteral("VorType"));
    for (const bom::ResourceType type : types)
        m_type->addItem(bom::resourceTypeText(type));
    auto *typeLabel = new QLabel(QStringLiteral("&Тип:"), this);
    typeLabel->setBuddy(m_type);
    form->addRow(typeLabel, m_type);
    layout->addLayout(form);

    m_sameLinks = new QCheckBox(QStringLiteral("Ссылки &как у работы"), this);
    m_sameLinks->setObjectName(QStringLiteral("VorSameLinks"));
    layout->addWidget(m_sameLinks);
    m_links = new QTableWidget(0, 3, this);
    m_links->setObjectName(QStringLiteral("VorLinks"));
    m_links->setHorizontalHeaderLabels(
        {QStringLiteral("Документ №"), QStringLiteral("Страницы"), QStringLiteral("Описание")});
    m_links->horizontalHeader()->setStretchLastSection(true);
    m_links->setColumnWidth(PagesColumn, 140);
    QStringList known;
    for (const bom::Document &document : m_documents)
        known.append(
            QStringLiteral("%1 — %2").arg(QString::number(document.id), document.fileName));
    m_links->setToolTip(QStringLiteral("Документы ведомости:\n") + known.join(u'\n'));
    layout->addWidget(m_links, 1);
    auto *linkButtons = new QHBoxLayout;
    auto *add = new QPushButton(QStringLiteral("&Добавить ссылку"), this);
    add->setObjectName(QStringLiteral("VorAddLink"));
    auto *remove = new QPushButton(QStringLiteral("&Удалить ссылку"), this);
    remove->setObjectName(QStringLiteral("VorRemoveLink"));
    linkButtons->addWidget(add);
    linkButtons->addWidget(remove);
    linkButtons->addStretch(1);
    layout->addLayout(linkButtons);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    layout->addWidget(buttons);

    connect(add, &QPushButton::clicked, this, &VorEntryDialog::addLink);
    connect(remove, &QPushButton::clicked, this, &VorEntryDialog::removeLink);
    connect(m_sameLinks, &QCheckBox::toggled, this, [this, add, remove](bool same) {
        m_links->setEnabled(!same);
        add->setEnabled(!same);
        remove->setEnabled(!same);
    });
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(m_line, &QComboBox::currentIndexChanged, this, [this](int index) {
        takeLine();
        showLine(index);
    });
    showLine(m_line->currentIndex());
}

void VorEntryDialog::showLine(int index)
{
    m_shown = index;
    if (index < 0 || index >= m_lines.size())
        return;
    const Line &line = m_lines.at(index);
    const bool work = line.material < 0;
    m_formula->setEnabled(!work);
    m_type->setEnabled(!work);
    m_formula->setText(line.formula);
    m_type->setCurrentIndex(line.type);
    // A material of a work may follow the work's references; the work, or a line typed by hand
    // with none of its own, has its own.
    const bool follows = !work && !m_entry.manual && line.links.isEmpty();
    m_sameLinks->setVisible(!work && !m_entry.manual);
    const QList<bom::Link> shown =
        m_entry.manual && line.links.isEmpty() ? m_entry.links : line.links;
    m_links->setRowCount(0);
    for (const bom::Link &link : follows ? m_entry.links : shown) {
        const int row = m_links->rowCount();
        m_links->insertRow(row);
        m_links->setItem(row, DocumentColumn,
                         new QTableWidgetItem(QString::number(link.documentId)));
        m_links->setItem(row, PagesColumn, new QTableWidgetItem(link.pages));
        m_links->setItem(row, DescriptionColumn, new QTableWidgetItem(link.description));
    }
    m_sameLinks->setChecked(follows);
    m_links->setEnabled(!follows);
}

void VorEntryDialog::takeLine()
{
    if (m_shown < 0 || m_shown >= m_lines.size())
        return;
    Line &line = m_lines[m_shown];
    line.formula = m_formula->text().trimmed();
    line.type = m_type->currentIndex();
    line.links.clear();
    if (m_sameLinks->isVisible() && m_sameLinks->isChecked())
        return;
    for (int row = 0; row < m_links->rowCount(); ++row) {
        const auto text = [this, row](int column) {
            const QTableWidgetItem *item = m_links->item(row, column);
            return item ? item->text().trimmed() : QString();
        };
        if (text(DocumentColumn).isEmpty() && text(PagesColumn).isEmpty())
            continue;
        line.links.append({text(DocumentColumn).toInt(), text(PagesColumn).simplified(),
                           text(DescriptionColumn)});
    }
}

void VorEntryDialog::addLink()
{
    const int row = m_links->rowCount();
    m_links->insertRow(row);
    // The document of the row above, or the first of the bill, is the likely one.
    QString document =
        row > 0 && m_links->item(row - 1, DocumentColumn)
            ? m_links->item(row - 1, DocumentColumn)->text()
            : (m_documents.isEmpty() ? QString() : QString::number(m_documents.first().id));
    m_links->setItem(row, DocumentColumn, new QTableWidgetItem(document));
    m_links->setItem(row, PagesColumn, new QTableWidgetItem);
    m_links->setItem(row, DescriptionColumn, new QTableWidgetItem);
    m_links->setCurrentCell(row, PagesColumn);
    m_links->editItem(m_links->item(row, PagesColumn));
}

void VorEntryDialog::removeLink()
{
    const int row = m_links->currentRow();
    if (row >= 0)
        m_links->removeRow(row);
}

void VorEntryDialog::done(int result)
{
    if (result == QDialog::Accepted) {
        takeLine();
        for (const Line &line : std::as_const(m_lines)) {
            for (const bom::Link &link : line.links) {
                if (link.documentId < 1) {
                    errorreport::show(QStringLiteral("Номер документа в ссылке — целое число "
                                                     "больше нуля из списка документов."));
                    return;
                }
            }
            if (!line.formula.isEmpty() && !bom::evaluateFormula(line.formula)) {
                errorreport::show(QStringLiteral("Формула «%1» не читается — нужны числа с "
                                                 "точкой, + - * / и скобки.")
                                      .arg(line.formula));
                return;
            }
        }
    }
    QDialog::done(result);
}

bom::Entry VorEntryDialog::entry() const
{
    bom::Entry entry = m_entry;
    const QList<bom::ResourceType> types = bom::resourceTypes();
    for (const Line &line : m_lines) {
        if (line.material < 0) {
            entry.links = line.links;
            continue;
        }
        bom::Material &material = entry.materials[line.material];
        material.formula = line.formula;
        material.links = line.links;
        const bom::ResourceType type = types.value(line.type);
        const bom::ResourceType natural = material.kind == bom::MaterialKind::Machine
                                              ? bom::ResourceType::Machine
                                              : bom::ResourceType::Material;
        material.type = type == natural ? std::nullopt : std::optional<bom::ResourceType>(type);
    }
    // A line typed by hand keeps its references with the entry, as the check reads them.
    if (entry.manual && entry.materials.size() == 1 && !entry.materials.at(0).links.isEmpty()) {
        entry.links = entry.materials.at(0).links;
        entry.materials[0].links.clear();
    }
    return entry;
}
