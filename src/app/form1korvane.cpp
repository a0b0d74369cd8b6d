#include "app/form1korvane.h"

#include "history/restore_points.h"
#include "history/record_queue.h"
#include "link/remembered_port.h"
#include "platform/recording_canvas.h"

namespace gasecu {

Form1Korvane::Form1Korvane(FormEnvironment environment) : env(std::move(environment)) {
    Iletisim = env.port;
    ScanOrder = link::ScanOrderStartingAt(0);
    // The plot draws into a record until the window puts its painter canvas in place.
    EğriPic.canvas = std::make_shared<RecordingCanvas>();
    TrendPic.canvas = std::make_shared<RecordingCanvas>();
    wireControls();
    ApplyDesignTimeProperties();
}

Form1Korvane::~Form1Korvane() {
    // However the window goes, a recording keeps its rows under the final name.
    FinishLiveLog();
    // The port outlives the form in every runner; make sure it no longer calls back.
    if (Iletisim) {
        Iletisim->setEventHandler(nullptr);
        Iletisim->setDeviceLostHandler(nullptr);
    }
}

void Form1Korvane::wireControls() {
    for (int k = 0; k < 19; ++k) {
        CheckÜ[k].setClickRule([this, k] { CheckÜ_Click(k); });
        CheckA[k].setClickRule([this, k] { CheckA_Click(k); });
    }
    CheckEkuEğrisi.setClickRule([this] { CheckEkuEğrisi_Click(); });
    Timer1.setTickHandler([this] {
        SequencerTick();
        ReportWrittenRestorePoints();
    });
    Timer2.setTickHandler([this] { CurveEditTick(); });
    Timer3.setTickHandler([this] { CurveRedraw(); });
    Timer4.setTickHandler([this] { CalibrationTick(); });
    Timer5.setTickHandler([this] { CurveRepeatPoller(); });
    if (Iletisim) {
        Iletisim->setEventHandler([this](int kind) { Iletisim_OnComm(kind); });
        Iletisim->setDeviceLostHandler([this] { Iletisim_DeviceLost(); });
    }
}

void Form1Korvane::ShowMessage(std::string_view turkish, std::string_view english) {
    ShownTurkish = turkish;
    ShownEnglish = english;
    if (LanguageIndex == 0) SetStatusText(std::string(turkish));
    if (LanguageIndex == 1) SetStatusText(std::string(english));
}

void Form1Korvane::SetStatusText(std::string text) {
    // A handler that writes the text already shown (each tick of a wait) is no news.
    if (text != KomutSatırı.text) Messages.record(clock().localNow(), text);
    KomutSatırı.text = std::move(text);
}

}  // namespace gasecu

#include "app/number_format.h"

namespace gasecu {

std::string Form1Korvane::FormatNumber(double value, int decimals) const {
    return FormatFixed(value, decimals, env.decimalSeparator);
}

double Form1Korvane::ParseDisplayedNumber(const std::string& text) const {
    return ParseDecimalNumber(text);
}

}  // namespace gasecu
