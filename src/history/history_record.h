#pragma once
// One restore point: what an operation on the ECU or on a curve file left behind,
// kept so that a curve or a setting a fitter had is never lost and the workshop can
// see, months later, which car got which curve. Plain data, no database here.
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace gasecu::history {

enum class Kind {
    CurveRead,         // the curve read from the ECU
    EcuCurveBeforeWrite,  // the ECU's curve as last read, kept when a write starts
    CurveWrite,        // the curve written, with its check
    SettingsRead,      // the six settings pages read
    SettingWrite,      // one setting written and read back
    FactoryLoad,       // the factory settings loaded
    FaultClear,        // the fault records cleared
    Calibration,       // a calibration run's end, with its slope factor
    FileLoad,          // a curve file loaded into the editor
    FileSave,          // the editor's curve saved as a curve file
    Unknown,           // a kind this tool does not know (written by a newer tool); never written
};

// "curve-read", "curve-write", ...: what the commands print and take after --kind
// ("unknown" for Kind::Unknown, which AllKinds() leaves out).
std::string_view KindName(Kind kind);
std::optional<Kind> KindNamed(std::string_view name);
std::span<const Kind> AllKinds();
// The window's words for a kind.
std::string_view KindTurkish(Kind kind);
std::string_view KindEnglish(Kind kind);

struct Record {
    std::int64_t id = 0;   // given by the store
    std::string time;      // local date and time, "2026-12-09 23:01:02"
    std::string port;      // the device the ECU answered on ("" for a file)
    Kind kind = Kind::CurveRead;
    std::string result;    // "done", "equal", "differs", "incomplete", "converged", ...
    std::string label;     // the fitter's job label (plate, model), may be empty
    // The curve exactly as a curve file holds it (nine lines, CR LF); empty when
    // the operation concerned no curve.
    std::string curveText;
    // "coils=2\nswitch-rpm=850\n..." as the settings command prints them; empty
    // when the settings were not known (no settings read since the connect).
    std::string settings;
    std::optional<double> slopeFactor;  // calibration
    std::optional<int> iterations;      // calibration
    std::string detail;  // the file, the setting written, the first differing point
    // The record's identity in every laptop's history and on the workshop's server
    // (32 hex digits, given by the store when the record is written).
    std::string uid;
    std::string laptop;   // the laptop that made the record (given by the store when empty)
    bool pulled = false;  // made on another laptop and brought here by a sync: read-only
};

// Which records a listing wants; empty fields take every record.
struct Filter {
    std::string labelContains;
    std::optional<Kind> kind;
    std::string fromDate;  // "2026-12-01": records from this day on
    std::string toDate;    // "2026-12-09": records up to the end of this day
    int limit = 0;         // 0: all
    std::string laptop;    // only this laptop's records
};

}  // namespace gasecu::history
