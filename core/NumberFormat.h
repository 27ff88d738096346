#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tv {

// Fixed notation with `decimals` decimals after rounding to `precision` significant digits;
// a number with more integer digits than `precision` is written in exponent notation.
std::string FormatFixed(double x, int precision, int decimals, char separator = '.');
// Exponent notation with `precision` significant digits and a signed exponent of at least
// two digits ("1.23456789E+08").
std::string FormatExponent(double x, int precision, char separator = '.');

// The shortest text that reads back to the same double ("inf", "-inf"; every NaN is
// "nan"), written to `out`, which holds at least ShortestTextSize characters; returns the
// end. The form of every number the batch tool writes.
constexpr int ShortestTextSize = 32;
char* FormatShortest(char* out, double x);
std::string FormatShortest(double x);

// A CSV field: quoted when it holds a comma, a quote or a line break (symbols such as
// "Y,erw"), so that spreadsheet and CSV readers take it whole.
std::string CsvField(const std::string& text);
// The fields of one CSV line as written by CsvField: quoted fields may hold commas and
// doubled quotes; fields are not trimmed.
std::vector<std::string> CsvFields(std::string_view line);

} // namespace tv
