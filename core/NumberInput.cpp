#include "core/NumberInput.h"

#include "core/UserHost.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>
#include <string>

namespace tv {

namespace {

std::string_view Trimmed(std::string_view s) {
    const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
    while (!s.empty() && blank(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && blank(s.back()))
        s.remove_suffix(1);
    return s;
}

} // namespace

std::optional<double> ReadNumber(std::string_view text) {
    std::string s(Trimmed(text));
    std::replace(s.begin(), s.end(), ',', '.');
    // from_chars takes no plus sign; a second sign after it is still refused.
    if (!s.empty() && s[0] == '+') {
        s.erase(0, 1);
        if (!s.empty() && (s[0] == '-' || s[0] == '+')) return std::nullopt;
    }
    if (s.empty()) return std::nullopt;
    double x = 0;
    const char* last = s.data() + s.size();
    const auto [end, ec] = std::from_chars(s.data(), last, x);
    if (end != last || ec == std::errc::invalid_argument) return std::nullopt;
    if (std::isnan(x)) return std::nullopt;
    if (ec == std::errc::result_out_of_range) {
        // Too large or too small: where the first significant digit stands, moved by the
        // exponent, tells which ("0.000...1" and "1000...0e-100" count as written).
        const size_t e = std::min(s.find_first_of("eE"), s.size());
        const size_t point = std::min(s.find('.'), e);
        const size_t first = s.find_first_of("123456789");
        double order = first < point ? double(point - first) : double(point) - double(first) + 1;
        if (e < s.size()) {
            const char* from = s.data() + e + 1 + (s[e + 1] == '+');
            double exponent = 0;
            // An exponent too long for a double outweighs any digits before it.
            if (std::from_chars(from, last, exponent).ec == std::errc::result_out_of_range)
                exponent = (*from == '-' ? -1 : 1) * std::numeric_limits<double>::infinity();
            order += exponent;
        }
        const double sign = s[0] == '-' ? -1.0 : 1.0;
        return order <= 0 ? 0.0 * sign : sign * std::numeric_limits<double>::infinity();
    }
    return x;
}

double ReadCellEntry(std::string_view text) {
    if (Trimmed(text).empty()) return 0;
    return ReadNumber(text).value_or(std::numeric_limits<double>::quiet_NaN());
}

std::optional<int> ReadWholeNumber(std::string_view text, int low, int high) {
    const std::optional<double> x = ReadNumber(text);
    if (!x || std::trunc(*x) != *x) return std::nullopt; // an infinity clamps like any bound
    return static_cast<int>(std::clamp<double>(*x, low, high));
}

bool MayBecomeNumber(std::string_view text) {
    return std::all_of(text.begin(), text.end(), [](char c) {
        return (c >= '0' && c <= '9') || c == '.' || c == ',' || c == '+' || c == '-' || c == 'e' ||
               c == 'E' || c == ' ';
    });
}

void RefuseNotANumber(UserHost& host) {
    host.PlaySound("SoNicht.wav");
    host.ShowMessage("So nicht!##Not possible!",
                     "Die Eingabe ist keine Zahl.##The entry is not a number.");
}

} // namespace tv
