#include "vorpanel.h"

#include "billbook.h"
#include "billbutton.h"
#include "billfiles.h"
#include "billheadform.h"
#include "billmodels.h"
#include "common/errorreport.h"
#include "vorentrydialog.h"

#include <QComboBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTableView>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {

QLineEdit *field(const char *name, const QString &caption, QWidget *parent)
{
    auto *edit = new QLineEdit(parent);
    edit->setObjectName(QString::fromLatin1(name));
    edit->setAccessibleName(caption);
    return edit;
}

// Between the panel's lines of fields and of buttons.
constexpr int kLineSpacing = 2;

// A list under its caption as high as three lines of fields beside it.
int listHeight(const QWidget *panel)
{
    const int line = QLineEdit().sizeHint().height();
    return 3 * line + 2 * kLineSpacing - panel->fontMetrics().height();
}

// A section removed, or two swapped: the entries' section numbers follow.
QList<bom::Entry> renumbered(QList<bom::Entry> entries, const std::function<int(int)> &to)
{
    for (bom::Entry &entry : entries)
        entry.section = to(entry.section);
    return entries;
}

} // namespace

VorPanel::VorPanel(BillBook &book, BillFiles &files, QWidget *parent)
    : QWidget(parent), m_book(book), m_files(files)
{
    setObjectName(QStringLiteral("VorPanel"));
    auto *layout = new QHBoxLayout(this);

    auto *head = new QHBoxLayout;
    m_site = field("VorConstructionSite", QStringLiteral("Стройка"), this);
    m_reason = field("VorReason", QStringLiteral("Основание"), this);
    m_number = field("VorNumber", QStringLiteral("Номер"), this);
    m_compiledPosition =
        field("VorCompiledPosition", QStringLiteral("Должность составившего"), this);
    m_checkedPosition = field("VorCheckedPosition", QStringLiteral("Должность проверившего"), this);
    m_access = new QComboBox(this);
    m_access->setObjectName(QStringLiteral("VorAccessLevel"));
    m_access->setAccessibleName(QStringLiteral("Уровень доступа"));
    m_access->addItem(QString());
    m_access->addItems(bom::accessLevels());
    const struct
    {
        QWidget *widget;
        const char *caption;
    } fields[] = {{m_site, "Стро&йка:"},
                  {m_number, "Но&мер ВОР:"},
                  {m_compiledPosition, "Должность составив&шего:"},
                  {m_reason, "Основа&ние:"},
                  {m_checkedPosition, "Дол&жность проверившего:"},
                  {m_access, "Уровень доступа (&гриф):"}};
    // Two columns of three: the site, the number and the position of who compiled it; the
    // basis, the position of who checked it and the access level. Tab reads down the first
    // column, then the second.
    auto *left = new QFormLayout;
    auto *right = new QFormLayout;
    for (QFormLayout *form : {left, right})
        form->setVerticalSpacing(kLineSpacing);
    for (int i = 0; i < int(std::size(fields)); ++i) {
        auto *label = new QLabel(QString::fromUtf8(fields[i].caption), this);
        label->setBuddy(fields[i].widget);
        fields[i].widget->setMinimumWidth(140);
        (i < 3 ? left : right)->addRow(label, fields[i].widget);
        if (i > 0)
            setTabOrder(fields[i - 1].widget, fields[i].widget);
    }
    head->addLayout(left, 1);
    head->addLayout(right, 1);
    for (QLineEdit *edit : {m_site, m_reason, m_number, m_compiledPosition, m_checkedPosition})
        connect(edit, &QLineEdit::editingFinished, this, &VorPanel::takeHead);
    // The level is taken when chosen: one the list lacks, read from a file, stays until then.
    connect(m_access, &QComboBox::activated, this, [this] {
        bom::Head chosen = m_book.bill().head;
        chosen.accessLevel = m_access->currentText();
        m_book.setHead(chosen);
    });
    layout->addLayout(head, 5);

    // Each list with its buttons beside it, three lines high as the head's fields, so that the
    // panel takes no more of the window's height than the bill's own head.
    auto *sectionsBox = new QVBoxLayout;
    sectionsBox->setSpacing(0);
    sectionsBox->addWidget(new QLabel(QStringLiteral("Разделы:"), this));
    m_sections = new QListWidget(this);
    m_sections->setObjectName(QStringLiteral("VorSections"));
    m_sections->setAccessibleName(QStringLiteral("Разделы"));
    m_sections->setToolTip(QStringLiteral("Двойной щелчок — переименовать раздел"));
    m_sections->setMinimumSize(110, 36);
    m_sections->setMaximumHeight(listHeight(this));
    sectionsBox->addWidget(m_sections, 1);
    auto *sectionButtons = new QGridLayout;
    sectionButtons->setSpacing(kLineSpacing);
    const struct
    {
        const char *name;
        const char *caption;
        std::function<void()> operation;
    } sectionOperations[] = {
        {"VorAddSection", "Добавить",
         [this] {
             addSection();
         }},
        {"VorRemoveSection", "Удалить",
         [this] {
             removeSection();
         }},
        {"VorSectionUp", "Выше",
         [this] {
             moveSection(-1);
         }},
        {"VorSectionDown", "Ниже",
         [this] {
             moveSection(1);
         }},
        {"VorMoveEntries", "Записи в раздел",
         [this] {
             moveEntriesToSection();
         }},
    };
    int place = 0;
    for (const auto &operation : sectionOperations) {
        QPushButton *push = billButton(operation.name, QString::fromUtf8(operation.caption), this);
        connect(push, &QPushButton::clicked, this, operation.operation);
        sectionButtons->addWidget(push, place % 3, place / 3);
        ++place;
    }
    layout->addLayout(sectionsBox, 2);
    layout->addLayout(sectionButtons);
    connect(m_sections, &QListWidget::itemChanged, this, [this](QListWidgetItem *item) {
        if (!m_showing)
            renameSection(m_sections->row(item), item->text());
    });

    auto *documentsBox = new QVBoxLayout;
    documentsBox->setSpacing(0);
    documentsBox->addWidget(new QLabel(QStringLiteral("Документы:"), this));
    m_documents = new QTableWidget(0, 2, this);
    m_documents->setObjectName(QStringLiteral("VorDocuments"));
    m_documents->setAccessibleName(QStringLiteral("Документы"));
    m_documents->setHorizontalHeaderLabels({QStringLiteral("№"), QStringLiteral("Файл")});
    m_documents->horizontalHeader()->setStretchLastSection(true);
    m_documents->verticalHeader()->hide();
    m_documents->setColumnWidth(0, 40);
    m_documents->setMinimumSize(170, 36);
    m_documents->setMaximumHeight(listHeight(this));
    documentsBox->addWidget(m_documents, 1);
    auto *documentButtons = new QVBoxLayout;
    documentButtons->setSpacing(kLineSpacing);
    QPushButton *addDocument = billButton("VorAddDocument", QStringLiteral("Добавить"), this);
    QPushButton *removeDocument = billButton("VorRemoveDocument", QStringLiteral("Удалить"), this);
    connect(addDocument, &QPushButton::clicked, this, &VorPanel::addDocument);
    connect(removeDocument, &QPushButton::clicked, this, &VorPanel::removeDocument);
    documentButtons->addWidget(addDocument);
    documentButtons->addWidget(removeDocument);
    documentButtons->addStretch(1);
    layout->addLayout(documentsBox, 3);
    layout->addLayout(documentButtons);
    connect(m_documents, &QTableWidget::cellChanged, this, [this](int changed, int column) {
        if (!m_showing)
            takeDocument(changed, column);
    });

    auto *actions = new QVBoxLayout;
    actions->setSpacing(kLineSpacing);
    QPushButton *basis = billButton("VorEntryBasis", QStringLiteral("Основание записи..."), this);
    basis->setToolTip(QStringLiteral("Ссылки выбранной записи на документы, формулы и типы ее "
                                     "материалов"));
    QPushButton *exportButton =
        billButton("VorExport", QStringLiteral("Экспорт ВОР для экспертизы (.gge)..."), this);
    QPushButton *openButton = billButton("VorOpen", QStringLiteral("Открыть ВОР (.gge)..."), this);
    connect(basis, &QPushButton::clicked, this, &VorPanel::editEntryBasis);
    connect(exportButton, &QPushButton::clicked, &m_files, &BillFiles::exportVor);
    connect(openButton, &QPushButton::clicked, &m_files, &BillFiles::openVor);
    actions->addWidget(basis);
    actions->addWidget(exportButton);
    actions->addWidget(openButton);
    actions->addStretch(1);
    layout->addLayout(actions, 2);

    connect(&files, &BillFiles::vorGapFound, this, &VorPanel::selectGap);
    connect(&book, &BillBook::headChanged, this, &VorPanel::showBill);
    connect(&book, &BillBook::vorChanged, this, &VorPanel::showBill);
    showBill();
}

VorPanel::~VorPanel()
{
    // A field that has the focus finishes its editing while the children go, after the panel.
    for (QWidget *field :
         std::initializer_list<QWidget *>{m_site, m_reason, m_number, m_compiledPosition,
                                          m_checkedPosition, m_access, m_sections, m_documents})
        field->disconnect(this);
}

void VorPanel::showBill()
{
    m_showing = true;
    const bom::Bill &bill = m_book.bill();
    const bom::Head &head = bill.head;
    const std::pair<QLineEdit *, QString> texts[] = {{m_site, head.constructionSite},
                                                     {m_reason, head.reason},
                                                     {m_number, head.number},
                                                     {m_compiledPosition, head.compiledPosition},
                                                     {m_checkedPosition, head.checkedPosition}};
    for (const auto &[edit, text] : texts) {
        if (edit->text() != text)
            edit->setText(text);
    }
    m_access->setCurrentIndex(std::max(0, int(m_access->findText(head.accessLevel))));
    const int section = m_sections->currentRow();
    m_sections->clear();
    for (int i = 0; i < bill.sections.size(); ++i) {
        auto *item = new QListWidgetItem(bill.sections.at(i).name, m_sections);
        item->setFlags(item->flags() | Qt::ItemIsEditable);
    }
    m_sections->setCurrentRow(std::clamp(section, 0, int(bill.sections.size()) - 1));
    m_documents->setRowCount(int(bill.documents.size()));
    for (int i = 0; i < bill.documents.size(); ++i) {
        m_documents->setItem(i, 0, new QTableWidgetItem(QString::number(bill.documents.at(i).id)));
        m_documents->setItem(i, 1, new QTableWidgetItem(bill.documents.at(i).fileName));
    }
    m_showing = false;
}

void VorPanel::takeHead()
{
    bom::Head head = m_book.bill().head;
    // Taken before every file command too: a field as shown keeps the head's text as it is.
    const auto typed = [](const QLineEdit *field, const QString &own) {
        return field->text() == own ? own : field->text().trimmed();
    };
    head.constructionSite = typed(m_site, head.constructionSite);
    head.reason = typed(m_reason, head.reason);
    head.number = typed(m_number, head.number);
    head.compiledPosition = typed(m_compiledPosition, head.compiledPosition);
    head.checkedPosition = typed(m_checkedPosition, head.checkedPosition);
    m_book.setHead(head);
}

void VorPanel::addSection()
{
    const bom::Bill &bill = m_book.bill();
    QList<bom::Section> sections = bill.sections;
    sections.append({QStringLiteral("Раздел %1").arg(sections.size() + 1)});
    m_book.setVor(QStringLiteral("новый раздел"), sections, bill.documents, bill.entries);
    m_sections->setCurrentRow(int(sections.size()) - 1);
    m_sections->editItem(m_sections->currentItem());
}

void VorPanel::renameSection(int row, const QString &name)
{
    const bom::Bill &bill = m_book.bill();
    if (row < 0 || row >= bill.sections.size())
        return;
    QList<bom::Section> sections = bill.sections;
    // A section without a name would be unreadable in every table.
    if (name.trimmed().isEmpty()) {
        showBill();
        return;
    }
    sections[row].name = name.trimmed();
    m_book.setVor(QStringLiteral("название раздела"), sections, bill.documents, bill.entries);
}

void VorPanel::removeSection()
{
    const bom::Bill &bill = m_book.bill();
    const int row = m_sections->currentRow();
    if (row < 0 || bill.sections.size() < 2)
        return;
    QList<bom::Section> sections = bill.sections;
    sections.removeAt(row);
    // Its entries go to the section above it, or to the new first one.
    const int target = std::max(0, row - 1);
    const QList<bom::Entry> entries = renumbered(bill.entries, [row, target](int section) {
        return section == row ? target : section > row ? section - 1 : section;
    });
    m_book.setVor(QStringLiteral("удаление раздела"), sections, bill.documents, entries);
}

void VorPanel::moveSection(int step)
{
    const bom::Bill &bill = m_book.bill();
    const int row = m_sections->currentRow();
    const int other = row + step;
    if (row < 0 || other < 0 || other >= bill.sections.size())
        return;
    QList<bom::Section> sections = bill.sections;
    sections.swapItemsAt(row, other);
    const QList<bom::Entry> entries = renumbered(bill.entries, [row, other](int section) {
        return section == row ? other : section == other ? row : section;
    });
    m_book.setVor(QStringLiteral("порядок разделов"), sections, bill.documents, entries);
    m_sections->setCurrentRow(other);
}

void VorPanel::moveEntriesToSection()
{
    const bom::Bill &bill = m_book.bill();
    const int section = m_sections->currentRow();
    const QList<int> rows = m_selectedRows ? m_selectedRows() : QList<int>();
    if (section < 0 || rows.isEmpty())
        return;
    QList<bom::Entry> entries = bill.entries;
    for (const int row : rows) {
        if (row >= 0 && row < entries.size())
            entries[row].section = section;
    }
    m_book.setVor(QStringLiteral("перенос записей в раздел"), bill.sections, bill.documents,
                  entries);
}

void VorPanel::addDocument()
{
    const bom::Bill &bill = m_book.bill();
    int id = 0;
    for (const bom::Document &document : bill.documents)
        id = std::max(id, document.id);
    QList<bom::Document> documents = bill.documents;
    documents.append({id + 1, QString()});
    m_book.setVor(QStringLiteral("новый документ"), bill.sections, documents, bill.entries);
    const int row = int(documents.size()) - 1;
    m_documents->setCurrentCell(row, 1);
    m_documents->editItem(m_documents->item(row, 1));
}

void VorPanel::removeDocument()
{
    const bom::Bill &bill = m_book.bill();
    const int row = m_documents->currentRow();
    if (row < 0 || row >= bill.documents.size())
        return;
    QList<bom::Document> documents = bill.documents;
    documents.removeAt(row);
    m_book.setVor(QStringLiteral("удаление документа"), bill.sections, documents, bill.entries);
}

void VorPanel::takeDocument(int row, int column)
{
    const bom::Bill &bill = m_book.bill();
    if (row < 0 || row >= bill.documents.size() || !m_documents->item(row, column))
        return;
    QList<bom::Document> documents = bill.documents;
    const QString text = m_documents->item(row, column)->text().trimmed();
    if (column == 0) {
        bool ok = false;
        const int id = text.toInt(&ok);
        bool taken = false;
        for (int i = 0; i < documents.size(); ++i)
            taken = taken || (i != row && documents.at(i).id == id);
        if (!ok || id < 1 || taken) {
            errorreport::show(QStringLiteral("Номер документа — целое число больше нуля, "
                                             "не занятое другим документом."),
                              window());
            showBill();
            return;
        }
        // The references to the document follow its new number.
        const int old = documents.at(row).id;
        documents[row].id = id;
        QList<bom::Entry> entries = bill.entries;
        for (bom::Entry &entry : entries) {
            for (bom::Link &link : entry.links)
                link.documentId = link.documentId == old ? id : link.documentId;
            for (bom::Material &material : entry.materials) {
                for (bom::Link &link : material.links)
                    link.documentId = link.documentId == old ? id : link.documentId;
            }
        }
        m_book.setVor(QStringLiteral("номер документа"), bill.sections, documents, entries);
        return;
    }
    documents[row].fileName = text;
    m_book.setVor(QStringLiteral("файл документа"), bill.sections, documents, bill.entries);
}

void VorPanel::editEntryBasis()
{
    const QList<int> rows = m_selectedRows ? m_selectedRows() : QList<int>();
    if (rows.isEmpty()) {
        errorreport::show(QStringLiteral("Выберите запись, основание которой нужно указать."),
                          window());
        return;
    }
    const int row = rows.first();
    auto *dialog = new VorEntryDialog(m_book.bill(), row, this);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    const bom::Entry before = m_book.bill().entries.at(row);
    connect(dialog, &QDialog::accepted, this, [this, dialog, row, before] {
        // The entry is changed only if it is still the one the dialog was opened on.
        if (row < m_book.bill().entries.size() && m_book.bill().entries.at(row) == before)
            m_book.setEntry(row, dialog->entry(), QStringLiteral("основание записи"));
    });
    dialog->open();
}

void VorPanel::attachEntries(QTableView *entries, BillHeadForm *head)
{
    setSelectedEntries([entries] {
        QList<int> rows;
        for (const QModelIndex &index : entries->selectionModel()->selectedRows())
            rows.append(index.row());
        if (rows.isEmpty() && entries->currentIndex().isValid())
            rows.append(entries->currentIndex().row());
        std::sort(rows.begin(), rows.end());
        return rows;
    });
    connect(entries, &QAbstractItemView::doubleClicked, this, [this](const QModelIndex &index) {
        if (index.column() == EntriesModel::Basis)
            editEntryBasis();
    });
    connect(this, &VorPanel::gapFound, entries, [entries, head](const vorfile::Gap &gap) {
        using Place = vorfile::Gap::Place;
        if (gap.place == Place::Head) {
            head->focusField(gap.field);
            return;
        }
        if (gap.entry < 0)
            return;
        int column = EntriesModel::Basis;
        if (gap.material >= 0 && gap.place != Place::Links)
            column = EntriesModel::Materials;
        else if (gap.place == Place::Work)
            column = EntriesModel::Work;
        else if (gap.place == Place::Unit)
            column = EntriesModel::VolumeUnit;
        else if (gap.place == Place::Quantity)
            column = EntriesModel::Volume;
        else if (gap.place == Place::Formula)
            column = EntriesModel::Formula;
        const QModelIndex cell = entries->model()->index(gap.entry, column);
        entries->setCurrentIndex(cell);
        entries->scrollTo(cell);
        entries->setFocus();
    });
}

void VorPanel::selectGap(const vorfile::Gap &gap)
{
    emit revealRequested();
    if (gap.place == vorfile::Gap::Place::Head) {
        const std::pair<const char *, QWidget *> fields[] = {
            {"constructionSite", m_site},
            {"reason", m_reason},
            {"compiledPosition", m_compiledPosition},
            {"checkedPosition", m_checkedPosition}};
        for (const auto &[name, widget] : fields) {
            if (gap.field == QLatin1String(name)) {
                widget->setFocus();
                return;
            }
        }
    }
    if (gap.place == vorfile::Gap::Place::Documents) {
        m_documents->setFocus();
        if (m_documents->rowCount() > 0)
            m_documents->setCurrentCell(0, 1);
        return;
    }
    emit gapFound(gap);
}
