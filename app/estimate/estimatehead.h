#pragma once

#include "lsr.h"

#include <QWidget>

class EstimateBook;
class QComboBox;
class QLabel;
class QLineEdit;
class QTableWidget;

// The estimate's head: its number, name and basis, the price list and territory, the price level
// the list gives, who made and checked it (the bill's), and the acts it is made under.
class EstimateHead : public QWidget
{
    Q_OBJECT

public:
    // Without a book the head only shows: an estimate opened from a file.
    EstimateHead(EstimateBook *book, QWidget *parent = nullptr);

    void show(const lsr::Head &head);
    // Brings the field a gap of the head names into sight.
    void focusField(const QString &field);

private:
    QWidget *createLegal();
    void takeTexts();
    void takeTerritory(int index);
    void takeList(int index);
    void takeLegal();
    void addAct();
    void removeAct();
    void fillLists(const bom::PriceListRef &chosen);
    void report(const std::optional<QString> &refusal);
    // Shows the terms again in place of what was refused.
    void restore();

    EstimateBook *m_book;
    QLineEdit *m_number;
    QLineEdit *m_name;
    QLineEdit *m_reason;
    QLineEdit *m_salaryAct;
    QComboBox *m_list;
    QComboBox *m_territory;
    QLabel *m_region;
    QLabel *m_level;
    QLabel *m_composer;
    QLabel *m_verifier;
    QTableWidget *m_legal = nullptr;
    lsr::Head m_head;
    bool m_showing = false;
};
