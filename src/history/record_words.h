#pragma once
// A restore point in the fitter's words: the stored result and detail names
// ("converged", "row 3 point 5", "switch-rpm=850") and the settings lines, in
// Turkish or English, numbers with the fitter's decimal mark. The store keeps the
// machine names (the commands print them); the window shows these.
#include <optional>
#include <string>
#include <vector>

#include "history/history_record.h"

namespace gasecu::history {

// "converged" -> "yakınsadı" / "converged"; a name not known is shown as stored.
std::string ResultWords(const std::string& result, bool english);

// The record's detail: the band and point a write found different, the setting
// written with its caption, value and unit; a file name as it is.
std::string DetailWords(Kind kind, const std::string& detail, bool english, char decimalSeparator);

// One setting of a record's settings text: its caption and the value as shown.
struct SettingLine {
    std::string name;     // the machine name ("switch-rpm")
    std::string caption;  // "GEÇİŞ DEVRİ" / "TRANSITION SPEED"
    std::string value;    // "1200 rpm", "0,80 bar"
};
// The "name=value" lines of a settings text, each in the fitter's words; an
// unknown name keeps its line as the caption.
std::vector<SettingLine> SettingsWords(const std::string& settings, bool english, char decimalSeparator);

// An error of the history store ("opening the history: disk I/O error") in the
// fitter's language; the parts not known stay as the store wrote them.
std::string StoreErrorWords(const std::string& error, bool english);

}  // namespace gasecu::history
