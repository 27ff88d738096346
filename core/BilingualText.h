#pragma once

#include <initializer_list>
#include <string>
#include <string_view>

namespace tv {

// A text with every %1 … %9 replaced by the value of that number, so that a sentence with
// numbers or names in it stays one bilingual text ("…%1…##…%1…") instead of pieces.
inline std::string FillIn(std::string_view text, std::initializer_list<std::string_view> values) {
    std::string out;
    out.reserve(text.size() + 16);
    for (size_t k = 0; k < text.size(); ++k) {
        const char next = k + 1 < text.size() ? text[k + 1] : '\0';
        const size_t n = next >= '1' && next <= '9' ? size_t(next - '1') : values.size();
        if (text[k] == '%' && n < values.size()) {
            out += *(values.begin() + n);
            ++k;
        } else {
            out += text[k];
        }
    }
    return out;
}

inline std::string FillIn(std::string_view text, std::string_view value) {
    return FillIn(text, {value});
}

} // namespace tv
