#include "lsr.h"

#include <cmath>

namespace lsr {

double roundMoney(double value)
{
    return std::round(value * 100) / 100;
}

double roundQuantity(double value)
{
    return std::round(value * 1e7) / 1e7;
}

void Summary::add(const Position &position)
{
    workers += position.workers;
    machines += position.machines;
    machinists += position.machinists;
    materials += position.materials;
    overhead += position.overhead ? position.overhead->amount : 0;
    profit += position.profit ? position.profit->amount : 0;
    direct += position.direct;
    labourHours += position.labourHours;
    machinistHours += position.machinistHours;
    price += position.total;
    any = true;
}

void Summary::add(const Summary &other)
{
    workers += other.workers;
    machines += other.machines;
    machinists += other.machinists;
    materials += other.materials;
    overhead += other.overhead;
    profit += other.profit;
    direct += other.direct;
    labourHours += other.labourHours;
    machinistHours += other.machinistHours;
    price += other.price;
    any = any || other.any;
}

} // namespace lsr
