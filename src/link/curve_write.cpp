// Writing the curve to the ECU (steps 18..44): the write-start command, the head
// block and the six band blocks, the write-end and write-close commands, with
// live-data requests between them, one frame per tick, 27 ticks. The ECU does
// not acknowledge a block, so the curve is then read back with the read steps
// (13..17) and compared byte for byte with what was sent: only an equal read back
// is reported as a write without errors.
#include "app/form1korvane.h"
#include "link/command_frames.h"
#include "link/curve_blocks.h"
#include "link/curve_write_check.h"
#include "link/sequencer_families.h"

namespace gasecu {

namespace {
constexpr int kFuelStatusPetrol = 2;
constexpr int kFirstBlockStep = 21;  // block 10 here, then one block every third step
constexpr int kLastBlockStep = 39;
constexpr float kWriteProgressSteps = static_cast<float>(link::kWriteProgressMaximum);
constexpr int kCheckedBands = 6;
constexpr std::uint32_t kRefusedBlue = 16744576;  // write pressed without the link
}  // namespace

bool Form1Korvane::CurveWriteRunning() const {
    const double state = SequencerState;
    return (state >= 18 && state <= 44) || CurveWriteChecking;
}

bool Form1Korvane::StartCurveWrite(bool verify) {
    if (RefusedWhileEcuBusy()) return false;
    // Judged on the curve as step 21 will send it, before anything goes out: a band
    // that starts under the idle level, falls or rises more than a byte carries cannot be
    // written, and the ECU would store whatever a wrapped byte made of it.
    const link::EncodedCurve encoded = link::EncodeCurveForWrite(CurveTable);
    if (encoded.fault) {
        const link::BilingualText text = link::UnwritableMessage(*encoded.fault);
        ShowMessage(text.turkish, text.english);
        CurveWriteResult = CurveWriteOutcome::Refused;
        CurveWriteDifference = encoded.fault->where;
        return false;
    }
    if (!LinkGuard()) return false;
    ButonEcuYaz.backColour = colours::kWhite;
    CurveWriteVerify = verify;
    SequencerState = 18;
    return true;
}

void Form1Korvane::ButonEcuYaz_Click() {
    if (StartCurveWrite()) return;
    // A fitter who presses "write" must see why nothing happened; the refusals
    // above have said so already.
    if (!LinkGuard() && !EcuSequenceRunning() && link::EncodeCurveForWrite(CurveTable).blocks)
        ShowMessage("ECU BAĞLI DEĞİL ! ", "ECU NOT CONNECTED ! ");
}

namespace link {

namespace {

void SetWriteProgress(Form1Korvane& f, float value) {
    f.ProgressBar7.value = value;
    f.ProgressBar11.value = value;
}

void BeginWrite(Form1Korvane& f) {
    if (!f.LinkUp) {
        f.ButonEcuYaz.backColour = kRefusedBlue;
        f.CurveWriteResult = Form1Korvane::CurveWriteOutcome::Incomplete;
        f.SequencerState = 8;
        return;
    }
    f.ShowFuelStatus(kFuelStatusPetrol);  // the ECU goes to petrol while its curve changes
    // The curve going out stays on view (edits wait for the end), also when the
    // write was started from the calibration screen's upload.
    f.EğriKağıdıPic.visible = true;
    f.ProgressBar7.visible = true;
    for (ButtonControl* b : {&f.ButonSetup, &f.ButonAyar, &f.ButonDisktenOku, &f.ButonDiskeYaz, &f.ButonEcuOku,
                             &f.ButonEcuYaz})
        b->enabled = false;
    // One bar from the first frame to the end of the read back.
    const double maximum = kWriteProgressSteps + (f.CurveWriteVerify ? static_cast<float>(kCheckedBands) : 0.0F);
    f.ProgressBar7.maximum = maximum;
    f.ProgressBar11.maximum = maximum;
    SetWriteProgress(f, 1);
    f.CurveWriteResult = Form1Korvane::CurveWriteOutcome::Running;
    f.ShowMessage("EĞRİ EKÜ'YE YAZILIYOR ... ", "WRITING THE CURVE TO THE ECU ... ");
    f.SendFrame(frames::kWriteStartCommand);
    f.SequencerState = 19;
    f.SetupRestored = true;
    f.LockEcuButtons();
    // Kept before the first frame: should the write go wrong, the fitter can put
    // the ECU's last known curve back.
    f.NoteEcuCurveBeforeWrite();
    // From the first frame until the read back is found equal, what the ECU holds
    // is not known.
    f.ForgetEcuCurve();
}

// Block 10 at step 21, then 11..16 every third step; 0 for a step without one.
int BlockAtStep(int step) {
    if (step < kFirstBlockStep || step > kLastBlockStep || (step - kFirstBlockStep) % 3 != 0) return 0;
    return kCurveHeadBlock + (step - kFirstBlockStep) / 3;
}

// Fixes what the write sends: all seven blocks at once, from the curve as the
// fitter left it, so that the blocks belong to one curve and the check knows
// exactly what went out. The curve itself is never changed here. False when a
// point cannot be encoded after all.
bool FixBlocks(Form1Korvane& f) {
    const EncodedCurve encoded = EncodeCurveBlocks(f.CurveTable);
    if (!encoded.blocks) {
        const BilingualText text = UnwritableMessage(*encoded.fault);
        f.ShowMessage(text.turkish, text.english);
        return false;
    }
    f.CurveWriteBlocks = *encoded.blocks;
    return true;
}

void SendBlock(Form1Korvane& f, int block) {
    f.SendFrame(CurveBlockFrame(block, f.CurveWriteBlocks[static_cast<std::size_t>(block - kCurveHeadBlock)]));
}

// The controls and the picture as every end of a write leaves them.
void RestoreAfterWrite(Form1Korvane& f) {
    f.ClearCurvePicture();
    f.DrawCurves();
    f.ButonEcuYaz.backColour = colours::kWhite;
    f.SequencerState = 8;
    f.PetrolShown = true;
    for (ProgressBarControl* bar : {&f.ProgressBar7, &f.ProgressBar11}) {
        bar->visible = false;
        bar->value = 0;
        bar->maximum = kWriteProgressSteps;
    }
    f.EğriKağıdıPic.visible = true;
    f.ButonSetup.enabled = true;
    f.ButonAyar.enabled = true;
    for (ButtonControl* b : {&f.ButonDisktenOku, &f.ButonDiskeYaz, &f.ButonEcuOku, &f.ButonEcuYaz}) {
        b->visible = true;
        b->enabled = true;
    }
    f.ButonEğri.backColour = colours::kDarkCyan;
    f.ButonAyar.backColour = colours::kWhite;
    f.UnlockEcuButtons();
    f.CurveWriteChecking = false;
}

// Step 44: the last live request, then the read back (or, when none was asked
// for, the end).
void EndWriteSteps(Form1Korvane& f) {
    f.SendFrame(f.LiveDataRequest);
    if (!f.CurveWriteVerify) {
        RestoreAfterWrite(f);
        f.CurveWriteResult = Form1Korvane::CurveWriteOutcome::Unchecked;
        f.ShowMessage("EĞRİ YAZILDI, KONTROL EDİLMEDİ ! ", "CURVE WRITTEN, NOT CHECKED ! ");
        f.NoteCurveWriteEnd();
        return;
    }
    f.ShowMessage("EĞRİ KONTROL EDİLİYOR ... ", "CHECKING THE CURVE ... ");
    for (auto& row : f.CurveReadBuffer) row.fill(-1);  // nothing read yet
    f.CurveWriteChecking = true;
    f.CurveReadDone = false;
    f.CurveBlockIndex = 2;
    f.ReadErrorCount = 0;
    f.SequencerState = 13;
}

}  // namespace

void RunCurveWriteStep(Form1Korvane& f, int step) {
    if (step == 18) {
        BeginWrite(f);
        return;
    }
    // Until the head block is out, a lost link abandons the write.
    if (step <= kFirstBlockStep && !f.LinkUp) {
        EndCurveWriteIncomplete(f);
        return;
    }
    if (step == kFirstBlockStep && !FixBlocks(f)) {
        // Only the write-start command went out; no block was sent.
        RestoreAfterWrite(f);
        f.CurveWriteResult = Form1Korvane::CurveWriteOutcome::Refused;
        f.NoteCurveWriteEnd();
        return;
    }
    if (int block = BlockAtStep(step)) {
        SendBlock(f, block);
        if (block > kCurveHeadBlock) SetWriteProgress(f, static_cast<float>(block - kCurveHeadBlock + 1));
    } else if (step == 41) {
        f.SendFrame(frames::kWriteEndCommand);
    } else if (step == 43) {
        f.SendFrame(frames::kWriteCloseCommand);
    } else if (step == 44) {
        EndWriteSteps(f);
        return;
    } else {
        f.SendFrame(f.LiveDataRequest);
    }
    if (step >= 40) SetWriteProgress(f, static_cast<float>(step - 32));  // 8..11 on the closing ticks
    f.SequencerState = step + 1;
}

void ShowCurveCheckProgress(Form1Korvane& f, int bandsStored) {
    SetWriteProgress(f, kWriteProgressSteps + static_cast<float>(bandsStored));
}

void FinishCurveWriteCheck(Form1Korvane& f) {
    const auto difference = FirstDifference(f.CurveWriteBlocks, f.CurveReadBuffer);
    // The tool's curve stays on screen either way: it is what the fitter meant to write.
    RestoreAfterWrite(f);
    if (!difference) {
        f.CurveWriteResult = Form1Korvane::CurveWriteOutcome::Equal;
        f.KeepEcuCurve();
        f.ShowMessage("HATA YOK ! — EĞRİ YAZILDI VE GERİ OKUNDU", "NO ERRORS ! — CURVE WRITTEN AND READ BACK");
        f.NoteCurveWriteEnd();
        return;
    }
    f.CurveWriteResult = Form1Korvane::CurveWriteOutcome::Differs;
    f.CurveWriteDifference = *difference;
    const BilingualText text = DifferenceMessage(*difference);
    f.ShowMessage(text.turkish, text.english);
    f.NoteCurveWriteEnd();
}

void EndCurveWriteIncomplete(Form1Korvane& f) {
    RestoreAfterWrite(f);
    f.CurveWriteResult = Form1Korvane::CurveWriteOutcome::Incomplete;
    f.ShowMessage("EĞRİ YAZMA TAMAMLANMADI ! ", "CURVE WRITE DID NOT COMPLETE ! ");
    f.NoteCurveWriteEnd();
}

}  // namespace link
}  // namespace gasecu
