// The end of a calibration run: the pressure and temperatures of the run written
// to the ECU as its reference values, the end step with the report of how the run
// ended (converged, or which fault stopped it), and the stop the fitter asked for.
#include <string>

#include "app/form1korvane.h"
#include "calibration/calibration_math.h"
#include "calibration/calibration_run_steps.h"
#include "calibration/calibration_steps.h"
#include "link/command_frames.h"

namespace gasecu::calibration {

namespace {

// Reference values: the addresses the ECU keeps them at.
constexpr double kPressureAddress = 44;
constexpr double kReducerTemperatureAddress = 45;
constexpr double kGasTemperatureAddress = 46;

// A reference value that does not fit its byte is not sent (the ECU would keep a
// wrapped, wrong value); the end message names it.
void WriteReference(Form1Korvane& f, double address, double value, const std::string& turkish,
                    const std::string& english) {
    if (auto frame = frames::SettingWrite(address, value)) {
        f.SendFrame(*frame);
        return;
    }
    auto append = [](std::string& list, const std::string& item) { list += (list.empty() ? "" : ", ") + item; };
    append(f.UnsentReferenceTurkish, turkish);
    append(f.UnsentReferenceEnglish, english);
}

}  // namespace

int WritePressure(Form1Korvane& f, int, int next) {
    const double bar = f.ParseDisplayedNumber(f.TextBasinc.text);
    const std::string shown = f.FormatNumber(bar, 2) + " bar";
    WriteReference(f, kPressureAddress, PressureValue(bar), "BASINÇ= " + shown, "Pressure= " + shown);
    return next;
}

int WriteReducerTemperature(Form1Korvane& f, int, int next) {
    const double celsius = f.ParseDisplayedNumber(f.TextReduTemperature.text);
    const std::string shown = f.FormatNumber(celsius, 1);
    WriteReference(f, kReducerTemperatureAddress, TemperatureCode(celsius), "REDUCER SICAKLIĞI= " + shown,
                   "REDUCER TEMPERATURE= " + shown);
    return next;
}

int WriteGasTemperature(Form1Korvane& f, int, int next) {
    const double celsius = f.ParseDisplayedNumber(f.TextGasTemperature.text);
    const std::string shown = f.FormatNumber(celsius, 1);
    WriteReference(f, kGasTemperatureAddress, TemperatureCode(celsius), "GAZ SICAKLIĞI= " + shown,
                   "GAS TEMPERATURE= " + shown);
    return next;
}

int End(Form1Korvane& f, int, int) {
    f.ButtonsLocked = false;
    f.AyarKırmızıImg.visible = true;
    if (f.LinkGuard()) f.SendFrame(frames::kCalibrationEndCommand);
    f.SequencerState = kIdleStep;
    f.KalibrasyonBaşlatButon.enabled = true;
    f.KalibrasyonBaşlatButon.visible = true;
    f.KalibrasyonDurdurButon.enabled = false;
    f.KalibrasyonDurdurButon.visible = false;
    f.CalibrationRunning = false;
    f.ButonEğri.enabled = true;
    f.ButonAyar.enabled = false;
    f.AyarKırmızıImg.visible = false;
    f.ShowMessage("KALİBRASYON BİTTİ.", "CALIBRATION ENDED.");
    f.Kalibrasyonyükleme.visible = true;
    f.Kalibrasyonyükleme.enabled = true;
    // Nothing worth writing came of a run that lost the engine or could not take
    // its ratio.
    if (f.SpeedFault || f.InjectionTimeFault) f.Kalibrasyonyükleme.visible = false;

    if (f.SpeedFault)
        f.ShowMessage(" DEVİR HATASI KALİBRASYON DURDURULDU ! DEVİR= " + f.FormatNumber(f.EngineSpeed, 0) +
                          " devir/dakika ! ( < 2000 d/d )",
                      " DUE TO RPM ERROR CALIBRATION STOPPED ! rpm= " + f.FormatNumber(f.EngineSpeed, 0) +
                          " rpm ! ( < 2000 d/d )");
    if (f.PressureFault)
        f.ShowMessage(" BASINC HATASI KALİBRASYON DURDURULDU ! BASINÇ= " + f.FormatNumber(f.GasPressure, 2) +
                          " bar !  ( < 0.8 bar )",
                      " PRESSURE ERROR CALIBRATON STOPPED ! Pressure= " + f.FormatNumber(f.GasPressure, 2) +
                          " bar !  ( < 0.8 bar )");
    if (f.TemperatureFault)
        f.ShowMessage("REGULATÖR ISI HATASI KALİBRASYON DURDURULDU ! REDUCER SICAKLIĞI= " +
                          f.FormatNumber(f.ReducerTemperature, 1) + " Santigrat derece ! ( < 30 Santigrat )",
                      "REDUCER TEMPERATURE ERROR CALIBRATON STOPPED ! REDUCER TEMPERATURE= " +
                          f.FormatNumber(f.ReducerTemperature, 1) + " Celcius ! ( < 30 Celcius )");
    if (f.InjectionTimeFault)
        f.ShowMessage(" ENJEKSİYON SÜRESİ 0 ms ! KALİBRASYON DURDURULDU ! BENZİN= " + f.FormatNumber(f.PetrolTime, 2) +
                          " ms GAZ= " + f.FormatNumber(f.GasTime, 2) + " ms",
                      " INJECTION TIME 0 ms ! CALIBRATION STOPPED ! Petrol= " + f.FormatNumber(f.PetrolTime, 2) +
                          " ms Gas= " + f.FormatNumber(f.GasTime, 2) + " ms");
    // An eleventh iteration that did find the two times together is a success.
    if (f.IterationCount > kMostIterations && !f.CalibrationConverged)
        f.ShowMessage("ENJEKTÖR MEMESİ KÜCÜK !", "INJECTOR NOZZLE SMALL !");
    if (!f.UnsentReferenceTurkish.empty())
        f.ShowMessage(f.KomutSatırı.text + " ECU'YE YAZILAMAYAN REFERANS: " + f.UnsentReferenceTurkish + " !",
                      f.KomutSatırı.text + " REFERENCE NOT WRITTEN TO ECU: " + f.UnsentReferenceEnglish + " !");
    f.NoteCalibrationEnd();
    return kStateSet;
}

int Stop(Form1Korvane& f, int, int) {
    f.ButtonsLocked = false;
    f.AyarKırmızıImg.visible = true;
    if (f.LinkGuard()) {
        f.SendFrame(frames::kWriteStartCommand);
        ShowPetrolDisplay(f);
    }
    f.PetrolShown = true;
    f.ButonAyar.enabled = false;
    f.SequencerState = kIdleStep;
    // A run the link ended keeps the failure in the status line: the fitter did
    // not stop it.
    if (!f.CalibrationCutShort) f.ShowMessage("KALIBRASYON DURDURULDU ! ", "CALIBRATON STOPPED ! ");
    f.CalibrationCutShort = false;
    return kStateSet;
}

}  // namespace gasecu::calibration
