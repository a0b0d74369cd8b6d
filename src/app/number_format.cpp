#include "app/number_format.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <optional>
#include <system_error>

namespace gasecu {

double RoundHalfEven(double value) {
    double floor = std::floor(value);
    double diff = value - floor;
    if (diff > 0.5) return floor + 1;
    if (diff < 0.5) return floor;
    return std::fmod(floor, 2.0) == 0 ? floor : floor + 1;
}

double RoundHalfAway(double value) { return std::round(value); }

std::string FormatFixed(double value, int decimals, char decimalSeparator) {
    if (!std::isfinite(value)) value = 0;
    decimals = std::clamp(decimals, 0, 9);
    double scale = std::pow(10.0, decimals);
    // Round in decimal first so 0.125 shows 0.13 rather than the binary 0.12.
    double scaled = RoundHalfAway(value * scale + (value >= 0 ? 1e-9 : -1e-9));
    if (scaled == 0) scaled = 0.0;  // never "-0.00"
    // to_chars never looks at the C locale, which a Qt program sets from the
    // user's region at start (a Turkish machine would print "2,50" for the point).
    char buffer[400];
    auto [end, error] = std::to_chars(buffer, buffer + sizeof buffer, scaled / scale, std::chars_format::fixed, decimals);
    if (error != std::errc{}) return "0";
    std::string text(buffer, end);
    if (decimalSeparator != '.') {
        auto point = text.find('.');
        if (point != std::string::npos) text[point] = decimalSeparator;
    }
    return text;
}

namespace {

// A plain decimal in the C notation ("-12.5"), whole text, without the locale.
std::optional<double> ReadPlainDecimal(const std::string& text) {
    const char* first = text.data();
    const char* last = first + text.size();
    if (first != last && *first == '+') {
        ++first;  // from_chars takes no plus sign
        if (first != last && *first == '-') return std::nullopt;
    }
    double v = 0;
    auto [end, error] = std::from_chars(first, last, v, std::chars_format::fixed);
    if (error != std::errc{} || end != last || !std::isfinite(v)) return std::nullopt;
    return v;
}

}  // namespace

double ParseDecimalNumber(const std::string& text) {
    std::string cleaned;
    bool mark = false;
    for (char c : text) {
        if (c == ' ') continue;
        if (c == ',' || c == '.') {
            if (mark) return 0;  // two marks: not a number this screen wrote
            mark = true;
            cleaned += '.';
        } else {
            cleaned += c;
        }
    }
    return ReadPlainDecimal(cleaned).value_or(0);
}

double ParseLeadingNumber(const std::string& text) {
    std::string s;
    for (char c : text)
        if (c != ' ' && c != '\t') s += c;
    std::size_t i = 0;
    std::string number;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) number += s[i++];
    bool digits = false, point = false;
    while (i < s.size()) {
        char c = s[i];
        if (std::isdigit(static_cast<unsigned char>(c))) {
            number += c;
            digits = true;
        } else if ((c == '.' || c == ',') && !point) {
            number += '.';
            point = true;
        } else {
            break;
        }
        ++i;
    }
    if (!digits) return 0;
    if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
        std::string exponent = "e";
        std::size_t j = i + 1;
        if (j < s.size() && (s[j] == '+' || s[j] == '-')) exponent += s[j++];
        bool expDigits = false;
        while (j < s.size() && std::isdigit(static_cast<unsigned char>(s[j]))) {
            exponent += s[j++];
            expDigits = true;
        }
        if (expDigits) number += exponent;
    }
    if (number.front() == '+') number.erase(0, 1);  // from_chars takes no plus sign
    double v = 0;
    auto [end, error] = std::from_chars(number.data(), number.data() + number.size(), v);
    if (error != std::errc{} || !std::isfinite(v)) return 0;
    // The parsed value carries four decimals.
    return RoundHalfEven(v * 10000.0) / 10000.0;
}

}  // namespace gasecu
