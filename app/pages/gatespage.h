#pragma once

#include "variantformpage.h"

// Wooden gates: the gate area in hundreds of square metres and one of eight kinds of work give
// seven materials.
class GatesPage : public VariantFormPage
{
    Q_OBJECT

public:
    explicit GatesPage(Journal &journal, QWidget *parent = nullptr);

    void Button5Click();
    void Button6Click();
    void RadioGroup6Click(int index);
};
