#pragma once

#include <QString>

#include <xlsxwriter.h>

#include <functional>
#include <optional>

// A workbook written as the program's other files are: made in a scratch folder and put in place
// only once whole, so that a failure halfway never costs the previous file.
namespace xlsxbook {

// Makes the workbook with fill, titled title, and puts it at path. A failure is told as
// refused («Ведомость не выгружена в XLSX: ») and why.
std::optional<QString> write(const QString &path, const QString &refused, const char *title,
                             const std::function<lxw_error(lxw_workbook *)> &fill);

} // namespace xlsxbook
