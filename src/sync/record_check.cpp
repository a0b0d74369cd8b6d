// The checks a record from the server passes before it is kept.
#include "sync/record_check.h"

#include <algorithm>
#include <cmath>

#include "curve/curve_text.h"

namespace gasecu::sync {

namespace {

// Length of the valid UTF-8 sequence at text[i], 0 when there is none.
std::size_t SequenceAt(std::string_view text, std::size_t i) {
    const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(text[k]); };
    const unsigned char lead = byte(i);
    if (lead < 0x80) return 1;
    std::size_t length;
    unsigned char low = 0x80, high = 0xBF;  // the second byte's range
    if (lead >= 0xC2 && lead <= 0xDF) length = 2;
    else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        if (lead == 0xE0) low = 0xA0;   // no overlong forms
        if (lead == 0xED) high = 0x9F;  // no surrogates
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        if (lead == 0xF0) low = 0x90;
        if (lead == 0xF4) high = 0x8F;  // nothing past U+10FFFF
    } else {
        return 0;
    }
    if (i + length > text.size()) return 0;
    if (byte(i + 1) < low || byte(i + 1) > high) return 0;
    for (std::size_t k = 2; k < length; ++k)
        if (byte(i + k) < 0x80 || byte(i + k) > 0xBF) return 0;
    return length;
}

bool HasControl(std::string_view text) {
    for (char c : text)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) return true;
    return false;
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// "2026-12-09 23:01:02"
bool IsRecordTime(std::string_view t) {
    if (t.size() != 19) return false;
    for (std::size_t i = 0; i < t.size(); ++i) {
        const char expected = i == 4 || i == 7 ? '-' : i == 10 ? ' ' : i == 13 || i == 16 ? ':' : '0';
        if (expected == '0' ? !IsDigit(t[i]) : t[i] != expected) return false;
    }
    return true;
}

bool IsUid(std::string_view uid) {
    if (uid.size() != 32) return false;
    for (char c : uid)
        if (!IsDigit(c) && !(c >= 'a' && c <= 'f')) return false;
    return true;
}

// "coils=2\nswitch-rpm=850\n...": at most a page of short name=value lines.
bool IsSettingsText(std::string_view s) {
    if (s.size() > 2048) return false;
    std::size_t start = 0;
    while (start < s.size()) {
        const std::size_t end = s.find('\n', start);
        const std::string_view line = s.substr(start, end == std::string_view::npos ? s.npos : end - start);
        const std::size_t equals = line.find('=');
        if (equals == std::string_view::npos || equals == 0 || HasControl(line)) return false;
        if (end == std::string_view::npos) break;
        start = end + 1;
    }
    return true;
}

}  // namespace

bool IsValidUtf8(std::string_view text) {
    for (std::size_t i = 0; i < text.size();) {
        const std::size_t n = SequenceAt(text, i);
        if (n == 0) return false;
        i += n;
    }
    return true;
}

std::string AsValidUtf8(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        const std::size_t n = SequenceAt(text, i);
        if (n == 0) {
            out += "\xEF\xBF\xBD";
            ++i;
        } else {
            out.append(text.substr(i, n));
            i += n;
        }
    }
    return out;
}

std::string Printable(std::string_view text, std::size_t most) {
    std::string out = AsValidUtf8(text.substr(0, most));
    for (char& c : out)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) c = '?';
    return out;
}

std::string RefusalOf(const history::Record& r, std::string_view kindName) {
    for (const std::string* field : {&r.uid, &r.laptop, &r.time, &r.port, &r.result, &r.label, &r.curveText,
                                     &r.settings, &r.detail})
        if (!IsValidUtf8(*field)) return "text that is not UTF-8";
    if (!IsUid(r.uid)) return "no valid identity";
    if (r.laptop.empty() || r.laptop.size() > 64 || HasControl(r.laptop)) return "no valid laptop name";
    // Only the kinds this tool writes: a name it merely reads back is no kind here.
    const auto kind = history::KindNamed(kindName);
    const auto known = history::AllKinds();
    if (!kind || std::find(known.begin(), known.end(), *kind) == known.end())
        return "a kind this version does not know (" + Printable(kindName) + ")";
    if (!IsRecordTime(r.time)) return "no valid time";
    for (const std::string* line : {&r.port, &r.result, &r.label, &r.detail})
        if (line->size() > 1024 || HasControl(*line)) return "a line too long or with control characters";
    if (!r.settings.empty() && !IsSettingsText(r.settings)) return "settings that are not the settings' form";
    if (r.curveText.size() > 4096) return "a curve larger than any curve file";
    if (!r.curveText.empty()) {
        curve::CurveTextError error;
        const auto parsed = curve::ParseCurveText(r.curveText, &error);
        if (!parsed) return "a curve that fails the curve file's checks (line " + std::to_string(error.line) + ": " +
                            error.reason + ")";
    }
    if (r.slopeFactor && !std::isfinite(*r.slopeFactor)) return "a slope factor that is not a number";
    if (r.iterations && *r.iterations < 0) return "a negative iteration count";
    return {};
}

}  // namespace gasecu::sync
