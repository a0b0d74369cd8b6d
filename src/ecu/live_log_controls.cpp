// The record button of the fixed area and what it writes: one CSV row per live
// reply, the file and the row count in the status line. The file is written under
// a temporary name and renamed when the recording ends, so a crash or a pulled
// plug leaves the rows written so far, and a full disk ends the recording with a
// message instead of a silent gap.
#include <string>

#include "app/form1korvane.h"
#include "curve/curve_file_io.h"

namespace gasecu {

namespace {

std::string NameOf(const std::filesystem::path& path) { return curve::Utf8FromPath(path.filename()); }
std::string Utf8(const std::filesystem::path& path) { return curve::Utf8FromPath(path); }

}  // namespace

ecu::LiveSample Form1Korvane::CurrentLiveSample(double timeMs) const {
    ecu::LiveSample s;
    s.timeMs = timeMs;
    s.engineSpeed = EngineSpeed;
    s.gasPressure = GasPressure;
    s.reducerTemperature = ReducerTemperature;
    s.gasTemperature = GasTemperature;
    s.petrolTime = PetrolTime;
    s.gasTime = GasTime;
    s.fuelStatus = ReplyText.size() >= 2 ? ReplyText[1] : -1;
    return s;
}

void Form1Korvane::NoteLiveSample() {
    const double now = clock().steadyMs();
    LiveTrend.add({now, EngineSpeed, GasPressure, PetrolTime, GasTime});
    // Drawing a hidden window would cost the tick for nothing.
    if (TrendPic.visible) DrawTrend();
    if (LiveLog) RecordLiveSample(now);
}

void Form1Korvane::ShowRecordButton() {
    const bool recording = LiveLog != nullptr;
    if (LanguageIndex == 0) ButonKayıt.caption = recording ? "Kaydı Durdur" : "Kaydı Başlat";
    if (LanguageIndex == 1) ButonKayıt.caption = recording ? "Stop Recording" : "Start Recording";
    ButonKayıt.backColour = recording ? colours::kRed : colours::kButtonFace;
}

void Form1Korvane::ButonKayıt_Click() {
    if (LiveLog) {
        const LiveLogOutcome outcome = FinishLiveLog();
        ShowMessage(outcome.turkish, outcome.english);
    } else {
        StartLiveLog();
    }
    ShowRecordButton();
}

void Form1Korvane::StartLiveLog() {
    const LineFileOpener& open = env.openLineFile ? env.openLineFile : LineFileOpener(OpenLineFile);
    LiveLog = ecu::LiveLogFile::Create(DataDirectory, clock().localNow(), open);
    if (!LiveLog) {
        ShowMessage("KAYIT DOSYASI AÇILAMIYOR : " + Utf8(DataDirectory), "CANNOT CREATE LOG FILE : " + Utf8(DataDirectory));
        return;
    }
    LiveLogStartMs = clock().steadyMs();
    const std::string name = NameOf(LiveLog->finalPath());
    ShowMessage("KAYIT : " + name + "  0 SATIR", "RECORDING : " + name + "  0 ROWS");
    LiveLogStatusShown = KomutSatırı.text;
}

void Form1Korvane::RecordLiveSample(double nowMs) {
    if (!LiveLog) return;
    const std::string name = NameOf(LiveLog->finalPath());
    if (!LiveLog->append(clock().localNow(), CurrentLiveSample(nowMs - LiveLogStartMs))) {
        // Disk full or folder gone: the recording ends here, the rows written so
        // far keep the final name, and the fitter is told.
        const long rows = LiveLog->rows();
        const std::filesystem::path finalPath = LiveLog->finalPath();
        const std::filesystem::path temporary = LiveLog->temporaryPath();
        const bool kept = LiveLog->finish();
        LiveLog.reset();
        const std::string count = std::to_string(rows);
        if (kept)
            ShowMessage("KAYIT DURDU, DOSYAYA YAZILAMIYOR : " + Utf8(finalPath) + "  " + count + " SATIR KORUNDU",
                        "RECORDING STOPPED, CANNOT WRITE FILE : " + Utf8(finalPath) + "  " + count + " ROWS KEPT");
        else
            ShowMessage("KAYIT DURDU, DOSYAYA YAZILAMIYOR : " + Utf8(temporary),
                        "RECORDING STOPPED, CANNOT WRITE FILE : " + Utf8(temporary));
        LiveLogStatusShown.clear();
        ShowRecordButton();
        return;
    }
    // The count replaces only the log's own status text or a screen's title: a
    // message of an exchange or a refusal stays until the fitter has seen it (the
    // next screen switch writes its title and the count comes back).
    if (KomutSatırı.text.empty() || KomutSatırı.text == LiveLogStatusShown || StatusShowsOnlyAScreenTitle()) {
        const std::string count = std::to_string(LiveLog->rows());
        ShowMessage("KAYIT : " + name + "  " + count + " SATIR", "RECORDING : " + name + "  " + count + " ROWS");
        LiveLogStatusShown = KomutSatırı.text;
    }
}

Form1Korvane::LiveLogOutcome Form1Korvane::FinishLiveLog() {
    if (!LiveLog) return {};
    const long rows = LiveLog->rows();
    const std::filesystem::path finalPath = LiveLog->finalPath();
    const std::filesystem::path temporary = LiveLog->temporaryPath();
    const bool kept = LiveLog->finish();
    LiveLog.reset();
    LiveLogStatusShown.clear();
    ShowRecordButton();
    const std::string count = std::to_string(rows);
    if (kept) return {"KAYIT KAPANDI : " + Utf8(finalPath) + "  " + count + " SATIR",
                      "LOG SAVED : " + Utf8(finalPath) + "  " + count + " ROWS"};
    std::error_code ec;
    if (std::filesystem::exists(temporary, ec))
        return {"KAYIT GEÇİCİ ADIYLA KALDI : " + Utf8(temporary) + "  " + count + " SATIR",
                "LOG LEFT UNDER ITS TEMPORARY NAME : " + Utf8(temporary) + "  " + count + " ROWS"};
    return {"KAYIT DOSYASI KAYBOLDU : " + Utf8(finalPath), "LOG FILE IS GONE : " + Utf8(finalPath)};
}

}  // namespace gasecu
