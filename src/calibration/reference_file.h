#pragma once
// The factory reference curve "ORJ.DAT": the curve every calibration run starts
// from and rescales. It ships with the program and the tool never writes it.
#include <filesystem>
#include <optional>

#include "curve/curve_text.h"

namespace gasecu::calibration {

inline constexpr const char* kReferenceFileName = "ORJ.DAT";

// The reference file to read: the one named explicitly, else "ORJ.DAT" in the
// program directory, else the one an installed program ships in its data folder
// (<prefix>/share/gasecu), else the fitter's copy in the data directory; when none
// exists, the program directory's (which then reads as missing).
std::filesystem::path LocateReferenceFile(const std::filesystem::path& explicitFile,
                                          const std::filesystem::path& programDirectory,
                                          const std::filesystem::path& installedDataDirectory,
                                          const std::filesystem::path& dataDirectory);

struct ReferenceCurve {
    // Lines 1..8 read without fault; its end mark may still be wrong.
    std::optional<curve::ParsedCurve> curve;
    bool missing = false;            // the file could not be read at all
    curve::CurveTextError error;     // where reading stopped, when it did

    // Read whole, every number sound and the end mark in place.
    bool complete() const { return curve && curve->endMarkerValid; }
};

// Reads and checks the whole file before anything is taken over.
ReferenceCurve ReadReferenceCurve(const std::filesystem::path& path);

}  // namespace gasecu::calibration
