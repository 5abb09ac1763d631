#include "cataloguelinks.h"

#include "billbook.h"
#include "billreadings.h"
#include "cataloguelinkdialog.h"
#include "common/errorreport.h"
#include "pricecatalogue.h"

#include <QAction>
#include <QItemSelectionModel>
#include <QTableView>

CatalogueLinks::CatalogueLinks(BillBook &book, BillReadings &readings, QTableView *totals)
    : QObject(totals), m_book(book), m_readings(readings), m_totals(totals),
      m_link(new QAction(QStringLiteral("Связать с ресурсом ФСБЦ..."), totals)),
      m_unlink(new QAction(QStringLiteral("Отвязать"), totals))
{
    m_link->setObjectName(QStringLiteral("BillLinkResource"));
    connect(m_link, &QAction::triggered, this, &CatalogueLinks::linkCurrentMaterial);
    m_unlink->setObjectName(QStringLiteral("BillUnlinkResource"));
    connect(m_unlink, &QAction::triggered, this, &CatalogueLinks::unlinkCurrentMaterial);
    totals->addAction(m_link);
    totals->addAction(m_unlink);
    totals->setContextMenuPolicy(Qt::ActionsContextMenu);
    connect(totals->selectionModel(), &QItemSelectionModel::currentChanged, this,
            &CatalogueLinks::updateActions);
    connect(totals->model(), &QAbstractItemModel::modelReset, this, &CatalogueLinks::updateActions);
    updateActions();
}

void CatalogueLinks::linkCurrentMaterial()
{
    const QModelIndex current = m_totals->currentIndex();
    if (!current.isValid())
        return;
    const bom::Total row = m_book.totals().rows.at(current.row());
    if (row.key.hasCode()) {
        errorreport::show(QStringLiteral("У материала «%1» уже есть код ресурса %2")
                              .arg(row.key.name, row.key.code),
                          m_totals->window());
        return;
    }
    if (!m_readings.hasCatalogue()) {
        errorreport::show(QStringLiteral("Связать не с чем: в базе норм нет сметных цен. Загрузите "
                                         "«ФСБЦ_Мат&Оборуд.xml» («Действия» → «Загрузить базу "
                                         "норм...»)"),
                          m_totals->window());
        return;
    }
    auto *dialog = new CatalogueLinkDialog(row.key, *m_readings.catalogue(), m_totals->window());
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    connect(dialog, &QDialog::accepted, this, [this, dialog, key = row.key] {
        if (const std::optional<norms::CatalogueResource> resource = dialog->chosen()) {
            if (const std::optional<bom::Refusal> refusal = m_book.link(key, *resource))
                errorreport::show(refusal->reason, m_totals->window());
        }
    });
    dialog->open();
}

void CatalogueLinks::unlinkCurrentMaterial()
{
    const QModelIndex current = m_totals->currentIndex();
    if (current.isValid())
        m_book.unlink(m_book.totals().rows.at(current.row()).linked);
}

void CatalogueLinks::updateActions()
{
    const QModelIndex current = m_totals->currentIndex();
    const bool valid = current.isValid() && current.row() < m_book.totals().rows.size();
    m_link->setEnabled(valid && !m_book.totals().rows.at(current.row()).key.hasCode());
    m_unlink->setEnabled(valid && !m_book.totals().rows.at(current.row()).linked.isEmpty());
}
