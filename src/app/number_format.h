#pragma once
// Numbers shown to and typed by the fitter.
#include <string>

namespace gasecu {

// Fixed decimals, the given decimal separator, no digit grouping, rounding half
// away from zero as the screen does ("0.125" with two decimals shows 0.13).
// Independent of the process's C locale: the separator is the one given.
std::string FormatFixed(double value, int decimals, char decimalSeparator);

// Reads back a number that FormatFixed wrote or the user typed: optional sign,
// digits, at most one decimal mark, digits. Either ',' or '.' counts as the decimal
// mark, whatever the user's region: the fixed limit texts ("40,00") carry a comma,
// a fitter on a point-decimal machine types a point, and neither is ever a digit
// grouping mark on this screen. Blanks are ignored; anything unreadable gives 0.
// Never depends on the process's C locale.
double ParseDecimalNumber(const std::string& text);

// The settings entry parse: a leading number with an optional sign, digits, at most
// one decimal mark (a point or a comma: the boxes show the fitter's regional mark,
// so "1,20" must stay 1.2 and not become 1) and an optional exponent; blanks are
// ignored wherever they stand; parsing stops at the first other character; no
// number gives 0.
double ParseLeadingNumber(const std::string& text);

// Nearest whole number, halves to the even neighbour (0.5 -> 0, 1.5 -> 2).
double RoundHalfEven(double value);
// Nearest whole number, halves away from zero (0.5 -> 1, -0.5 -> -1).
double RoundHalfAway(double value);

}  // namespace gasecu
