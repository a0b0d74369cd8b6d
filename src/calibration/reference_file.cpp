// LoadReferenceFile: the run rescales the factory curve, not whatever curve the
// fitter last had on screen, so the reference is copied into CurveTable when the
// run starts and again at every start step.
#include "calibration/reference_file.h"

#include <system_error>

#include "app/form1korvane.h"
#include "curve/curve_file_io.h"

namespace gasecu {

namespace calibration {

std::filesystem::path LocateReferenceFile(const std::filesystem::path& explicitFile,
                                          const std::filesystem::path& programDirectory,
                                          const std::filesystem::path& installedDataDirectory,
                                          const std::filesystem::path& dataDirectory) {
    if (!explicitFile.empty()) return explicitFile;
    std::filesystem::path beside = programDirectory / kReferenceFileName;
    // Beside the program (a build or an unpacked folder), then where an installed
    // program keeps what ships with it, then the fitter's own copy.
    for (const std::filesystem::path& dir : {programDirectory, installedDataDirectory, dataDirectory}) {
        if (dir.empty()) continue;
        std::error_code ec;
        if (std::filesystem::exists(dir / kReferenceFileName, ec)) return dir / kReferenceFileName;
    }
    return beside;
}

ReferenceCurve ReadReferenceCurve(const std::filesystem::path& path) {
    ReferenceCurve result;
    const curve::CurveFileRead read = curve::ReadCurveFile(path);
    if (!read.text) {
        result.missing = true;
        result.error = {0, read.english, read.turkish};
        return result;
    }
    result.curve = curve::ParseCurveText(*read.text, &result.error);
    return result;
}

}  // namespace calibration

std::filesystem::path Form1Korvane::ReferenceFilePath() const {
    return calibration::LocateReferenceFile(ReferenceFileChoice, env.programDirectory, env.installedDataDirectory,
                                            DataDirectory);
}

void Form1Korvane::LoadReferenceFile() {
    CurveFileOk = false;
    ReferenceFileOk = false;
    const calibration::ReferenceCurve reference = calibration::ReadReferenceCurve(ReferenceFilePath());
    // A file that is missing or stops half way is refused whole: a curve with some
    // rows from the factory and some from the screen would be rescaled and could be
    // written to the ECU. The run then works on the curve on screen, and the fitter
    // is told (the run's own messages repeat it).
    if (reference.curve) {
        // Lines 1..8 sound: taken over even with a wrong end mark, as a curve file is.
        reference.curve->applyTo(CurveTable);
        CurveFileOk = reference.curve->endMarkerValid;
        ReferenceFileOk = CurveFileOk;
    }
    if (ReferenceFileOk)
        ShowMessage("ORJ.DAT YÜKLENDİ !", "ORJ.DAT INSTALL !");
    else
        ShowMessage("ORJ.DAT YÜKLENEMEDİ ! ", "ORJ.DAT ERROR WHILE INSTALLATION ! ");
}

}  // namespace gasecu
