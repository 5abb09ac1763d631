#pragma once

#include "firmnormactions.h"
#include "normbrowse.h"
#include "normcompute.h"

#include <QHash>
#include <QWidget>

#include <optional>

class Journal;
class NormBase;
class NormHitsModel;
class NormTreeModel;
class PricePanel;
class SearchPause;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTabWidget;
class QTreeView;
class QTreeWidget;

// The window «Нормы»: find a norm by code or words or by a resource it uses, or browse the
// collections; see its
// resources, and for a firm norm how its rates differ from the federal norm it was made from;
// compute them for a volume of work, with a block in the journal; add the computation to the
// bill; make and change the firm's own norms.
class NormWindow : public QWidget
{
    Q_OBJECT

public:
    NormWindow(NormBase &base, Journal &journal, QWidget *parent = nullptr);
    ~NormWindow() override;

    // Shows a norm as if chosen in the list.
    void showNorm(qint64 id);
    // The computation shown, while the norm and the volume are as it had them.
    const std::optional<norms::NormComputation> &computation() const { return m_computation; }

    void compute();
    void addToBill();
    // What the last import loaded or the export wrote, said where the search tells what it
    // found.
    void showSummary(const QString &summary);
    FirmNormActions &firmActions() const { return *m_firm; }
    // The search with its text selected, to be typed over.
    void focusSearch();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

signals:
    void addToBillRequested(const norms::NormComputation &computation);
    void importRequested();
    void exportRequested();

private:
    // After an import or a refusal: the search again, the shown norm re-read; the tree reads
    // itself afresh.
    void reload();
    // After a firm norm changed: the search afresh, the norm shown (0: none).
    void showFirmChange(qint64 normId);
    void readShownNorm(qint64 id);
    void search(const QString &text);
    void showResources();
    void showStatus(const QString &text);
    void showFailure(const norms::sql::Failure &failure);
    QWidget *createDetails();

    NormBase &m_base;
    Journal &m_journal;
    std::optional<norms::Norm> m_norm;
    // The federal norm the shown firm norm was made from, when the base has it.
    std::optional<norms::Norm> m_federal;
    std::optional<norms::NormComputation> m_computation;
    // What the shown norm's references and its machines' machinists are, read with it.
    QString m_reasonsText;
    QHash<QString, QString> m_machinists;

    QLineEdit *m_search = nullptr;
    SearchPause *m_pause = nullptr;
    QComboBox *m_mode = nullptr; // by the norm's code and name, or by a resource it uses
    QLabel *m_status = nullptr;
    QLabel *m_prices = nullptr;
    QPushButton *m_import = nullptr;
    QPushButton *m_export = nullptr;
    FirmNormActions *m_firm = nullptr;
    QTabWidget *m_tabs = nullptr;
    NormHitsModel *m_hitsModel = nullptr;
    QTreeView *m_hits = nullptr;
    NormTreeModel *m_treeModel = nullptr;
    QTreeView *m_tree = nullptr;
    QLabel *m_code = nullptr;
    QLabel *m_name = nullptr;
    QLabel *m_measure = nullptr;
    QLabel *m_content = nullptr;
    QLabel *m_reasons = nullptr;
    QLabel *m_firmInfo = nullptr;
    QLabel *m_source = nullptr;
    QTreeWidget *m_resources = nullptr;
    PricePanel *m_pricePanel = nullptr;
    QLabel *m_volumeCaption = nullptr;
    QLineEdit *m_volume = nullptr;
    QPushButton *m_compute = nullptr;
    QPushButton *m_add = nullptr;
};
