#pragma once

#include "estimatetree.h"
#include "lsr.h"

#include <QWidget>

class EstimateBook;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QTableWidget;

// Beside the tree, what the estimator sets for the row chosen: a resource's typed price or
// index with its basis, the concrete resource of a «по проекту» line, and a position's overhead
// and profit reference and its coefficients. Each is one undo step of the estimate.
class EstimateEditor : public QWidget
{
    Q_OBJECT

public:
    EstimateEditor(EstimateBook &book, QWidget *parent = nullptr);

    void showPlace(const EstimateTree::Place &place);

private:
    QGroupBox *createPrice();
    QGroupBox *createDesign();
    QGroupBox *createPosition();
    const lsr::Position *position() const;
    const lsr::Line *line() const;
    void setPrice();
    void removePrice();
    void search();
    void setDesign();
    void setReference(int index);
    void addCoefficient();
    void removeCoefficient();
    void report(const std::optional<QString> &refusal);

    EstimateBook &m_book;
    EstimateTree::Place m_place;
    QLabel *m_nothing;
    QGroupBox *m_priceBox;
    QLabel *m_resource;
    QComboBox *m_priceKind;
    QLineEdit *m_priceValue;
    QLineEdit *m_priceBasis;
    QPushButton *m_removePrice;
    QGroupBox *m_designBox;
    QLineEdit *m_designQuery;
    QListWidget *m_designHits;
    QLineEdit *m_designQuantity;
    QGroupBox *m_positionBox;
    QComboBox *m_reference;
    QTableWidget *m_coefficients;
    QLineEdit *m_coefficientName;
    QLineEdit *m_coefficientReason;
    QComboBox *m_coefficientTarget;
    QLineEdit *m_coefficientValue;
};
