#pragma once

#include "norm.h"
#include "rownorms.h"

#include <QDialog>

#include <optional>

class NormHitsModel;
class QDialogButtonBox;
class QLabel;
class QLineEdit;
class QTreeView;
class QTreeWidget;
class SearchPause;

// The choice of the norm and the resource a row's rate comes from: search the base, see the
// norm's resources, and the rate they give per the row's unit of work, or why none.
class RowNormDialog : public QDialog
{
    Q_OBJECT

public:
    explicit RowNormDialog(const RowNormRequest &request);

    // Asks, and gives the choice unless the user cancels.
    static std::optional<RowChoice> choose(const RowNormRequest &request);
    std::optional<RowChoice> choice() const;

private:
    void search(const QString &text);
    void showNorm(qint64 id);
    void showRate();
    void showStatus(const QString &text);

    RowNormRequest m_request;
    std::optional<norms::Norm> m_norm;

    QLineEdit *m_search;
    SearchPause *m_pause;
    QLabel *m_status;
    NormHitsModel *m_hitsModel;
    QTreeView *m_hits;
    QTreeWidget *m_resources;
    QLabel *m_rate;
    QDialogButtonBox *m_buttons;
};
