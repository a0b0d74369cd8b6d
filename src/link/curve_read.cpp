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
// A read that stores no block for this many ticks (10 s, where a block takes two
// to four) gets no usable reply from the line: a noisy adapter, a foreign device.
// It ends with its failure message instead of asking for ever.
constexpr int kReadTicksWithoutProgress = 20;
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
        CurveReadResult = ExchangeOutcome::Running;
    } else {
        CurveReadResult = ExchangeOutcome::Refused;
    }
    ReadErrorCount = 0;
    CurveReadTicksWithoutProgress = 0;
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
    // A read hides the paper behind its bar; a write's check keeps the written
    // curve on view.
    if (!f.CurveWriteChecking) f.EğriKağıdıPic.visible = false;
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

// Counts one reply that did not come whole: the block is asked for again.
void CountRetry(Form1Korvane& f) {
    if (f.ReadErrorCount < INT16_MAX) f.ReadErrorCount = static_cast<std::int16_t>(f.ReadErrorCount + 1);
}

void StoreHeader(Form1Korvane& f) {
    if (f.ReplyLength != ecu::kReplyLength) {
        CountRetry(f);
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

// " HATALI OKUMA n" when n blocks were asked for again in this read, else "".
std::string RetryText(const Form1Korvane& f, const char* caption) {
    return f.ReadErrorCount > 0 ? caption + std::to_string(f.ReadErrorCount) : std::string();
}

void StoreBand(Form1Korvane& f) {
    if (f.ReplyLength != ecu::kCurveBlockReplyLength) {
        // Back to the header; CurveBlockIndex stays, so the same band is asked again.
        CountRetry(f);
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
        // Progress, and the blocks asked for again only when there were any: a
        // count of 0 after every block read like a failure.
        const std::string count = std::to_string(stored) + " / 6";
        f.ShowMessage("EĞRİ OKUNUYOR " + count + RetryText(f, "  HATALI OKUMA "),
                      "READING THE CURVE " + count + RetryText(f, "  READING ERROR "));
    }
    f.CurveReadTicksWithoutProgress = 0;
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
        f.ShowMessage("EĞRİ OKUNDU" + RetryText(f, "  HATALI OKUMA "), "CURVE READ" + RetryText(f, "  READING ERROR "));
        f.CurveReadResult = Form1Korvane::ExchangeOutcome::Done;
        f.ReadErrorCount = 0;
        f.ButonEcuOku.backColour = colours::kWhite;
        for (ButtonControl* b : {&f.ButonEcuYaz, &f.ButonDiskeYaz, &f.ButonDisktenOku, &f.ButonEğri}) b->enabled = true;
        f.ButtonsLocked = false;
        f.NoteRestorePoint(history::Kind::CurveRead, "done");
    }
    f.SequencerState = 8;
}

// No block stored for too long: the read (or the write's check) ends as not
// completed, with the controls given back.
bool EndStalledRead(Form1Korvane& f, int step) {
    if (step > 16 || ++f.CurveReadTicksWithoutProgress <= kReadTicksWithoutProgress) return false;
    f.CurveReadTicksWithoutProgress = 0;
    if (f.CurveWriteChecking) {
        // The write's check: it is the write that did not complete.
        EndCurveWriteIncomplete(f);
        f.ReleaseAbandonedExchange();
        f.SequencerState = 8;
        return true;
    }
    f.ReleaseAbandonedExchange();
    f.ButonEcuOku.backColour = colours::kWhite;
    f.ShowMessage("EĞRİ OKUMA TAMAMLANMADI : GEÇERLİ YANIT GELMİYOR ! ",
                  "CURVE READ DID NOT COMPLETE : NO VALID REPLY ! ");
    f.SequencerState = 8;
    return true;
}

}  // namespace

void RunCurveReadStep(Form1Korvane& f, int step) {
    if (EndStalledRead(f, step)) return;
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
