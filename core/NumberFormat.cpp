#include "core/NumberFormat.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace tv {

namespace {

std::string WithSeparator(std::string s, char separator) {
    if (separator != '.') std::replace(s.begin(), s.end(), '.', separator);
    return s;
}

} // namespace

std::string FormatExponent(double x, int precision, char separator) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.*E", std::clamp(precision, 1, 18) - 1, x);
    return WithSeparator(buf, separator);
}

std::string FormatFixed(double x, int precision, int decimals, char separator) {
    if (!std::isfinite(x)) return std::isnan(x) ? "NAN" : (x > 0 ? "INF" : "-INF");
    precision = std::clamp(precision, 1, 18);
    char buf[400];
    std::snprintf(buf, sizeof buf, "%.*e", precision - 1, x);
    const double rounded = std::strtod(buf, nullptr);
    const int exponent =
        rounded == 0 ? 0 : static_cast<int>(std::floor(std::log10(std::fabs(rounded))));
    if (exponent >= precision) return FormatExponent(x, precision, separator);
    std::snprintf(buf, sizeof buf, "%.*f", std::clamp(decimals, 0, 20), rounded);
    std::string s = buf;
    // No "-0.00".
    if (s[0] == '-' && s.find_first_not_of("-0.") == std::string::npos) s.erase(0, 1);
    return WithSeparator(s, separator);
}

char* FormatShortest(char* out, double x) {
    if (std::isnan(x)) {
        std::memcpy(out, "nan", 3);
        return out + 3;
    }
    return std::to_chars(out, out + ShortestTextSize, x).ptr;
}

std::string FormatShortest(double x) {
    char buf[ShortestTextSize];
    return std::string(buf, FormatShortest(buf, x));
}

std::string CsvField(const std::string& text) {
    if (text.find_first_of(",\"\r\n") == std::string::npos) return text;
    std::string quoted = "\"";
    for (char ch : text)
        quoted += ch == '"' ? std::string("\"\"") : std::string(1, ch);
    return quoted + '"';
}

std::vector<std::string> CsvFields(std::string_view line) {
    std::vector<std::string> fields(1);
    bool quoted = false;
    for (size_t i = 0; i < line.size(); ++i) {
        const char ch = line[i];
        if (quoted && ch == '"' && i + 1 < line.size() && line[i + 1] == '"') {
            fields.back() += '"';
            ++i;
        } else if (ch == '"') {
            quoted = !quoted;
        } else if (ch == ',' && !quoted) {
            fields.emplace_back();
        } else {
            fields.back() += ch;
        }
    }
    return fields;
}

} // namespace tv
