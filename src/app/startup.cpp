// The window's load event: brings every field and control into its first state.
#include <filesystem>
#include <system_error>

#include "app/default_curve.h"
#include "app/form1korvane.h"
#include "curve/curve_file_io.h"

namespace gasecu {

namespace {

bool WritesDefaultCurve(const std::filesystem::path& dir) {
    std::error_code ec;
    return !dir.empty() && std::filesystem::is_directory(dir, ec) && WriteDefaultCurveFile(dir / "Cur_00.txt");
}

}  // namespace

// With nothing writable the tool still starts: writes fail quietly, reads still work.
std::filesystem::path WriteDefaultCurveAndChooseDataDirectory(const std::filesystem::path& programDirectory,
                                                              const std::filesystem::path& installedDataDirectory,
                                                              const std::filesystem::path& userDataDirectory) {
    const bool installed = !installedDataDirectory.empty();
    if (!installed && WritesDefaultCurve(programDirectory)) return programDirectory;
    std::error_code ec;
    if (!userDataDirectory.empty()) std::filesystem::create_directories(userDataDirectory, ec);
    if (WritesDefaultCurve(userDataDirectory)) return userDataDirectory;
    return programDirectory;
}

std::filesystem::path InstalledDataDirectoryFor(const std::filesystem::path& programDirectory) {
    if (programDirectory.filename() != "bin") return {};
    const std::filesystem::path shared = programDirectory.parent_path() / "share" / "gasecu";
    std::error_code ec;
    return std::filesystem::is_directory(shared, ec) ? shared : std::filesystem::path();
}

void Form1Korvane::Form_Load() {
    // 1, 3: files are addressed in the program directory (or its writable stand-in);
    // the default curve is rewritten there at every start. Its write is what tells
    // whether the directory can be written, so no probe file is needed.
    DataDirectory =
        WriteDefaultCurveAndChooseDataDirectory(env.programDirectory, env.installedDataDirectory, env.userDataDirectory);
    // 2
    CommonDialog1.initialDirectory = curve::Utf8FromPath(DataDirectory);

    // 4: fault clearing's moving step numbers.
    ClearWriteStep = 175;
    ClearPauseStep1 = 178;
    ClearPauseStep2 = 179;

    // 5: curve pictures; y grows upward in both.
    EğriKağıdıPic.setScale(0, 552, 617, 0);
    EğriPic.setScale(1, 559, 719, 1);

    // 6
    LinkUp = false;
    CurveFileOk = false;
    PetrolShown = false;
    CurveReadDone = false;
    AyarKırmızıImg.visible = false;
    CalibrationRunning = false;
    ButtonsLocked = false;
    SetupRestored = true;

    // 7: curve-editor pictures.
    imgeğmedisabled.visible = true;
    imgeğmeenabled.visible = false;
    TiltMode = false;
    IdleLocked = false;
    Rolantiyukarıdisabel.visible = true;
    Rolantiaşagıdisabel.visible = true;
    Rolantiyukarıenabel.visible = false;
    Rolantiaşagıenabel.visible = false;
    IdleLocked = true;

    // 8: read/write buttons wait for the curve screen and the link.
    ButonDisktenOku.visible = false;
    ButonDiskeYaz.visible = false;
    ButonEcuOku.visible = false;
    ButonEcuYaz.visible = false;
    ButonEğri.visible = true;
    ButonSetup.visible = true;
    ButonAyar.visible = true;

    // 9: gas type LPG.
    CoilChanged = 0;
    LPG.backColour = colours::kGreen;
    CNG.backColour = colours::kRed;
    Label3.foreColour = colours::kGreen;
    Label4.foreColour = colours::kRed;

    // 10: progress bars hidden, empty, with their maxima.
    struct BarSetup {
        ProgressBarControl& bar;
        double maximum;
    };
    for (auto [bar, maximum] : {BarSetup{ProgressBar7, 11}, BarSetup{ProgressBar11, 11}, BarSetup{ProgressBar8, 6},
                                BarSetup{ProgressBar9, 110}, BarSetup{ProgressBar10, 21}, BarSetup{ProgressBar12, 5}}) {
        bar.visible = false;
        bar.minimum = 0;
        bar.value = 0;
        bar.maximum = maximum;
    }

    // 11: calibration text boxes.
    ilk.text.clear();
    Ani.text.clear();
    Text1.text.clear();
    Sayac.text = "1";

    // 12, 13
    ApplyLanguage();
    BuildCommandFrames();
    FillAdvanceList();

    // 14: the banner.
    ShowMessage(std::string("gasecu ") + GASECU_VERSION + " - LPG/CNG EKÜ servis aracı",
                std::string("gasecu ") + GASECU_VERSION + " - LPG/CNG ECU service tool");

    // 15: timers.
    Timer1.setInterval(500);
    Timer2.setInterval(75);
    Timer3.setInterval(25);
    Timer4.setInterval(600);
    Timer5.setInterval(10);
    Timer1.setEnabled(true);
    Timer2.setEnabled(false);
    Timer3.setEnabled(true);
    Timer4.setEnabled(true);
    Timer5.setEnabled(false);

    // 16
    KalibrasyonBaşlatButon.enabled = true;
    KalibrasyonDurdurButon.enabled = false;

    // 17: the port is opened only by the connect button's scan.
    if (Iletisim && Iletisim->isOpen()) Iletisim->close();

    // 18: no band selected, band buttons grey.
    BandSelected.fill(0);
    for (ButtonControl* b : {&devir123456, &devir1000, &devir2000, &devir3000, &devir4000, &devir5000, &devir6000})
        b->backColour = colours::kGrey;
    BandButtonPhase.fill(0);

    // 19: the curve the window opens with has nothing to save and nothing to undo.
    StoredCurve = CurveTable;
    CurveUndo.reset(CurveTable);

    // 20: restore points, in the data directory chosen above.
    OpenRestorePoints();
}

}  // namespace gasecu
