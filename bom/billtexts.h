#pragma once

#include "totals.h"

#include <QStringList>

// The bill's texts as the window, the CSV, the workbook and the printout show them, so that
// all four say the same.
namespace billtexts {

// How an entry's moment and the head's date are shown.
QString addedText(const QDateTime &added);
QString dateText(const QDate &date);

// The totals table. The columns are the same everywhere; the printout and the workbook put
// "№ п/п" before them.
enum TotalsColumn
{
    Material,
    Unit,
    Quantity,
    Reserve,
    WithReserve,
    ToBuy,
    PackSize,
    Packs,
    UnitPrice,
    PackPrice,
    Sum,
    TotalsColumnCount
};
QStringList totalsHeadings();
// What each heading means, for its tooltip.
QStringList totalsHeadingTips();
// Money with its thousands apart, as the window and the printout show it, or plain for a file
// that a spreadsheet reads.
enum class MoneyForm
{
    Grouped,
    Plain
};
QStringList totalsCells(const bom::Total &row, MoneyForm form = MoneyForm::Grouped);

// The resource code of a norm stands in a column of its own before the material's name, in every
// table that has a coded material; a bill of the pages' figures alone has no such column.
QString codeHeading();
QString codeHeadingTip();
bool hasCodes(const bom::Totals &totals);
bool hasCodes(const bom::Bill &bill);

// The hours of labour and of machines, a section of their own below the materials to buy.
QString hoursCaption();
enum HoursColumn
{
    HoursCode,
    HoursName,
    HoursUnit,
    HoursQuantity,
    HoursColumnCount
};
// With prices, a machine's price of a machine-hour and its sum follow the quantity, and where the
// price came from; a bill whose machines have no price shows the four columns alone.
bool hasMachinePrices(const bom::Totals &totals);
QStringList hoursHeadings(bool priced = false);
QStringList hoursCells(const bom::HoursTotal &row, bool priced = false,
                       MoneyForm form = MoneyForm::Grouped);
// "Машины, руб.: 1234,50".
QString machineMoneyText(const bom::Totals &totals, MoneyForm form = MoneyForm::Grouped);
// Whether the bill has machines: then its money is the materials' and the machines' together.
bool hasMachines(const bom::Totals &totals);
// "Всего по ведомости: 1 234,50 руб. (без цены: 2)": materials and machines, or why there is no
// sum.
QString billTotalText(const bom::Totals &totals, MoneyForm form = MoneyForm::Grouped);
// «Индекс к ценам 01.01.2022» and the bill's index, "9,12"; empty when it has none.
QString priceIndexCaption();
QString priceIndexText(const bom::Bill &bill);

// A price taken from the price catalogue says so: «ФСБЦ 01.01.2022 × 9,12»; empty for a price
// the user typed.
QString priceOriginText(const bom::Terms &terms);
QString priceOriginHeading();
bool hasPriceOrigins(const bom::Totals &totals);
// The pages' materials linked to a row's resource: «Бетон, м3», one a line.
QString linkedText(const bom::Total &row);
// "Затраты труда, чел.-ч: 37,5", "Затраты труда машинистов, чел.-ч: 0,5" (empty when no norm
// has machinists) and "Машины, маш.-ч: 2,1".
QString labourHoursText(const bom::Totals &totals);
QString machinistHoursText(const bom::Totals &totals);
QString machineHoursText(const bom::Totals &totals);
// Those of the three that say something, in that order.
QStringList hoursSumTexts(const bom::Totals &totals);

// "Итого: 1 234,50 руб. (без цены: 2)", or why there is no sum; with how many rows were left
// out for a quantity too large.
QString grandTotalText(const bom::Totals &totals, MoneyForm form = MoneyForm::Grouped);
// "не учтено, количество слишком велико: 1", empty when no row was left out.
QString tooLargeText(const bom::Totals &totals);
// "без нормы: 4", empty when every material has its rate; the names for its tooltip.
QString unratedText(const bom::Totals &totals);
QString unratedNames(const bom::Totals &totals);

// One material of an entry: "Раствор 3,2148 м3", after its code if it has one, with what it is
// when it is not simply bought ("объем работ", "состав", "в составе «…»", "труд", "машины").
QString materialText(const bom::Material &material);
// What a material is when it is not simply bought, empty when it is: «объем работ», «состав»,
// «в составе «…»», «труд», «машины».
QString kindText(const bom::Material &material);
QString materialsText(const bom::Entry &entry);
// "×12" for more than one work, empty for one.
QString countText(int count);

// The entries, one line per material, for the CSV; with "Код" before "Материал" when asked.
QStringList entriesHeadings(bool withCode = false);

// The head's captions and texts in order: Объект, Заказчик, Адрес, Составил, Проверил, Дата.
QStringList headCaptions();
QStringList headTexts(const bom::Head &head);

} // namespace billtexts
