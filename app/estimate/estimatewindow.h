#pragma once

#include "estimatetree.h"
#include "lsr.h"

#include <QPointer>
#include <QWidget>

#include <functional>

class EstimateBook;
class EstimateEditor;
class EstimateHead;
class EstimateTotals;
class QGroupBox;
class QLabel;
class QListWidget;
class QTabWidget;

// The local estimate (ЛСР) of the bill in a window of its own: the head, the positions by
// section with their resources, overhead, profit and totals, the gaps that keep it from
// expertise, and what the estimator sets, each an undo step of the bill. Opened on a «.gge» it
// only shows.
class EstimateWindow : public QWidget
{
    Q_OBJECT

public:
    enum class FileChoice
    {
        Gge,
        Pdf,
        Xlsx,
        OpenGge,
    };
    // The path the user chose, empty when cancelled. Tests answer through this.
    using PathChooser = std::function<QString(FileChoice)>;

    explicit EstimateWindow(EstimateBook &book, QWidget *parent = nullptr);
    // An estimate read from a file, shown and not changed.
    EstimateWindow(const lsr::Estimate &estimate, const QString &path, QWidget *parent = nullptr);

    void setPathChooser(PathChooser chooser) { m_choosePath = std::move(chooser); }
    const lsr::Estimate &estimate() const;

    void exportGge();
    void print();
    void exportPdf();
    void exportXlsx();
    void openGge();
    // The window of the «.gge» opened last, while it is open.
    EstimateWindow *openedWindow() const { return m_opened; }
    // Makes the place of a gap current: its row in the tree, or its field of the head.
    void showGap(int index);
    void showPlaceOf(const lsr::Gap &gap);

private:
    void build();
    QWidget *createButtons();
    void showEstimate();
    void showPlace();
    QString pathFor(FileChoice choice, const char *suffix);

    EstimateBook *m_book = nullptr;
    lsr::Estimate m_read; // an estimate opened from a file
    QString m_path;
    PathChooser m_choosePath;
    QLabel *m_summary = nullptr;
    QLabel *m_failure = nullptr;
    QTabWidget *m_tabs = nullptr;
    EstimateHead *m_head = nullptr;
    EstimateTree *m_tree = nullptr;
    EstimateEditor *m_editor = nullptr;
    EstimateTotals *m_totals = nullptr;
    QListWidget *m_gaps = nullptr;
    QGroupBox *m_gapsBox = nullptr;
    QPointer<EstimateWindow> m_opened;
};
