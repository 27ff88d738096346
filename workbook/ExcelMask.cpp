#include "workbook/ExcelMask.h"

#include <cctype>

namespace tv {

bool ExcelMask::IsDateTime(std::string_view f) {
    size_t i = 0;
    while (i < f.size()) {
        char c = f[i];
        switch (c) {
        case '"': { // literal text
            size_t close = f.find('"', i + 1);
            i = close == std::string_view::npos ? f.size() : close + 1;
            continue;
        }
        case '\\': // escaped character
        case '_':  // space as wide as the next character
        case '*':  // fill with the next character
            i += 2;
            continue;
        case '[': { // colour, condition, locale, or elapsed time such as [h]
            size_t close = f.find(']', i + 1);
            if (close == std::string_view::npos) return false;
            std::string_view inner = f.substr(i + 1, close - i - 1);
            if (!inner.empty()) {
                char first = char(std::tolower(uint8_t(inner[0])));
                bool elapsed = first == 'h' || first == 'm' || first == 's';
                for (char k : inner)
                    if (std::tolower(uint8_t(k)) != first) elapsed = false;
                if (elapsed) return true;
            }
            i = close + 1;
            continue;
        }
        default:
            switch (std::tolower(uint8_t(c))) {
            case 'd':
            case 'm':
            case 'y':
            case 'h':
            case 's':
                return true;
            default:
                ++i;
            }
        }
    }
    return false;
}

} // namespace tv
