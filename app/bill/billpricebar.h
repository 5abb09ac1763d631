#pragma once

#include <QWidget>

#include <optional>

class BillBook;
class BillReadings;
class QLineEdit;

// The prices' index to the catalogue's level of 01.01.2022 and «Цены из ФСБЦ», on the line of
// the sums. A text of the index that cannot be taken stays in its field, in the colours of a
// refused cell, with the reason in its tooltip; the bill keeps its index.
class BillPriceBar : public QWidget
{
    Q_OBJECT

public:
    BillPriceBar(BillBook &book, BillReadings &readings, QWidget *parent);
    ~BillPriceBar() override;

    // Takes an index typed and not yet left.
    void takePending();
    // «Цены из ФСБЦ».
    void fillCataloguePrices();

private:
    void showIndex();
    // Takes the index typed into its field; none when taken, otherwise the reason to show (empty
    // when the user declined a large one).
    std::optional<QString> takeIndex();

    BillBook &m_book;
    BillReadings &m_readings;
    QLineEdit *m_index;
    bool m_asking = false; // a question about the index is open
};
