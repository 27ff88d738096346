#pragma once

#include <string_view>

namespace tv {

// Reads number-format texts ("dd.mm.yyyy", "#,##0.00", "[h]:mm") the way a cell mask is
// read, far enough to tell date and time formats from the others.
class ExcelMask {
  public:
    // True when the format shows a value as a date, a time or both.
    static bool IsDateTime(std::string_view format);
};

} // namespace tv
