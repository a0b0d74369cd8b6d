#include "support/scripted_ecu.h"

#include "support/scripted_port.h"

namespace gasecu::test {

ScriptedEcu::ScriptedEcu() {
    liveReply = Reply13({{2, 2}, {3, 0xE8}, {4, 0x03}, {5, 0xD0}, {6, 0x07}, {7, 0xDC}, {8, 0x05}, {9, 128}, {11, 100}, {12, 120}});
    for (int page : {1, 2, 3, 4, 5, 6, 7, 8}) pages[page] = Reply13({{2, 2}});
    pages[1] = Reply13({{2, 2}, {6, 4}});
    pages[4] = Reply13({{2, 2}, {6, 85}, {7, 182}});
    pages[5] = Reply13({{2, 2}, {3, 56}, {4, 1}, {9, 70}, {12, 60}});
    for (std::size_t b = 0; b < bandRises.size(); ++b)
        for (std::size_t p = 0; p < 18; ++p) bandRises[b][p] = static_cast<std::uint8_t>(p == 0 ? 5 + b : (p + b) % 7);
}

Bytes ScriptedEcu::answer(int port, const Bytes& frame) const {
    if (port != portNumber || frame.size() < 4) return {};
    Bytes reply;
    if (frame[0] == 110) {
        reply = liveReply;
    } else if (frame[0] == 109 && frame.size() == 5) {
        auto it = pages.find(frame[2]);
        if (it != pages.end()) reply = it->second;
    } else if (frame[0] == 106 && frame.size() == 5) {
        int block = frame[2];
        if (block == 10) {
            reply = Reply13({});
            for (std::size_t i = 0; i < 6; ++i) reply[2 + i] = header[i];
        } else if (block >= 11 && block <= 16) {
            reply.assign(20, 0);
            reply[0] = 1;
            reply[19] = 10;
            for (std::size_t p = 0; p < 18; ++p) reply[1 + p] = bandRises[static_cast<std::size_t>(block - 11)][p];
        }
    }
    // A band block's byte 2 is its first rise; every 13-byte reply carries the fuel status.
    if (reply.size() == 13) reply[1] = static_cast<std::uint8_t>(fuelStatus);
    if (tamper) reply = tamper(frame, std::move(reply));
    return reply;
}

}  // namespace gasecu::test
