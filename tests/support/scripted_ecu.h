#pragma once
// A small scripted stand-in for the controller, for tests of the link: it answers
// live requests, settings pages and curve block requests with fixed-length
// replies built from its public fields, on one port number only.
#include <array>
#include <cstdint>
#include <functional>
#include <map>

#include "platform/bytes.h"

namespace gasecu::test {

struct ScriptedEcu {
    int portNumber = 4;
    Bytes liveReply;                         // 13 bytes
    std::map<int, Bytes> pages;              // page number -> 13-byte reply
    std::array<std::uint8_t, 6> header{4, 25, 116, 110, 134, 122};
    // Rises of the six bands (blocks 11..16), 18 each.
    std::array<std::array<std::uint8_t, 18>, 6> bandRises{};
    int fuelStatus = 2;
    // Last chance to change (cut, drop) a reply; gets the frame that asked.
    std::function<Bytes(const Bytes& frame, Bytes reply)> tamper;

    ScriptedEcu();
    Bytes answer(int port, const Bytes& frame) const;
};

}  // namespace gasecu::test
