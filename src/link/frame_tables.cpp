// The frames the window prepares once at start-up, the window's CRC register, and
// the one door through which every frame reaches the port.
#include "app/form1korvane.h"
#include "link/command_frames.h"

namespace gasecu {
namespace {

// Settings pages in the order the connect sequence reads them: page 8 comes second.
constexpr std::array<int, 6> kConnectPages{1, 8, 2, 3, 4, 5};
// The curve read asks for the header block, then the band blocks; block 16 twice
// (the read stores the last two replies in rows 7 and 8), block 11 never.
constexpr std::array<int, 7> kCurveReadBlocks{10, 12, 13, 14, 15, 16, 16};

}  // namespace

void Form1Korvane::BuildCommandFrames() {
    LiveDataRequest = frames::kLiveDataRequest;
    // Entries are 1-based; entry 0 stays empty.
    PageRequestFrames[0].clear();
    for (std::size_t i = 0; i < kConnectPages.size(); ++i)
        PageRequestFrames[i + 1] = *frames::PageRequest(kConnectPages[i]);
    CurveBlockRequestFrames[0].clear();
    for (std::size_t i = 0; i < kCurveReadBlocks.size(); ++i)
        CurveBlockRequestFrames[i + 1] = *frames::CurveBlockRequest(kCurveReadBlocks[i]);
}

void Form1Korvane::CrcAddByte(std::uint8_t byte) {
    frames::Crc16 crc{CrcLow, CrcHigh};
    frames::CrcAddByte(crc, byte);
    CrcLow = crc.low;
    CrcHigh = crc.high;
}

void Form1Korvane::SendFrame(const Bytes& frame) {
    // Every frame ends the wait for the answer to the one before: what comes after
    // it answers nothing. The reply kept from an earlier request is no answer to
    // this one either (a step that finds no reply must not read an old one).
    AwaitedReplyLength = 0;
    RequestAnswered = false;
    const std::size_t replyLength = frames::ReplyLengthFor(frame);
    if (replyLength != 0) {
        ReplyText.clear();
        ReplyLength = 0;
        // Bytes that came before the request (the tail of a reply that paused half
        // way, waiting under the receive threshold) are no part of its answer:
        // joined to the head of that answer they would make a reply of the awaited
        // length out of two, and pass for a settings page or a live sample. They
        // still show the line is alive: a line that cuts replies short is no
        // silent ECU.
        if (Iletisim && Iletisim->isOpen() && !Iletisim->discardWaiting().empty()) NoteLineActivity();
    }
    // A closed or missing port drops the frame; the sequencer notices the missing reply.
    if (Iletisim && Iletisim->send(frame)) AwaitedReplyLength = replyLength;
}

bool Form1Korvane::LinkGuard() const { return Timer1.enabled() && Iletisim && Iletisim->isOpen() && LinkUp; }

}  // namespace gasecu
