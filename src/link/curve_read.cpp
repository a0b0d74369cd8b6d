// Reading the curve from the ECU. The ECU keeps the curve as a header block (the
// idle axis point, the idle level and four more values) and six band blocks, one per
// 1000 rpm band, each holding the rises of its 18 points: the first over the idle
// level, every other over the point before. The tool asks for the header before
// every band block, so a complete read is six request pairs (25 ticks); a reply of
// the wrong length sends the read back to the header and the same band again.
#include <string>

#include "app/form1korvane.h"
#include "ecu/reply_decoding.h"
#include "link/command_frames.h"
#include "link/curve_write_check.h"
#include "link/sequencer_families.h"

namespace gasecu {

namespace {
constexpr int kFirstBandEntry = 2;  // CurveBlockRequestFrames entries 2..7: the six bands
constexpr int kFifthBandEntry = 6;  // the first of the two requests for block 16
constexpr int kAfterLastBandEntry = 8;
constexpr double kAxisStep = 30;
}  // namespace

void Form1Korvane::ButonEcuOku_Click() {
    if (RefusedWhileEcuBusy()) return;
    if (LinkGuard()) {
        // The read replaces the curve: an unsaved one is asked about first, and
        // Cancel leaves everything as it was.
        if (!MayDropCurve()) return;
        NoteCurveStep();
        ButonEcuOku.backColour = colours::kWhite;
        // The read starts with the engine switched to petrol.
        SendFrame(frames::kPetrolCommand);
        SequencerState = 13;
    }
    ReadErrorCount = 0;
    Rolanti.enabled = true;
}

namespace link {

namespace {

// The read's progress: its own bar, or, as a write's check, the write's bars.
void ShowReadProgress(Form1Korvane& f, int bandsStored) {
    if (f.CurveWriteChecking) ShowCurveCheckProgress(f, bandsStored);
    else f.ProgressBar8.value = static_cast<float>(bandsStored);
}

void AskForHeader(Form1Korvane& f) {
    f.EğriKağıdıPic.visible = false;
    if (!f.CurveWriteChecking) f.ProgressBar8.visible = true;
    for (ButtonControl* b : {&f.ButonSetup, &f.ButonAyar, &f.ButonEcuOku}) b->enabled = false;
    if (!f.LinkUp && f.CurveWriteChecking) {
        EndCurveWriteIncomplete(f);
        return;
    }
    if (!f.LinkUp) {
        f.ButonEcuOku.backColour = colours::kWhite;
        f.SequencerState = 8;
        return;
    }
    f.SendFrame(f.CurveBlockRequestFrames[1]);
    for (ButtonControl* b : {&f.ButonEcuYaz, &f.ButonDiskeYaz, &f.ButonDisktenOku, &f.ButonEğri}) b->enabled = false;
    f.ButtonsLocked = true;
    f.SetupRestored = true;
    f.SequencerState = 14;
}

void StoreHeader(Form1Korvane& f) {
    if (f.ReplyLength != ecu::kReplyLength) {
        f.ReadErrorCount = 0;
        f.SequencerState = 13;
        return;
    }
    for (int p = 1; p <= 6; ++p) f.CurveReadBuffer[1][static_cast<std::size_t>(p)] = ecu::ReplyByte(f.ReplyText, p + 2);
    f.SequencerState = 15;
}

void AskForBand(Form1Korvane& f) {
    f.SendFrame(f.CurveBlockRequestFrames[static_cast<std::size_t>(f.CurveBlockIndex)]);
    f.SequencerState = 16;
}

void StoreBand(Form1Korvane& f) {
    if (f.ReplyLength != ecu::kCurveBlockReplyLength) {
        // Back to the header; CurveBlockIndex stays, so the same band is asked again.
        f.ReadErrorCount = 0;
        f.SequencerState = 13;
        // The fifth and sixth bands are both asked for as block 16, so a second
        // request for the fifth cannot be told from the request for the sixth: the
        // ECU may answer it with the sixth band, and the read would end "well" with
        // band 6 in row 7. Starting the bands over sends only the usual frames and
        // can never store a band in the wrong row.
        if (f.CurveBlockIndex == kFifthBandEntry) {
            f.CurveBlockIndex = kFirstBandEntry;
            ShowReadProgress(f, 0);
        }
        return;
    }
    auto& row = f.CurveReadBuffer[static_cast<std::size_t>(f.CurveBlockIndex + 1)];
    for (int p = 1; p <= 18; ++p) row[static_cast<std::size_t>(p)] = ecu::ReplyByte(f.ReplyText, p + 1);
    const int stored = f.CurveBlockIndex - kFirstBandEntry + 1;
    if (f.CurveWriteChecking) {
        const std::string count = std::to_string(stored) + " / 6";
        f.ShowMessage("EĞRİ KONTROL EDİLİYOR " + count, "CHECKING THE CURVE " + count);
    } else {
        f.ShowMessage("HATALI OKUMA " + std::to_string(f.ReadErrorCount),
                      "READING ERROR " + std::to_string(f.ReadErrorCount));
    }
    f.CurveReadDone = true;
    f.SequencerState = 13;
    f.CurveBlockIndex = static_cast<std::int16_t>(f.CurveBlockIndex + 1);
    ShowReadProgress(f, stored);
    if (f.CurveBlockIndex == kAfterLastBandEntry) {
        f.SequencerState = 17;
        f.CurveBlockIndex = kFirstBandEntry;
    }
}

// Rebuilds the six band curves from the stored rises by running sums from the
// idle level; the write to the ECU encodes them the same way.
void DecodeCurve(Form1Korvane& f) {
    const auto& buffer = f.CurveReadBuffer;
    for (int p = 1; p <= 6; ++p) f.CurveTable[1][static_cast<std::size_t>(p)] = buffer[1][static_cast<std::size_t>(p)];
    for (int p = 1; p <= 18; ++p) f.CurveTable[2][static_cast<std::size_t>(p)] = kAxisStep * p;
    for (std::size_t r = 3; r <= 8; ++r) {
        double sum = buffer[1][2];
        for (std::size_t p = 1; p <= 18; ++p) {
            sum += buffer[r][p];
            f.CurveTable[r][p] = sum;
        }
    }
}

void FinishRead(Form1Korvane& f) {
    f.ProgressBar8.visible = false;
    if (f.CurveWriteChecking) {
        // The read back goes into the buffer only; the tool's curve stays.
        FinishCurveWriteCheck(f);
        return;
    }
    if (f.CurveReadDone) {
        DecodeCurve(f);
        f.KeepEcuCurve();
        f.NoteCurveStep();
        f.ProgressBar8.value = 0;
        f.EğriKağıdıPic.visible = true;
        for (ButtonControl* b : {&f.ButonSetup, &f.ButonAyar, &f.ButonEcuOku}) b->enabled = true;
        f.DrawCurves();
        f.CurveReadDone = false;
        f.ReadErrorCount = 0;
        f.ButonEcuOku.backColour = colours::kWhite;
        for (ButtonControl* b : {&f.ButonEcuYaz, &f.ButonDiskeYaz, &f.ButonDisktenOku, &f.ButonEğri}) b->enabled = true;
        f.ButtonsLocked = false;
        f.NoteRestorePoint(history::Kind::CurveRead, "done");
    }
    f.SequencerState = 8;
}

}  // namespace

void RunCurveReadStep(Form1Korvane& f, int step) {
    switch (step) {
    case 13: AskForHeader(f); break;
    case 14: StoreHeader(f); break;
    case 15: AskForBand(f); break;
    case 16: StoreBand(f); break;
    case 17: FinishRead(f); break;
    default: break;
    }
}

}  // namespace link
}  // namespace gasecu
