#pragma once

#include <QtGlobal>

#include <algorithm>

namespace norms {

// How much of `whole` an import has come, from its status: the bytes are all read a while before
// the import has written and committed them, so only its end is told as the whole way.
template <typename Status> int progressShare(const Status &status, int whole)
{
    if (status.finished)
        return whole;
    if (status.bytesTotal <= 0)
        return 0;
    return int(std::min<qint64>(status.bytesRead * whole / status.bytesTotal, whole - 1));
}

} // namespace norms
