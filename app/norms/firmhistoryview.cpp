#include "firmhistoryview.h"

#include "common/codecolumn.h"
#include "normcompute.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QSplitter>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

enum VersionColumn
{
    NumberColumn,
    SavedColumn,
    LoginColumn,
    ChangesColumn,
};

constexpr int kNumberRole = Qt::UserRole + 1;

} // namespace

FirmHistoryView::FirmHistoryView(const QString &code, QWidget *parent)
    : QDialog(parent), m_versions(new QTreeWidget(this)), m_source(new QLabel(this)),
      m_resources(new QTreeWidget(this)),
      m_restore(new QPushButton(QStringLiteral("&Восстановить эту версию"), this))
{
    setObjectName(QStringLiteral("FirmHistoryView"));
    setWindowTitle(QStringLiteral("История фирменной нормы %1").arg(code));
    m_versions->setObjectName(QStringLiteral("FirmVersions"));
    m_versions->setHeaderLabels({QStringLiteral("Версия"), QStringLiteral("Сохранена"),
                                 QStringLiteral("Пользователь"), QStringLiteral("Что изменено")});
    m_versions->setRootIsDecorated(false);
    m_versions->setUniformRowHeights(true);
    m_versions->header()->setStretchLastSection(true);
    m_versions->setColumnWidth(NumberColumn, 60);
    m_versions->setColumnWidth(SavedColumn, 125);
    m_versions->setColumnWidth(LoginColumn, 150);
    m_source->setObjectName(QStringLiteral("FirmVersionSource"));
    m_source->setWordWrap(true);
    m_source->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_resources->setObjectName(QStringLiteral("FirmVersionResources"));
    m_resources->setHeaderLabels({QStringLiteral("Код"), QStringLiteral("Наименование"),
                                  QStringLiteral("Ед. изм."), QStringLiteral("Норма")});
    m_resources->setRootIsDecorated(false);
    m_resources->header()->setStretchLastSection(false);
    m_resources->header()->setSectionResizeMode(1, QHeaderView::Stretch);
    m_resources->setColumnWidth(0, codecolumn::width(m_resources, codecolumn::kResourceSample));
    m_resources->setColumnWidth(2, 70);
    m_resources->setColumnWidth(3, 90);
    m_restore->setObjectName(QStringLiteral("FirmRestore"));
    m_restore->setAutoDefault(false);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    buttons->button(QDialogButtonBox::Close)->setText(QStringLiteral("&Закрыть"));
    buttons->addButton(m_restore, QDialogButtonBox::ActionRole);

    auto *chosen = new QWidget(this);
    auto *chosenLayout = new QVBoxLayout(chosen);
    chosenLayout->setContentsMargins(0, 0, 0, 0);
    chosenLayout->addWidget(m_source);
    chosenLayout->addWidget(m_resources, 1);
    auto *splitter = new QSplitter(Qt::Vertical, this);
    splitter->addWidget(m_versions);
    splitter->addWidget(chosen);
    splitter->setChildrenCollapsible(false);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(splitter, 1);
    layout->addWidget(buttons);
    resize(760, 520);

    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(m_versions, &QTreeWidget::currentItemChanged, this, &FirmHistoryView::showVersion);
    connect(m_restore, &QPushButton::clicked, this, [this] {
        if (const QTreeWidgetItem *item = m_versions->currentItem())
            emit restoreRequested(item->data(NumberColumn, kNumberRole).toInt());
    });
}

void FirmHistoryView::setHistory(const QList<norms::firm::Version> &history)
{
    m_history = history;
    m_versions->clear();
    for (auto version = history.crbegin(); version != history.crend(); ++version) {
        auto *item = new QTreeWidgetItem(m_versions, {QString::number(version->number),
                                                      version->savedAt.toLocalTime().toString(
                                                          QStringLiteral("dd.MM.yyyy hh:mm")),
                                                      version->login, version->changes});
        item->setData(NumberColumn, kNumberRole, version->number);
        item->setToolTip(ChangesColumn, version->changes);
    }
    m_versions->setCurrentItem(m_versions->topLevelItem(0));
    showVersion();
}

void FirmHistoryView::showVersion()
{
    m_resources->clear();
    const QTreeWidgetItem *item = m_versions->currentItem();
    const int number = item ? item->data(NumberColumn, kNumberRole).toInt() : 0;
    const auto version = std::find_if(m_history.cbegin(), m_history.cend(),
                                      [number](const auto &kept) { return kept.number == number; });
    // The newest version is the norm as it is; restoring it would change nothing.
    m_restore->setEnabled(version != m_history.cend() && number != m_history.back().number);
    if (version == m_history.cend()) {
        m_source->clear();
        return;
    }
    const norms::firm::Draft &draft = version->draft;
    m_source->setText(
        QStringLiteral("Версия %1: %2, измеритель %3. Источник: %4")
            .arg(QString::number(version->number), draft.code, draft.measure, draft.source));
    for (const norms::NormResource &resource : draft.resources) {
        auto *line = new QTreeWidgetItem(m_resources, {resource.code, resource.name, resource.unit,
                                                       norms::rateText(resource.rate)});
        line->setTextAlignment(3, Qt::AlignRight | Qt::AlignVCenter);
        line->setToolTip(1, resource.name);
    }
}
