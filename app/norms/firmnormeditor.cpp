#include "firmnormeditor.h"

#include "common/codecolumn.h"
#include "common/errorreport.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStyledItemDelegate>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {

enum Column
{
    CodeColumn,
    NameColumn,
    UnitColumn,
    RateColumn,
    KindColumn,
    ColumnCount,
};

// What a resource line keeps besides its cells: an abstract material and its technology groups.
constexpr int kAbstractRole = Qt::UserRole + 1;
constexpr int kGroupsRole = Qt::UserRole + 2;

const QColor kProblemText(0xb0, 0x00, 0x00);
const QColor kProblemCell(0xff, 0xdd, 0xdd);

QStringList kindTexts()
{
    QStringList texts;
    for (const norms::ResourceGroup group : norms::kResourceGroups)
        texts.append(norms::groupKind(group));
    return texts;
}

// The cells take what is typed at each key, so that every reason is there before the cell is
// left; the kind is chosen from its three.
class ResourceDelegate : public QStyledItemDelegate
{
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    QWidget *createEditor(QWidget *parent, const QStyleOptionViewItem &option,
                          const QModelIndex &index) const override
    {
        auto *self = const_cast<ResourceDelegate *>(this);
        if (index.column() == KindColumn) {
            auto *box = new QComboBox(parent);
            box->setObjectName(QStringLiteral("FirmResourceKind"));
            box->addItems(kindTexts());
            connect(box, &QComboBox::activated, self, [self, box] { emit self->commitData(box); });
            return box;
        }
        QWidget *editor = QStyledItemDelegate::createEditor(parent, option, index);
        if (auto *line = qobject_cast<QLineEdit *>(editor))
            connect(line, &QLineEdit::textEdited, self,
                    [self, line] { emit self->commitData(line); });
        return editor;
    }

    void setEditorData(QWidget *editor, const QModelIndex &index) const override
    {
        if (auto *box = qobject_cast<QComboBox *>(editor))
            box->setCurrentText(index.data().toString());
        else
            QStyledItemDelegate::setEditorData(editor, index);
    }

    void setModelData(QWidget *editor, QAbstractItemModel *model,
                      const QModelIndex &index) const override
    {
        if (auto *box = qobject_cast<QComboBox *>(editor))
            model->setData(index, box->currentText());
        else
            QStyledItemDelegate::setModelData(editor, model, index);
    }
};

QLineEdit *field(const char *name, QWidget *parent)
{
    auto *edit = new QLineEdit(parent);
    edit->setObjectName(QString::fromLatin1(name));
    return edit;
}

// A reason beside its field; the line is kept while empty, so that a reason coming and going
// moves nothing.
QLabel *problemLabel(const char *name, QWidget *parent)
{
    auto *label = new QLabel(parent);
    label->setObjectName(QString::fromLatin1(name));
    label->setWordWrap(true);
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, kProblemText);
    label->setPalette(palette);
    label->setMinimumHeight(label->fontMetrics().height());
    return label;
}

// A field with its reason under it, as one cell of the form.
QWidget *withProblem(QWidget *field, QLabel *problem, QWidget *parent)
{
    auto *box = new QWidget(parent);
    auto *layout = new QVBoxLayout(box);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(1);
    layout->addWidget(field);
    layout->addWidget(problem);
    return box;
}

QString cellText(const QTableWidget *table, int row, int column)
{
    const QTableWidgetItem *item = table->item(row, column);
    return item ? item->text().trimmed() : QString();
}

} // namespace

FirmNormEditor::FirmNormEditor(const norms::firm::Draft &draft, CodeTaken codeTaken, Save save,
                               QWidget *parent, const norms::rates::Tables &tables)
    : QDialog(parent), m_codeTaken(std::move(codeTaken)), m_save(std::move(save)),
      m_origin(draft.origin)
{
    setObjectName(QStringLiteral("FirmNormEditor"));
    setWindowTitle(draft.code.isEmpty() ? QStringLiteral("Новая фирменная норма")
                                        : QStringLiteral("Фирменная норма %1").arg(draft.code));
    m_code = field("FirmCode", this);
    m_code->setPlaceholderText(QStringLiteral("ФН-06-01-001-01"));
    m_name = field("FirmName", this);
    m_measure = field("FirmMeasure", this);
    m_measure->setPlaceholderText(QStringLiteral("100 м3, 1 т, шт"));
    m_source = field("FirmSource", this);
    m_source->setPlaceholderText(
        QStringLiteral("калькуляция или расчет, по которому норма утверждена"));
    m_content = new QPlainTextEdit(this);
    m_content->setObjectName(QStringLiteral("FirmContent"));
    m_content->setTabChangesFocus(true);
    m_content->setPlaceholderText(QStringLiteral("по операции в строке"));
    m_content->setFixedHeight(m_content->fontMetrics().lineSpacing() * 4 + 12);
    m_codeProblem = problemLabel("FirmCodeProblem", this);
    m_nameProblem = problemLabel("FirmNameProblem", this);
    m_measureProblem = problemLabel("FirmMeasureProblem", this);
    m_sourceProblem = problemLabel("FirmSourceProblem", this);
    m_resourcesProblem = problemLabel("FirmResourcesProblem", this);

    m_resources = new QTableWidget(0, ColumnCount, this);
    m_resources->setObjectName(QStringLiteral("FirmResources"));
    m_resources->setHorizontalHeaderLabels({QStringLiteral("Код"), QStringLiteral("Наименование"),
                                            QStringLiteral("Ед. изм."), QStringLiteral("Норма"),
                                            QStringLiteral("Вид")});
    m_resources->setItemDelegate(new ResourceDelegate(m_resources));
    m_resources->setEditTriggers(QAbstractItemView::DoubleClicked |
                                 QAbstractItemView::EditKeyPressed |
                                 QAbstractItemView::AnyKeyPressed);
    m_resources->setSelectionBehavior(QAbstractItemView::SelectItems);
    m_resources->setSelectionMode(QAbstractItemView::SingleSelection);
    m_resources->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    m_resources->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 8);
    m_resources->horizontalHeader()->setStretchLastSection(false);
    m_resources->horizontalHeader()->setSectionResizeMode(NameColumn, QHeaderView::Stretch);
    m_resources->setColumnWidth(CodeColumn,
                                codecolumn::width(m_resources, codecolumn::kResourceSample));
    m_resources->setColumnWidth(UnitColumn, 70);
    m_resources->setColumnWidth(RateColumn, 90);
    m_resources->setColumnWidth(KindColumn, 90);
    m_resources->setTabKeyNavigation(false);
    fillResources(draft.resources);
    m_reasons = new QComboBox(this);
    m_reasons->setObjectName(QStringLiteral("FirmReasons"));
    m_reasons->setAccessibleName(QStringLiteral("Нормативы НР и СП"));
    fillReasons(draft.reasons, tables);

    auto *add = new QPushButton(QStringLiteral("&Добавить строку"), this);
    add->setObjectName(QStringLiteral("FirmAddResource"));
    add->setAutoDefault(false);
    m_removeResource = new QPushButton(QStringLiteral("&Убрать строку"), this);
    m_removeResource->setObjectName(QStringLiteral("FirmRemoveResource"));
    m_removeResource->setAutoDefault(false);
    m_buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    QPushButton *saveButton = m_buttons->button(QDialogButtonBox::Ok);
    saveButton->setObjectName(QStringLiteral("FirmSave"));
    saveButton->setText(QStringLiteral("&Сохранить"));
    m_buttons->button(QDialogButtonBox::Cancel)->setObjectName(QStringLiteral("FirmCancel"));
    m_buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("Отмена"));

    auto *layout = new QVBoxLayout(this);
    auto *form = new QFormLayout;
    form->setLabelAlignment(Qt::AlignLeft | Qt::AlignTop);
    form->setFieldGrowthPolicy(QFormLayout::AllNonFixedFieldsGrow);
    form->addRow(QStringLiteral("&Код:"), withProblem(m_code, m_codeProblem, this));
    form->addRow(QStringLiteral("&Наименование:"), withProblem(m_name, m_nameProblem, this));
    form->addRow(QStringLiteral("&Измеритель:"), withProblem(m_measure, m_measureProblem, this));
    form->addRow(QStringLiteral("Исто&чник:"), withProblem(m_source, m_sourceProblem, this));
    if (!m_origin.isEmpty()) {
        auto *origin = new QLabel(QStringLiteral("На основе ") + m_origin, this);
        origin->setObjectName(QStringLiteral("FirmOrigin"));
        origin->setTextInteractionFlags(Qt::TextSelectableByMouse);
        form->addRow(QStringLiteral("Происхождение:"), origin);
    }
    form->addRow(QStringLiteral("Нормативы НР и С&П:"), m_reasons);
    form->addRow(QStringLiteral("С&остав работ:"), m_content);
    // The captions take their buddies' mnemonics.
    for (QWidget *buddy : std::initializer_list<QWidget *>{m_code, m_name, m_measure, m_source})
        if (auto *caption = qobject_cast<QLabel *>(form->labelForField(buddy->parentWidget())))
            caption->setBuddy(buddy);
    for (QWidget *buddy : std::initializer_list<QWidget *>{m_reasons, m_content})
        if (auto *caption = qobject_cast<QLabel *>(form->labelForField(buddy)))
            caption->setBuddy(buddy);
    layout->addLayout(form);
    auto *resourcesCaption = new QLabel(QStringLiteral("&Ресурсы на измеритель:"), this);
    resourcesCaption->setBuddy(m_resources);
    layout->addWidget(resourcesCaption);
    layout->addWidget(m_resources, 1);
    auto *lines = new QHBoxLayout;
    lines->addWidget(m_resourcesProblem, 1);
    lines->addWidget(add);
    lines->addWidget(m_removeResource);
    layout->addLayout(lines);
    layout->addWidget(m_buttons);
    resize(760, 620);

    m_code->setText(draft.code);
    m_name->setText(draft.name);
    m_measure->setText(draft.measure);
    m_source->setText(draft.source);
    m_content->setPlainText(draft.content);
    m_initial = this->draft();

    connect(m_buttons, &QDialogButtonBox::accepted, this, &FirmNormEditor::accept);
    connect(m_buttons, &QDialogButtonBox::rejected, this, &FirmNormEditor::reject);
    connect(add, &QPushButton::clicked, this, &FirmNormEditor::addResource);
    connect(m_removeResource, &QPushButton::clicked, this, &FirmNormEditor::removeResource);
    for (QLineEdit *edit : {m_code, m_name, m_measure, m_source})
        connect(edit, &QLineEdit::textChanged, this, &FirmNormEditor::check);
    connect(m_resources, &QTableWidget::itemChanged, this, &FirmNormEditor::check);
    connect(m_reasons, &QComboBox::currentIndexChanged, this, &FirmNormEditor::check);
    connect(m_resources, &QTableWidget::currentCellChanged, this,
            [this](int row) { m_removeResource->setEnabled(row >= 0); });
    m_removeResource->setEnabled(false);
    check();
    // A norm made from a federal one is mostly there; the source is what it lacks.
    (m_source->text().isEmpty() && !m_code->text().isEmpty() ? m_source : m_code)->setFocus();
}

void FirmNormEditor::fillResources(const QList<norms::NormResource> &resources)
{
    m_resources->setRowCount(0);
    for (const norms::NormResource &resource : resources) {
        const int row = m_resources->rowCount();
        m_resources->insertRow(row);
        const QStringList texts{resource.code, resource.name, resource.unit,
                                resource.rate ? norms::firm::rateFieldText(*resource.rate)
                                              : QString(),
                                norms::groupKind(resource.group)};
        for (int column = 0; column < ColumnCount; ++column) {
            auto *item = new QTableWidgetItem(texts.at(column));
            if (column == RateColumn)
                item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            m_resources->setItem(row, column, item);
        }
        m_resources->item(row, NameColumn)->setData(kAbstractRole, resource.abstract);
        m_resources->item(row, NameColumn)->setData(kGroupsRole, resource.technologyGroups);
    }
}

void FirmNormEditor::fillReasons(const QList<norms::Reason> &reasons,
                                 const norms::rates::Tables &tables)
{
    using norms::rates::Kind;
    const auto itemsOf = [](const QList<norms::Reason> &given) {
        QVariantList kept;
        for (const norms::Reason &reason : given)
            kept.append(QStringList{reason.nr, reason.sp});
        return kept;
    };
    m_reasons->addItem(QStringLiteral("не указаны"), QVariantList());
    // The references as the norm has them stay a choice of their own where no one item says
    // them: several, or one the tables lack.
    QString single;
    if (reasons.size() == 1) {
        const QString item = norms::rates::itemOf(reasons[0].nr, Kind::Overhead);
        if (tables.overhead.row(item) && item == norms::rates::itemOf(reasons[0].sp, Kind::Profit))
            single = item;
    }
    if (!reasons.isEmpty() && single.isEmpty()) {
        QStringList texts;
        for (const norms::Reason &reason : reasons)
            texts.append(norms::rates::reasonText(reason, tables.overhead, tables.profit));
        m_reasons->addItem(QStringLiteral("как в норме: ") + texts.join(QStringLiteral("; ")),
                           itemsOf(reasons));
        m_reasons->setCurrentIndex(1);
    }
    for (const norms::rates::Row &row : tables.overhead.rows) {
        const norms::Reason reason{QStringLiteral("Пр/812-") + row.item,
                                   QStringLiteral("Пр/774-") + row.item};
        m_reasons->addItem(row.item + u' ' +
                               norms::rates::reasonText(reason, tables.overhead, tables.profit),
                           itemsOf({reason}));
        if (row.item == single)
            m_reasons->setCurrentIndex(m_reasons->count() - 1);
    }
    m_reasons->setMaxVisibleItems(20);
    m_reasons->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    m_reasons->setMinimumContentsLength(40);
}

norms::firm::Draft FirmNormEditor::draft() const
{
    norms::firm::Draft made;
    made.code = m_code->text().trimmed();
    made.name = m_name->text().simplified();
    made.measure = m_measure->text().simplified();
    made.source = m_source->text().trimmed();
    made.content = m_content->toPlainText().trimmed();
    made.origin = m_origin;
    for (const QVariant &item : m_reasons->currentData().toList()) {
        const QStringList sides = item.toStringList();
        made.reasons.append({sides.value(0), sides.value(1)});
    }
    for (int row = 0; row < m_resources->rowCount(); ++row) {
        norms::NormResource resource;
        resource.code = cellText(m_resources, row, CodeColumn);
        resource.name = cellText(m_resources, row, NameColumn);
        resource.unit = cellText(m_resources, row, UnitColumn);
        resource.rate = norms::firm::readRate(cellText(m_resources, row, RateColumn));
        resource.group = norms::groupOfKind(cellText(m_resources, row, KindColumn))
                             .value_or(norms::ResourceGroup::Material);
        if (const QTableWidgetItem *name = m_resources->item(row, NameColumn)) {
            resource.abstract = name->data(kAbstractRole).toBool();
            resource.technologyGroups = name->data(kGroupsRole).toString();
        }
        made.resources.append(resource);
    }
    return made;
}

void FirmNormEditor::addResource()
{
    const int row = m_resources->rowCount();
    m_resources->insertRow(row);
    for (int column = 0; column < ColumnCount; ++column) {
        auto *item = new QTableWidgetItem(
            column == KindColumn ? norms::groupKind(norms::ResourceGroup::Material) : QString());
        if (column == RateColumn)
            item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
        m_resources->setItem(row, column, item);
    }
    m_resources->setCurrentCell(row, NameColumn);
    m_resources->setFocus();
    check();
}

void FirmNormEditor::removeResource()
{
    const int row = m_resources->currentRow();
    if (row < 0)
        return;
    m_resources->removeRow(row);
    check();
}

void FirmNormEditor::check()
{
    if (m_checking)
        return;
    m_checking = true;
    const bool good = showProblems(draft());
    m_buttons->button(QDialogButtonBox::Ok)->setEnabled(good);
    m_checking = false;
}

bool FirmNormEditor::codeTaken(const QString &code)
{
    // Every key in any field checks the draft again; the base is asked only of a new code.
    if (m_checkedCode != code) {
        m_checkedCode = code;
        m_checkedTaken = m_codeTaken(code);
    }
    return m_checkedTaken;
}

bool FirmNormEditor::showProblems(const norms::firm::Draft &draft)
{
    using Field = norms::firm::Problem::Field;
    QString code = norms::firm::codeProblem(draft.code);
    if (code.isEmpty() && m_codeTaken && codeTaken(draft.code))
        code = QStringLiteral("Код «%1» уже есть у другой фирменной нормы.").arg(draft.code);
    QString name = norms::firm::nameProblem(draft.name);
    QString measure = norms::firm::measureProblem(draft.measure);
    QString source = norms::firm::sourceProblem(draft.source);

    // A rate is read as typed, and one is needed where the federal norm said «по проекту»; the
    // other reasons of a line come from the draft as a whole, naming the line themselves.
    QList<QString> lineReasons(m_resources->rowCount());
    QList<int> badColumns(m_resources->rowCount(), -1);
    for (int row = 0; row < m_resources->rowCount(); ++row) {
        QString rate = norms::firm::rateProblem(cellText(m_resources, row, RateColumn));
        if (!rate.isEmpty()) {
            rate[0] = rate.at(0).toLower();
            lineReasons[row] = QStringLiteral("Строка %1: %2").arg(QString::number(row + 1), rate);
            badColumns[row] = RateColumn;
        }
    }
    QString resources;
    for (const norms::firm::Problem &problem : norms::firm::problemsOf(draft)) {
        QString *shown = nullptr;
        switch (problem.field) {
        case Field::Code:
            shown = &code;
            break;
        case Field::Name:
            shown = &name;
            break;
        case Field::Measure:
            shown = &measure;
            break;
        case Field::Source:
            shown = &source;
            break;
        case Field::Resource:
            if (problem.resource >= 0 && problem.resource < lineReasons.size()) {
                if (lineReasons.at(problem.resource).isEmpty()) {
                    lineReasons[problem.resource] = problem.reason;
                    const norms::NormResource &line = draft.resources.at(problem.resource);
                    const bool unitLost = norms::firm::journalProblem(line.name).isEmpty() &&
                                          !norms::firm::journalProblem(line.unit).isEmpty();
                    badColumns[problem.resource] = line.name.isEmpty()               ? NameColumn
                                                   : line.unit.isEmpty() || unitLost ? UnitColumn
                                                   : !line.rate                      ? RateColumn
                                                                                     : NameColumn;
                }
            } else if (resources.isEmpty()) {
                resources = problem.reason;
            }
            break;
        }
        if (shown && shown->isEmpty())
            *shown = problem.reason;
    }

    const QSignalBlocker quiet(m_resources);
    for (int row = 0; row < m_resources->rowCount(); ++row) {
        for (int column = 0; column < ColumnCount; ++column) {
            QTableWidgetItem *item = m_resources->item(row, column);
            if (!item)
                continue;
            const bool bad = column == badColumns.at(row);
            item->setBackground(bad ? QBrush(kProblemCell) : QBrush());
            item->setToolTip(bad ? lineReasons.at(row) : QString());
        }
        if (resources.isEmpty())
            resources = lineReasons.at(row);
    }
    m_resources->viewport()->update();

    m_codeProblem->setText(code);
    m_nameProblem->setText(name);
    m_measureProblem->setText(measure);
    m_sourceProblem->setText(source);
    m_resourcesProblem->setText(resources);
    return code.isEmpty() && name.isEmpty() && measure.isEmpty() && source.isEmpty() &&
           resources.isEmpty();
}

void FirmNormEditor::accept()
{
    // Enter in a field reaches here while a reason still stands; the button itself is disabled.
    if (!m_buttons->button(QDialogButtonBox::Ok)->isEnabled())
        return;
    if (!m_save || m_save(draft()))
        QDialog::accept();
}

void FirmNormEditor::reject()
{
    if (isChanged()) {
        const int answer = errorreport::askToChoose(
            QStringLiteral("Сохранить изменения фирменной нормы «%1»?")
                .arg(m_code->text().trimmed()),
            {QStringLiteral("Сохранить"), QStringLiteral("Не сохранять"), QStringLiteral("Отмена")},
            0, this);
        if (answer == 0) {
            accept();
            return;
        }
        if (answer != 1)
            return;
    }
    QDialog::reject();
}
