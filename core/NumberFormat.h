#pragma once

#include <string>

namespace tv {

// Fixed notation with `decimals` decimals after rounding to `precision` significant digits;
// a number with more integer digits than `precision` is written in exponent notation.
std::string FormatFixed(double x, int precision, int decimals, char separator = '.');
// Exponent notation with `precision` significant digits and a signed exponent of at least
// two digits ("1.23456789E+08").
std::string FormatExponent(double x, int precision, char separator = '.');

} // namespace tv
