#pragma once

#include "normdb.h"
#include "ratetables.h"

#include <QList>

// The editions of the overhead and profit tables the norm base keeps: each one loaded is kept
// with its rows, and the newest of a kind is the one in use; without any, the shipped one is.
namespace norms::rates {

// The edition in use.
Edition current(NormDatabase &database, Kind kind);

// Both tables in use: the shipped ones without a base.
struct Tables
{
    Edition overhead = shipped(Kind::Overhead);
    Edition profit = shipped(Kind::Profit);
};
Tables currentTables(NormDatabase *database);
// Keeps a loaded edition as the one in use, stamping it with the moment of loading.
void keep(NormDatabase &database, Edition edition);

} // namespace norms::rates
