#include "app/number_format.h"

#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>

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
    double scale = std::pow(10.0, decimals);
    // Round in decimal first so 0.125 shows 0.13 rather than printf's binary 0.12.
    double scaled = RoundHalfAway(value * scale + (value >= 0 ? 1e-9 : -1e-9));
    if (scaled == 0) scaled = 0.0;  // never "-0.00"
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.*f", decimals, scaled / scale);
    std::string text = buffer;
    if (decimalSeparator != '.') {
        auto point = text.find('.');
        if (point != std::string::npos) text[point] = decimalSeparator;
    }
    return text;
}

double ParseLocaleNumber(const std::string& text, char decimalSeparator) {
    std::string cleaned;
    for (char c : text) {
        if (c == ' ') continue;
        if (c == decimalSeparator) cleaned += '.';
        else if (c == '.' && decimalSeparator != '.') return 0;  // a grouping mark: not ours
        else cleaned += c;
    }
    if (cleaned.empty()) return 0;
    char* end = nullptr;
    double v = std::strtod(cleaned.c_str(), &end);
    if (end == cleaned.c_str() || *end != '\0' || !std::isfinite(v)) return 0;
    return v;
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
    double v = std::strtod(number.c_str(), nullptr);
    if (!std::isfinite(v)) return 0;
    // The parsed value carries four decimals.
    return RoundHalfEven(v * 10000.0) / 10000.0;
}

}  // namespace gasecu
