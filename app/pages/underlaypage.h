#pragma once

#include "variantformpage.h"

// Floor underlay layers: the volume of the layer and one of ten kinds give up to three of the
// twelve material rows. Choosing a kind logs it and wipes the shown results.
class UnderlayPage : public VariantFormPage
{
    Q_OBJECT

public:
    explicit UnderlayPage(Journal &journal, QWidget *parent = nullptr);

    void Button1Click();
    void Button2Click();
    void RadioGroup4Click(int index);

private:
    void wipeValues();
};
