#include "manualmaterialdialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace {

QLineEdit *field(const char *name, QWidget *parent)
{
    auto *edit = new QLineEdit(parent);
    edit->setObjectName(QString::fromLatin1(name));
    return edit;
}

} // namespace

ManualMaterialDialog::ManualMaterialDialog(QWidget *parent)
    : QDialog(parent), m_name(field("ManualName", this)), m_unit(new QComboBox(this)),
      m_quantity(field("ManualQuantity", this)), m_note(field("ManualNote", this)),
      m_problem(new QLabel(this)),
      m_buttons(new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this))
{
    setObjectName(QStringLiteral("ManualMaterialDialog"));
    setWindowTitle(QStringLiteral("Материал вручную"));
    // Room for a material's full name, such as «Гвозди строительные 4×100 оцинкованные».
    setMinimumWidth(380);
    m_unit->setObjectName(QStringLiteral("ManualUnit"));
    m_unit->setEditable(true);
    m_unit->addItems({QStringLiteral("шт."), QStringLiteral("кг"), QStringLiteral("т"),
                      QStringLiteral("м"), QStringLiteral("м2"), QStringLiteral("м3"),
                      QStringLiteral("л")});
    m_problem->setObjectName(QStringLiteral("ManualProblem"));
    m_problem->setWordWrap(true);
    m_buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("&Добавить"));
    m_buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("&Отмена"));

    auto *form = new QFormLayout(this);
    form->addRow(QStringLiteral("&Материал:"), m_name);
    form->addRow(QStringLiteral("&Единица:"), m_unit);
    form->addRow(QStringLiteral("&Количество:"), m_quantity);
    form->addRow(QStringLiteral("&Примечание:"), m_note);
    form->addRow(m_problem);
    form->addRow(m_buttons);

    connect(m_buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(m_buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(m_name, &QLineEdit::textChanged, this, &ManualMaterialDialog::check);
    connect(m_unit, &QComboBox::currentTextChanged, this, &ManualMaterialDialog::check);
    connect(m_quantity, &QLineEdit::textChanged, this, &ManualMaterialDialog::check);
    check();
}

std::optional<bom::Entry> ManualMaterialDialog::entry(const QDateTime &added) const
{
    const bom::QuantityEdit quantity = bom::readQuantity(m_quantity->text());
    if (m_name->text().trimmed().isEmpty() || m_unit->currentText().trimmed().isEmpty() ||
        quantity.refusal)
        return std::nullopt;
    bom::Entry made;
    made.added = added;
    made.work = bom::manualWork();
    made.manual = true;
    made.note = m_note->text().trimmed();
    made.materials.append(bom::material(m_name->text(), m_unit->currentText(), quantity.quantity,
                                        bom::MaterialKind::Buy, QString(), bom::manualSource()));
    return made;
}

void ManualMaterialDialog::check()
{
    QString problem;
    if (m_name->text().trimmed().isEmpty())
        problem = QStringLiteral("Укажите материал.");
    else if (m_unit->currentText().trimmed().isEmpty())
        problem = QStringLiteral("Укажите единицу измерения: без нее материал нельзя закупить.");
    else if (!m_quantity->text().trimmed().isEmpty())
        problem = bom::readQuantity(m_quantity->text()).refusal.value_or(bom::Refusal{}).reason;
    else
        problem = QStringLiteral("Укажите количество.");
    m_problem->setText(problem);
    m_problem->setVisible(!problem.isEmpty());
    m_buttons->button(QDialogButtonBox::Ok)->setEnabled(problem.isEmpty());
}
