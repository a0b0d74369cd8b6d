#pragma once
// The four arrow keys as the curve editor asks for them. The window feeds its own
// key events in, and only while it has the keyboard focus: keys typed into another
// program must never edit the curve. A key counts as active while it is down and,
// once, at the first query after a press that was already released again.
#include <array>
#include <cstdint>

namespace gasecu {

enum class ArrowKey { Up = 0, Down = 1, Left = 2, Right = 3 };

class ArrowKeyState {
public:
    void keyDown(ArrowKey key) {
        auto& k = keys_[static_cast<int>(key)];
        k.down = true;
        k.pressedSinceQuery = true;
    }
    void keyUp(ArrowKey key) { keys_[static_cast<int>(key)].down = false; }
    // The window lost the focus: every key counts as released and forgotten.
    void focusLost() { keys_ = {}; }

    // Like the platform's asynchronous key query: bit 15 set while the key is down,
    // bit 0 set when it was pressed since the previous query; 0 when inactive.
    std::int16_t query(ArrowKey key) {
        auto& k = keys_[static_cast<int>(key)];
        std::int16_t state = static_cast<std::int16_t>((k.down ? 0x8000 : 0) | (k.pressedSinceQuery ? 1 : 0));
        k.pressedSinceQuery = false;
        return state;
    }
    bool active(ArrowKey key) { return query(key) != 0; }
    // Down now, or pressed since the last query; asks nothing, so the press of a
    // key tapped between two polls is still there for the poller's decision.
    bool pending(ArrowKey key) const {
        const Key& k = keys_[static_cast<int>(key)];
        return k.down || k.pressedSinceQuery;
    }
    // Some arrow key is down now (asks nothing: a press already over is not counted).
    bool anyDown() const {
        for (const Key& k : keys_)
            if (k.down) return true;
        return false;
    }

private:
    struct Key {
        bool down = false;
        bool pressedSinceQuery = false;
    };
    std::array<Key, 4> keys_{};
};

}  // namespace gasecu
