#pragma once
// Form1Korvane: the tool's one window, toolkit-neutral. Every piece of run-time
// state is a field here, shared by the handlers; the handlers are defined in the
// folder of the subsystem that owns them (app/, link/, ecu/, curve/, calibration/).
// The Qt window (window/) and the service commands (cli/) feed events in; the
// window mirrors the controls out.
//
// The declaration is grouped by what the fitter sees: the window as a whole, the
// fixed area, the link under it all, then the settings, curve and calibration
// screens and the restore points; each group names the folders its handlers live in.
//
// Field and control names are the ones the fitters' window uses.
#include <array>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/controls.h"
#include "app/status_history.h"
#include "calibration/calibration_progress.h"
#include "curve/arrow_keys.h"
#include "curve/curve_history.h"
#include "ecu/live_log.h"
#include "ecu/live_sample.h"
#include "ecu/live_trend.h"
#include "ecu/setting_rules.h"
#include "history/history_record.h"
#include "link/curve_blocks.h"
#include "platform/bytes.h"
#include "platform/clock.h"
#include "platform/file_dialogs.h"
#include "platform/line_file.h"
#include "platform/questions.h"
#include "platform/serial_port.h"

namespace gasecu {

namespace history {
class RestorePoints;
class RecordQueue;
}

// The port where the ECU last answered, kept in "SonPort" in the data directory:
// the next scan probes it first, then the others in their usual order.
enum class PortMemory {
    ProbeFirstAndKeep,  // the fitter's PC: the scan starts where the ECU was last time
    KeepOnly,           // ports named on the command line: their order holds, the find is kept
    Off,                // the virtual ECU: its ports are not the PC's, nothing is read or kept
};

// The folder of the files that ship with an installed program: "<prefix>/share/gasecu"
// for a program in "<prefix>/bin", when that folder exists; "" for a program run
// from its build or unpacked folder.
std::filesystem::path InstalledDataDirectoryFor(const std::filesystem::path& programDirectory);

// The directory that takes every file the tool writes, the history among them:
// the program directory when the default curve "Cur_00.txt" can be written there
// (never for an installed program), else the per-user data directory. Writes the
// default curve into it, as every start of the window or a command does, so that
// the choice is the same one for all of them.
std::filesystem::path WriteDefaultCurveAndChooseDataDirectory(const std::filesystem::path& programDirectory,
                                                              const std::filesystem::path& installedDataDirectory,
                                                              const std::filesystem::path& userDataDirectory);

// What the window is given by whoever builds it.
struct FormEnvironment {
    // The program's own directory: "Dilsecim", "Cur_00.txt" and "ORJ.DAT" live here.
    std::filesystem::path programDirectory;
    // Takes the program directory's place for the files the tool writes when the
    // program directory is not writable (an installed program).
    std::filesystem::path userDataDirectory;
    SerialPort* port = nullptr;          // Iletisim; not owned
    FileDialogs* fileDialogs = nullptr;  // CommonDialog1's dialogs; not owned
    char decimalSeparator = '.';         // the user's regional decimal separator
    Questions* questions = nullptr;      // questions to the fitter; not owned
    PortMemory portMemory = PortMemory::ProbeFirstAndKeep;
    // Set for a program installed under a prefix (<prefix>/bin beside
    // <prefix>/share/gasecu, see InstalledDataDirectoryFor): the files that ship
    // with it ("ORJ.DAT"). The program directory is then a system folder that the
    // tool never writes into, even when the account could (root).
    std::filesystem::path installedDataDirectory{};
    // Time stamps of the data log and the trend; null: the PC's clocks. Not owned.
    Clock* clock = nullptr;
    // Creates the data log's file; empty: a file on disk.
    LineFileOpener openLineFile = {};
    // A curve with unsaved changes asks Save/Discard/Cancel before it is replaced
    // or dropped. The service commands turn this off: they never ask.
    bool askBeforeDroppingCurve = true;
    // Where restore points go; null: the history database in the data directory
    // when keepHistory is set, else nowhere. Not owned.
    history::RestorePoints* restorePoints = nullptr;
    bool keepHistory = false;
    // The job label given on the command line; unset: the last label is offered.
    std::optional<std::string> jobLabel{};
};

class Form1Korvane {
public:
    explicit Form1Korvane(FormEnvironment environment);
    Form1Korvane(const Form1Korvane&) = delete;
    Form1Korvane& operator=(const Form1Korvane&) = delete;
    ~Form1Korvane();

    FormEnvironment env;

    // ======================================================================
    // The window as a whole: shared state, start-up, languages, status line,
    // the three screens, the timers, the exit (app/)
    // ======================================================================
    double SequencerState = 0;
    bool LinkUp = false;
    double LanguageIndex = 0;
    bool CalibrationRunning = false;
    std::int16_t CalibrationNextStep = 0;
    bool PetrolShown = false;
    bool ButtonsLocked = false;
    bool CurveFileOk = false;
    CurveRows CurveTable{};
    double ClearWriteStep = 0, ClearPauseStep1 = 0, ClearPauseStep2 = 0;
    bool CurveReadDone = false;
    bool SetupRestored = false;
    bool TiltMode = false;
    bool IdleLocked = false;
    std::array<std::uint8_t, 6> BandSelected{};
    std::array<std::uint8_t, 7> BandButtonPhase{};
    std::uint8_t CoilChanged = 0;

    // The directory actually used for the files the tool writes ("Dilsecim",
    // "Cur_00.txt"): the program directory, or the user data directory when the
    // program directory is not writable. Chosen by the load handler.
    std::filesystem::path DataDirectory;
    // Set by the exit button: the runner ends the program.
    bool ExitRequested = false;
    std::function<void()> onExit;

    // Status line
    TextBoxControl KomutSatırı;  // status line
    // Every text the status line showed this session, with its time.
    StatusHistory Messages;

    // The three screens
    // The three screens
    PictureBoxControl EğriKağıdıPic, SettingsSettingsPic, KalibrasyonPic;

    // Timers: 1 sequencer (500 ms), 2 curve edit (75 ms), 3 curve redraw (25 ms),
    // 4 calibration (600 ms), 5 hold-repeat poller (10 ms).
    TimerControl Timer1{500}, Timer2{75}, Timer3{25}, Timer4{600}, Timer5{10};

    // Captions, ranges and visibility the window has before its load event (called
    // by the constructor).
    void ApplyDesignTimeProperties();
    // The window's load event: the start-up sequence.
    void Form_Load();
    void ApplyLanguage();
    // Sets the list entry, the marker picture and every caption for LanguageIndex.
    void ApplyLanguageIndex();
    void Dilsec_Click();
    // Writes the Turkish or the English text into the status line by LanguageIndex
    // (two separate tests: any other value writes neither).
    void ShowMessage(std::string_view turkish, std::string_view english);
    // The last text ShowMessage wrote, in both languages: a change of language
    // shows it in the new one while it is still in the status line.
    std::string ShownTurkish, ShownEnglish;
    // Puts a text in the status line and notes it in Messages at the clock's time.
    void SetStatusText(std::string text);
    // Asks the fitter a Yes/No question in the language of LanguageIndex (English
    // for 1, Turkish otherwise) with "Evet"/"Hayır" or "Yes"/"No" buttons. True
    // only for Yes; without anyone to ask (no Questions given) the answer is No.
    bool AskYesNo(std::string_view turkish, std::string_view english);
    // As AskYesNo; the question goes away, answered No, once stillApplies is false
    // (the thing it asks about ended on its own).
    bool AskYesNoWhile(std::string_view turkish, std::string_view english, std::function<bool()> stillApplies);
    // Asks Save/Discard/Cancel in the language of LanguageIndex. Without anyone to
    // ask (no Questions given) the answer is Discard, as before there was a question.
    SaveChoice AskSaveDiscardCancel(std::string_view turkish, std::string_view english);
    // Whether the window may close now: a curve with unsaved changes asks
    // Save/Discard/Cancel, and while the ECU is connected the fitter is asked too.
    bool MayCloseWindow();
    // Number on screen: fixed decimals, the user's decimal separator, no grouping.
    std::string FormatNumber(double value, int decimals) const;
    // A number read back from a text box: ',' or '.' as the decimal mark.
    double ParseDisplayedNumber(const std::string& text) const;

    void ButonEğri_Click();
    void ButonSetup_Click();
    void ButonAyar_Click();
    // The status line holds nothing but the title a screen button wrote.
    bool StatusShowsOnlyAScreenTitle() const;

    // The exit button: asks about a curve with unsaved changes, then EndProgram.
    void ExitButon_Click();
    // Stops all timers, closes the port and ends the program at once.
    void EndProgram();

    // ======================================================================
    // Fixed area: connect, language, screen and file buttons, live values,
    // fuel switch, data log, trend (ecu/)
    // ======================================================================
    ButtonControl LPG, CNG;
    LabelControl Label3, Label4;
    ComboBoxControl Dilsec;
    ButtonControl ComOpenButon, ExitButon;
    ButtonControl ButonEğri, ButonSetup, ButonAyar;
    ButtonControl ButonDisktenOku, ButonDiskeYaz, ButonEcuOku, ButonEcuYaz;
    TextBoxControl TextBasinc, TextReduTemperature, TextGasTemperature, TextGasMS, TextBenzinMS,
        TextMotorDevirHızı;
    LabelControl LabelDevir, LabelBar, LabelRegulator, LabelEnjektor, LabelGms, LabelPms;
    LabelControl Label26, Label27;  // degree marks
    // Live-value captions and bars: element 0 in the fixed area, element 1 on the curve screen.
    std::array<LabelControl, 2> Label7, Label8, Label9, Label10, Label11, Label12;
    std::array<ProgressBarControl, 2> ProgressBar1, ProgressBar2, ProgressBar3, ProgressBar4,
        ProgressBar5, ProgressBar6;
    PictureBoxControl BenzinPic, LPGPic;  // clickable fuel switch pictures
    ButtonControl ButonKayıt;  // data log: start / stop recording
    ButtonControl ButonTrend;  // opens and closes the trend window
    ImageControl ImgBenzin, ImgGaz, ImgGazGeçiş;
    ProgressBarControl ProgressBar7, ProgressBar8, ProgressBar9, ProgressBar10, ProgressBar11;
    ImageControl AyarKırmızıImg;  // red calibration marker; picture 1 Turkish, 2 English
    FileDialogControl CommonDialog1;

    // Trend window: its own top-level window, shown while TrendPic is visible.
    PictureBoxControl TrendPic;

    Bytes ReplyText;
    double ReplyLength = 0;
    double RpmFactor = 0;
    double AdvanceTime = 0;
    double EngineSpeed = 0, GasPressure = 0, ReducerTemperature = 0, GasTemperature = 0,
           PetrolTime = 0, GasTime = 0;
    double DisplayedPetrolTime = 0;

    // The fuel pictures follow the FuelStatus byte of every reply.
    void ShowFuelStatus(int fuelStatus);
    // Shows the live values just decoded into the fields, then re-enables the
    // controls the read and write sequences disabled.
    void ShowLiveValues(int petrolRaw, int gasRaw);
    void ReenableAfterLiveReply();
    // The values of the live reply just decoded, as the data log and the live
    // command write them.
    ecu::LiveSample CurrentLiveSample(double timeMs) const;
    // Every live reply once decoded: the trend takes it, the data log writes it.
    void NoteLiveSample();
    Clock& clock() const { return env.clock ? *env.clock : SystemClock(); }
    void BenzinPic_Click();
    void LPGPic_Click();

    // Data log: the record button writes one CSV row per live reply into a file
    // in DataDirectory until it is pressed again, the link is lost or the window
    // closes (ecu/live_log_controls.cpp).
    std::unique_ptr<ecu::LiveLogFile> LiveLog;
    double LiveLogStartMs = 0;       // steady clock at the start: time_ms counts from here
    std::string LiveLogStatusShown;  // the status text the log wrote last
    void ButonKayıt_Click();
    void StartLiveLog();
    // Ends the recording and gives its file the final name; the outcome for the
    // status line (empty when nothing was recording).
    struct LiveLogOutcome {
        std::string turkish, english;
    };
    LiveLogOutcome FinishLiveLog();
    void RecordLiveSample(double nowMs);
    // The record button's caption and colour for the language and the recording.
    void ShowRecordButton();

    // Trend: the last minute of the engine in its own window (ecu/trend_plot.cpp).
    ecu::LiveTrend LiveTrend;
    void ButonTrend_Click();
    // The trend window was closed by its own close box.
    void TrendPic_Close();
    void DrawTrend();

    // ======================================================================
    // The ECU link: port scan, frames, sequencer, replies, link watch,
    // what each exchange came to (link/, ecu/)
    // ======================================================================
    SerialPort* Iletisim = nullptr;
    std::int16_t ScanPort = 0;
    // The scan's order of port numbers (the remembered port first, then the rest
    // in their usual order, each once) and how many of them have been probed.
    std::array<std::int16_t, 15> ScanOrder{};
    int ScanPosition = 0;
    // The device kept in "SonPort" when the scan started ("" for none).
    std::string RememberedPortDevice;
    // The device the scan opened, named when it was opened: by the time a loss is
    // reported the adapter is gone and the list of devices has changed.
    std::string LinkDeviceName;
    // Prepared frames (BuildCommandFrames); index 0 unused so entries are 1-based.
    Bytes LiveDataRequest;
    std::array<Bytes, 7> PageRequestFrames;
    std::array<Bytes, 8> CurveBlockRequestFrames;
    std::uint8_t CrcLow = 0, CrcHigh = 0;
    CurveRows CurveReadBuffer{};
    std::int16_t CurveBlockIndex = 2;
    // Band or header replies asked for again in the current read (shown only when
    // not 0), and ticks of the read since it last stored a block.
    std::int16_t ReadErrorCount = 0;
    int CurveReadTicksWithoutProgress = 0;
    // The curve write (steps 18..44) and the read back that checks it.
    enum class CurveWriteOutcome {
        None,        // no write since the start
        Running,
        Equal,       // read back and found as sent: the only proven success
        Unchecked,   // written without a read back (asked for so)
        Differs,     // read back and found different (CurveWriteDifference)
        Refused,     // a point could not be encoded: nothing was sent
        Incomplete,  // the link went before the write and its check ended
    };
    CurveWriteOutcome CurveWriteResult = CurveWriteOutcome::None;
    // What the other exchanges that read or change the ECU came to, as the curve
    // write has its outcome: the window shows it, a service command turns it into
    // its exit status, and nothing else decides success.
    enum class ExchangeOutcome {
        None,      // not asked for since the start
        Running,
        Done,      // ran to its end (a setting write: and read back as written)
        Refused,   // not started: no link, another exchange under way, the fitter said No
        CutShort,  // the link went, the ECU fell silent, a page did not come back, no progress
        Differs,   // a setting write read back other than written
    };
    ExchangeOutcome SettingsReadResult = ExchangeOutcome::None;  // the six settings pages
    ExchangeOutcome SettingWriteResult = ExchangeOutcome::None;  // one entry or advance choice
    ExchangeOutcome FactoryLoadResult = ExchangeOutcome::None;   // the 37 factory writes
    ExchangeOutcome FaultClearResult = ExchangeOutcome::None;    // the 21 zero writes
    ExchangeOutcome CurveReadResult = ExchangeOutcome::None;     // the read button's curve read
    // Ends whichever of those is running as cut short (the link watch, a lost
    // adapter, a read that makes no progress).
    void CutShortRunningOutcomes();
    link::CurvePoint CurveWriteDifference;
    bool CurveWriteVerify = true;     // a read back follows the write
    bool CurveWriteChecking = false;  // the read steps 13..17 run as the write's check
    link::CurveBlocks CurveWriteBlocks{};  // blocks 10..16 as step 21 fixed them

    void BuildCommandFrames();
    void CrcAddByte(std::uint8_t byte);
    // Hands one frame to Iletisim; a closed or missing port drops it.
    void SendFrame(const Bytes& frame);
    // Timer1 enabled, port open, LinkUp.
    bool LinkGuard() const;
    // An ECU exchange is under way (connect scan, settings read or write, curve read
    // or write with its check, factory load, fault read or clear, calibration): a
    // click that set SequencerState now would cut it short.
    bool EcuSequenceRunning() const;
    // For the clicks that would set SequencerState: while an exchange runs, says so
    // in the status line and returns true (the click then does nothing).
    bool RefusedWhileEcuBusy();
    void SequencerTick();

    // Link watch: Timer1 ticks since the last whole reply while the link is up;
    // six of them (3 s) and the ECU counts as silent until it answers again.
    // Only real silence counts: any bytes from the line restart the count, whole
    // or not. A line that brings only bytes no request can use (noise, pieces) for
    // ten seconds ends the running exchange as making no progress.
    int TicksWithoutReply = 0;
    int TicksWithoutWholeReply = 0;
    bool EcuSilent = false;
    bool EcuRepliesUnusable = false;  // the no-progress end has been reported
    // Whether the ECU has been silent on this link: Off until it first falls
    // silent, Silent while it is, Answering once it answers again. It feeds the
    // link indicator (LinkLamp), which the status line's failure outlives.
    enum class LinkLampState { Off, Silent, Answering };
    LinkLampState LinkLampShown = LinkLampState::Off;
    // The link indicator beside the connect button, always shown: the port, the
    // state of the link and the age of the last whole reply ("COM4 : CONNECTED :
    // 0.5 s"). The lamp's silence feeds it; it is the one place the link shows.
    LabelControl LinkLamp;
    enum class LinkState { Disconnected, Searching, Connected, NotResponding };
    LinkState LinkStateShown = LinkState::Disconnected;
    // Steady clock of the last whole reply; negative: none on this link yet.
    double LastWholeReplyMs = -1;
    LinkState CurrentLinkState() const;
    // The indicator and the look of the live values for the link as it is now:
    // while it is down every live value, caption and bar is greyed (the last
    // values the ECU sent, not the engine now). Every tick and every change.
    void ShowLinkIndicator();
    void WatchLink();         // every Timer1 tick, before the step
    void NoteLineActivity();  // every receive event: the ECU is not silent
    void NoteWholeReply();    // every reply of the length its request is answered with
    void ShowLinkLamp(LinkLampState state);
    // The indicator's caption in the language of LanguageIndex.
    void CaptionLinkLamp();
    // The disconnect button: the port is closed (what was sent is drained first),
    // the sequencer parks and the connect button may start a new scan. An exchange
    // under way is ended only if the fitter says so. The screens stay usable for
    // files.
    ButtonControl ButonBağlantıKes;
    void ButonBağlantıKes_Click();
    // Closes the link and parks the sequencer, whatever the state; for the
    // disconnect button (and a scan started over a link still up).
    void CloseLink();
    // What the settings boxes show may no longer be what the ECU holds (it was
    // silent): the entries stay locked, and the idle step reads every page again
    // as soon as the ECU answers.
    bool SettingsStale = false;
    // The running exchange's failure text (empty at idle), both languages.
    struct ExchangeFailure {
        std::string turkish, english;
    };
    // The one place a running family is cut short when the ECU stops answering:
    // each family's clean-up and failure text, then the idle poll.
    ExchangeFailure AbortRunningExchange();
    // The exchange under way as the fitter calls it ("eğri yazma" / "the curve
    // write"); empty at idle and during a scan.
    ExchangeFailure RunningExchangeName() const;
    // What the last silence cut short (empty: nothing), said again with the recovery.
    ExchangeFailure SilenceCutShort;
    // "BAĞLANDI : COM4" waits for the end of the connect's settings read, when the
    // link indicator says connected too.
    std::optional<ExchangeFailure> ConnectedMessage;
    // What every abandoned exchange gives back: progress bars, the curve paper,
    // the settings screen, the locked buttons and screens.
    void ReleaseAbandonedExchange();
    // The settings screen as every end of a settings-screen exchange leaves it
    // (normal end, lost link, silent ECU, pulled adapter): shown again where a
    // factory load or a fault clear hid it behind its bar, the bars gone, and no
    // caption left yellow for a write that is no longer pending.
    void RestoreSettingsScreen();
    void LockEcuButtons();
    void UnlockEcuButtons();
    void LockSettingsButtons();
    void RestoreIdleButtons();
    // A factory load or fault clear lost its link: the settings screen comes back with
    // the button that started it, its bar goes, the fitter is told, polling resumes.
    void EndSettingsSequenceCutShort(ButtonControl& button, ProgressBarControl& bar,
                                     std::string_view turkish, std::string_view english);
    void ComOpenButon_Click();
    // The three screens, the three screen buttons and the four read/write buttons:
    // what the connect button locks until the scan ends (or a live reply comes).
    void SetWorkAreaEnabled(bool enabled);
    // Reads "SonPort" and fixes ScanOrder for the scan the connect button starts.
    void PrepareScanOrder();
    // Keeps the port the ECU answered on; false when it could not be stored.
    bool RememberFoundPort();
    void ButonEcuOku_Click();
    void ButonEcuYaz_Click();
    // Starts the write of CurveTable to the ECU (step 18), checked by a read back
    // unless verify is false. Refuses with the reason in the status line while an
    // exchange runs or when a point cannot be encoded (nothing is sent, the curve
    // stays as it is); returns false without a message when the link guard fails.
    bool StartCurveWrite(bool verify = true);
    // Steps 18..44 or the read back that checks them are under way.
    bool CurveWriteRunning() const;

    // The receive handler of Iletisim, with the port event kind.
    void Iletisim_OnComm(int kind);
    // At most one reply per request. A reply names no request, so the step decides
    // what it means; bytes no request waits for would be decoded as whatever that
    // step expects. The length the last frame sent is answered with (13, or 20 for
    // a curve band block), 0 while no request waits; every frame sent resets it and
    // the first receive event after a request takes it.
    std::size_t AwaitedReplyLength = 0;
    bool RequestAnswered = false;  // the last request has had its one reply
    enum class DroppedReply { None, Unasked, Second };
    DroppedReply LastDroppedReply = DroppedReply::None;
    std::uint64_t DroppedReplyCount = 0;  // receive events dropped unread
    std::uint64_t LiveSampleCount = 0;    // live replies decoded
    // The serial device disappeared under an open port (adapter pulled).
    void Iletisim_DeviceLost();

    // ======================================================================
    // Settings screen: settings read and writes, fault report, factory
    // settings and fault clearing (ecu/, link/)
    // ======================================================================
    ButtonControl ButonGenel, ButonTroubles, ButonErrorClear, ButonLoadFabricSettings;
    TextBoxControl Coil, msavvv, SetPXXPressureTextBox, SetPXXPressLeakageTextBox,
        SetPTransRPMTextBox, SetPTransRedTempTextBox;
    ComboBoxControl avas;
    LabelControl Label6, GeneralSettingsLabel1, GeneralSettingsLabelCoil, Label13, SetPLabelRPM,
        Label24, SetPLabelRedTransitionTemp, Label25, Label16, SetLabelPXXPressureTextBox, Label14,
        SetLabelPXXPressLeakageTextBox, Label17;
    TextBoxControl TroublesGasValveRelayTextBox, TroublesInjMainRelayTextBox,
        TroublesPresslowTextBox, TroublesCRCErrTextBox;
    LabelControl Label45, Label46, Label47, Label48, Label49, Label50;
    ProgressBarControl ProgressBar12;
    Bytes PendingSettingFrame;
    double ClearAddress = 0;

    // The settings read (steps 1..7): which of the three pages that carry settings
    // came whole (bit 0 page 1, bit 1 page 4, bit 2 page 5), and how many times
    // the pages have been asked for in this read.
    unsigned SettingsPagesRead = 0;
    int SettingsReadAttempt = 0;
    bool SettingsReadRepeat = false;  // step 1 asks again within the same read
    // Page 1 gave a coil count no coil choice has (outside 1..12): shown marked,
    // never used for the engine speed.
    bool CoilCountDoubtful = false;
    // The settings the last read could not give, for the status line and the commands
    // ("coils", "switch-rpm switch-temp", ...); empty when all came.
    std::string SettingsNotRead;
    // Step 1: a new read starts (or the same read asks again).
    void StartSettingsRead();
    // Step 7: the pages came whole, or are asked again, or are marked as not read.
    // True when the read is over.
    bool FinishSettingsRead();
    // The fitter asked for this read ("Kayıtları Oku"): it shows its pages as it
    // goes and its result (a read after a connect or a write stays quiet).
    bool SettingsReadAnnounced = false;
    void ButonGenel_Click();
    void ButonTroubles_Click();
    // The settings and fault screens' controls, disabled while a read or write runs.
    void SetSettingsControlsEnabled(bool enabled);
    // The same controls except ButonGenel, which waits for the idle step: what every
    // live reply gives back.
    void EnableSettingsControlsButGenel();
    // The 13 advance entries "0.20 ms" .. "3.00 ms" (start-up).
    void FillAdvanceList();

    // Settings entry: only Enter acts; it checks the typed value, prepares the
    // write (PendingSettingFrame) and starts step 46.
    void SettingEntryKeyPress(ecu::Setting setting, int key);
    void Coil_KeyPress(int key);
    void SetPTransRPMTextBox_KeyPress(int key);
    void SetPTransRedTempTextBox_KeyPress(int key);
    void SetPXXPressureTextBox_KeyPress(int key);
    void SetPXXPressLeakageTextBox_KeyPress(int key);
    // The advance list: the chosen entry is written at once, then the pages are read.
    void avas_Click();
    // The gas type buttons only show the fitter's choice.
    void LPG_Click();
    void CNG_Click();
    // The box and the caption label of an entry setting (not the advance).
    TextBoxControl& SettingBox(ecu::Setting setting);
    LabelControl* SettingLabel(ecu::Setting setting);

    // What the last settings write should read back as; checked when the refresh
    // decodes that page, so a value the ECU did not take is pointed out.
    struct SettingCheck {
        ecu::Setting setting;
        int written;  // the byte (or the advance word) sent
    };
    std::optional<SettingCheck> PendingSettingCheck;
    // The last write's read-back differed from what was written.
    bool SettingNotTaken = false;
    // The last write did not complete: nothing says whether the ECU took it.
    bool SettingWriteCutShort = false;
    // A stored value as the status line names it: "1.20 bar", "4", "0.60 ms".
    std::string SettingValueText(ecu::Setting setting, int stored) const;
    // Called by the receive handler for a whole reply at a refresh step.
    void CheckSettingReadBack(const Bytes& reply, double step);
    // What the ECU last reported for each setting (ecu::Setting order; the advance
    // as its word), kept by the receive handler from every page that carries one.
    std::array<std::optional<int>, 6> EcuSettingStored{};
    void NoteEcuSettings(const Bytes& reply, double step);
    // A settings write that did not complete (the link went, the ECU fell silent,
    // the adapter was pulled, the page never came back): the box shows the ECU's
    // last known value again and its caption turns red. Returns the failure text
    // naming the setting, empty when no write was pending.
    ExchangeFailure EndSettingWriteNotCompleted();
    // The box of a setting shows the value the ECU last reported (empty when unknown).
    void ShowKnownSettingValue(ecu::Setting setting);
    // The settings entries (the five boxes and the advance list) locked or free.
    void SetSettingEntriesEnabled(bool enabled);

    // Factory settings and fault clearing, on the settings screen; both ask first.
    void ButonLoadFabricSettings_Click();
    void ButonErrorClear_Click();
    // The fault clear itself, without the question: for `faults --clear`, whose
    // command line is the fitter's answer already.
    void StartFaultClear();
    // A clear just ended: the fault pages read after it say whether records are left.
    bool FaultClearCheckPending = false;
    // The clear's record when its check cannot read the pages.
    void NoteFaultClearUnchecked();
    // Called by the receive handler once the fault pages after a clear are in.
    void CheckFaultsAfterClear();

    // ======================================================================
    // Curve screen: curve model, plot, editor, files, undo, the ECU's curve
    // (curve/)
    // ======================================================================
    ButtonControl devir1000, devir2000, devir3000, devir4000, devir5000, devir6000, devir123456;
    ButtonControl Rolanti;
    std::array<CheckBoxControl, 19> CheckÜ, CheckA;
    PictureBoxControl EğriPic;
    ButtonControl hepsi, sag, sol, YY, AA;
    LabelControl Label15, Label18, Label19, Label20, Label22, Label23;
    ImageControl Rolantiyukarıdisabel, Rolantiyukarıenabel, Rolantiaşagıdisabel, Rolantiaşagıenabel;
    ImageControl imgeğmedisabled, imgeğmeenabled;

    double LivePointX = 0, LivePointY = 0;
    // Arrow keys as seen by the window (fed by its key events while it has focus).
    ArrowKeyState ArrowKeys;
    // The mouse button is held on the arrow buttons AA (up), YY (down), sol, sag.
    std::uint8_t AAHeld = 0, YYHeld = 0, SolHeld = 0, SagHeld = 0;
    // The poller's direction: marks are gathered into CheckÜ (raise) or CheckA (lower).
    std::uint8_t RaiseRequest = 0, LowerRequest = 0;
    // A press started an edit and no edit tick has run since: its release still
    // owes the fitter one step (a tap shorter than the 75 ms tick moves too).
    bool EditStepOwed = false;
    // An arrow button went down and the poller has not looked since.
    bool PressUnpolled = false;
    // Points of unselected bands the edit pushed along (the bands may not cross),
    // by band and point, marked on the plot until the next edit; the bands named in
    // the status line; the curve the marks belong to (another curve drops them).
    std::array<std::array<bool, 19>, 6> PushedPoints{};
    std::string PushedBandsSaid;
    CurveRows PushedOnCurve{};
    void ForgetPushedPoints();
    void DrawPushedPoints();
    // The key family the poller saw last: up/down (shift) or left/right (tilt).
    std::uint8_t VerticalLatch = 0, HorizontalLatch = 0;
    double TiltStep = 0;
    std::int16_t SelectAllPhase = 0;  // hepsi: 0 none, 1 all upper, 2 all lower
    double FirstChecked = 0;          // lowest checked box found by a range box
    bool RangeFound = false;

    // Curve model: band buttons and the idle button.
    void devir_Click(int band);  // band 0..5 = 1000..6000 rpm
    void devir1000_Click();
    void devir2000_Click();
    void devir3000_Click();
    void devir4000_Click();
    void devir5000_Click();
    void devir6000_Click();
    void devir123456_Click();
    void Rolanti_Click();

    // Plot.
    void DrawCurves();
    void DrawLivePoint();
    void ClearCurvePicture();  // EğriPic back to its background
    void CurveRedraw();        // Timer3

    // Editor.
    void CurveEditTick();      // Timer2
    void CurveRepeatPoller();  // Timer5
    void CheckÜ_Click(int k);
    void CheckA_Click(int k);
    void hepsi_Click();
    void AA_MouseDown();
    void AA_MouseUp();
    void YY_MouseDown();
    void YY_MouseUp();
    void sol_MouseDown();
    void sol_MouseUp();
    void sag_MouseDown();
    void sag_MouseUp();
    void Rolantiyukarıdisabel_MouseDown();
    void Rolantiyukarıdisabel_MouseUp();
    void Rolantiaşagıdisabel_MouseDown();
    void Rolantiaşagıdisabel_MouseUp();
    void imgeğmedisabled_Click();
    void imgeğmeenabled_Click();
    void EğriPic_MouseDown();
    void EğriPic_MouseUp();

    // Curve files.
    void ButonDisktenOku_Click();
    void ButonDiskeYaz_Click();
    // The save button's work; true only when the file was written.
    bool SaveCurveFile();

    // Undo and redo (curve_undo.cpp): ButonGeriAl (Ctrl+Z) and ButonYinele
    // (Ctrl+Shift+Z, Ctrl+Y). Refused while an ECU exchange runs.
    curve::CurveHistory CurveUndo;
    ButtonControl ButonGeriAl, ButonYinele;
    void ButonGeriAl_Click();
    void ButonYinele_Click();
    // A change of CurveTable since the last step becomes a step of its own.
    void NoteCurveStep();
    // An arrow key or button, an idle picture or the plot is held: what the edit
    // ticks change until the release is one step.
    bool CurveEditHeld() const;
    // The curve read, the curve write with its check, or a calibration run: each
    // replaces the curve as one step when it ends.
    bool CurveExchangeRunning() const;
    // Every Timer3 tick: notes a finished step, sets the two buttons.
    void WatchCurveHistory();
    // The curve must not change under a curve read, a curve write with its check
    // or a calibration run: edits, the idle button and file loads wait.
    bool CurveEditsLocked() const { return CurveExchangeRunning(); }

    // What the curve on screen is measured against (curve_keeping.cpp). EcuCurve:
    // the curve the ECU holds as far as the tool knows, after a read or a write
    // whose read back was equal; empty when not known. StoredCurve: the curve last
    // saved to or read from a file (at start, the curve the window opened with).
    std::optional<CurveRows> EcuCurve;
    CurveRows StoredCurve{};
    // Draws EcuCurve faintly behind the curve; usable only while one is kept.
    CheckBoxControl CheckEkuEğrisi;
    void CheckEkuEğrisi_Click();
    void KeepEcuCurve();    // CurveTable is what the ECU now holds
    void ForgetEcuCurve();  // what the ECU holds is no longer known
    // The curve on screen equals neither the ECU's nor the stored one.
    bool CurveUnsaved() const;
    // Before the curve on screen is replaced or dropped: an unsaved curve asks
    // Save/Discard/Cancel. True to go on (saved, discarded, or nothing to lose).
    bool MayDropCurve();
    void DrawEcuCurve();

    // ======================================================================
    // Calibration screen: the run, its controls, the reference curve
    // (calibration/)
    // ======================================================================
    ButtonControl KalibrasyonBaşlatButon, KalibrasyonDurdurButon, Kalibrasyonyükleme;
    LabelControl Label5, Label21, Label1, Pt, GP;
    TextBoxControl ilk, Ani, Text1, Sayac;
    // Captions of Text1 and Sayac, and the box of the slope factor Label1 names.
    LabelControl LabelFark, LabelSayac;
    TextBoxControl TextEğim;

    // The run's measurements and verdicts (CalibrationRunning and
    // CalibrationNextStep are with the shared state above).
    double PetrolTimeOnPetrol = 0;    // ms, measured on petrol; shown in ilk
    double PetrolTimeOnGas = 0;       // ms, measured on gas at each iteration; shown in Ani
    double PetrolTimeDifference = 0;  // ms, |on gas - on petrol|; shown in Text1
    double CorrectionSteps = 0;       // steps of the last correction, 1..255
    double StartRatio = 0;            // petrol time / gas time before the corrections
    double SlopeFactor = 0;           // StartRatio / the same ratio after them
    double SpeedWaitCount = 0;
    double IterationCount = 0;        // shown in Sayac
    bool SpeedFault = false, PressureFault = false, TemperatureFault = false;
    bool Converged = false;
    // A petrol or gas time of 0 where a ratio of the two is taken: the run ends
    // rather than scale the curve by an infinite or empty factor.
    bool InjectionTimeFault = false;
    // Whether the last iteration found the two petrol times together; Converged
    // itself is cleared again when the end phase begins.
    bool CalibrationConverged = false;
    // The factory reference curve of this run was read whole and with its end mark.
    bool ReferenceFileOk = false;
    // The run was ended by the link (silent ECU, pulled adapter): its stop step
    // leaves the failure in the status line instead of "stopped".
    bool CalibrationCutShort = false;
    // Reference values (pressure, temperatures) that did not fit their byte and were
    // not written, as the end message names them.
    std::string UnsentReferenceTurkish, UnsentReferenceEnglish;

    // What the calibration screen draws: each iteration's times, and the curve as
    // it was before the run rescaled it (the factory reference); both emptied when
    // a run starts.
    std::vector<calibration::IterationSample> CalibrationIterations;
    std::optional<CurveRows> CalibrationCurveBefore;

    void CalibrationTick();  // Timer4
    void KalibrasyonBaşlatButon_Click();
    void KalibrasyonDurdurButon_Click();
    void Kalibrasyonyükleme_Click();
    // Copies the factory reference curve "ORJ.DAT" into CurveTable; a file that is
    // missing or faulty leaves CurveTable as it is.
    void LoadReferenceFile();
    // The factory reference curve named on a headless command line; empty: "ORJ.DAT"
    // in the program directory, or in the data directory when the program
    // directory has none.
    std::filesystem::path ReferenceFileChoice;
    // Where LoadReferenceFile reads from.
    std::filesystem::path ReferenceFilePath() const;

    // ======================================================================
    // Restore points: the record every operation leaves (history/)
    // ======================================================================
    // The car being worked on, as the fitter named it (plate, model); every record
    // carries it.
    std::string JobLabel;
    // The settings as the last settings read showed them ("name=value" lines, '.'
    // as decimal mark); empty until one was read.
    std::string KnownSettings;
    // The last record was kept; false after one the history could not take.
    bool LastRestorePointKept = true;
    // Where the records go: the queue in front of env.restorePoints or the form's
    // own database. The queue writes them on a thread of its own, so no tick and no
    // reply handler ever waits for the disk.
    history::RestorePoints* RestorePointSink = nullptr;
    std::unique_ptr<history::RestorePoints> OwnedRestorePoints;
    std::unique_ptr<history::RecordQueue> RestorePointQueue;  // goes before the store it writes to
    // Opens the history in DataDirectory when asked to and offers the last label
    // (the load handler).
    void OpenRestorePoints();
    // What the queue wrote since the last look: a record it could not keep is said
    // in the status line (every tick of Timer1).
    void ReportWrittenRestorePoints();
    // Waits until every queued record is written, then reports (the exit button,
    // the end of a command).
    void SettleRestorePoints();
    // One record of the operation that just ended, with the job label, the port,
    // the time and the known settings; the curve in the editor for the kinds that
    // concern a curve. A record not kept is said in the status line.
    void NoteRestorePoint(history::Kind kind, std::string result, std::string detail = {});
    // The time of the last record taken, and of the ECU's curve kept as the last
    // write started ("": none), which the write's own record names.
    std::string LastRestorePointTime;
    std::string EcuCurveBeforeWriteTime;
    // Where the operations end: each gathers what its record needs.
    void NoteEcuCurveBeforeWrite();
    void NoteCurveWriteEnd();
    void NoteSettingsRead();
    void NoteSettingWrite(ecu::Setting setting, bool taken);
    void NoteCalibrationEnd();
    // Adds "(NOT KEPT IN THE HISTORY)" to the status line (once).
    void ShowRestorePointNotKept();

private:
    void wireControls();
};

}  // namespace gasecu
