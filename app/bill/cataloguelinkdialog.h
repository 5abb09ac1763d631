#pragma once

#include "bill.h"
#include "cataloguelookup.h"

#include <QDialog>

class PriceCatalogue;
class QDialogButtonBox;
class QLabel;
class QLineEdit;
class QListWidget;

// «Связать с ресурсом ФСБЦ...»: a search of the price catalogue by the beginnings of words or by
// code, for a material of the pages. A resource whose unit the material's cannot become is
// refused with the reason, before the user can take it.
class CatalogueLinkDialog : public QDialog
{
    Q_OBJECT

public:
    CatalogueLinkDialog(const bom::MaterialKey &material, PriceCatalogue &catalogue,
                        QWidget *parent = nullptr);

    // The resource chosen; none until one that can be linked is.
    std::optional<norms::CatalogueResource> chosen() const;

private:
    void search();
    void choose();

    bom::MaterialKey m_material;
    PriceCatalogue &m_catalogue;
    QList<norms::CatalogueResource> m_found;
    QLineEdit *m_query;
    QListWidget *m_list;
    QLabel *m_problem;
    QDialogButtonBox *m_buttons;
};
