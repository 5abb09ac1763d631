#pragma once

#include "pricelist.h"

#include <QString>
#include <QWidget>

class NormBase;
class QComboBox;
class QLabel;

// In «Нормы», under the resources: the region's price list chosen among those loaded
// (remembered in the settings) and the current price in it of the resource at hand.
class PricePanel : public QWidget
{
    Q_OBJECT

public:
    PricePanel(NormBase &base, QWidget *parent = nullptr);

    // The lists afresh, after an import; the one remembered chosen.
    void reload();
    // The resource whose price to show; an empty code for none.
    void showResource(const QString &code);

    // Makes the list the one chosen, here and when the window is next made.
    static void remember(const norms::PriceListTitle &title);

private:
    void choose();
    void showPrice();

    NormBase &m_base;
    QComboBox *m_list = nullptr;
    QLabel *m_price = nullptr;
    QString m_code;
};
