#include "app/default_curve.h"

#include "platform/atomic_file_write.h"

namespace gasecu {

const std::string& DefaultCurveFileText() {
    static const std::string text = [] {
        std::string axis = "30 60 90 120 150 180 210 240 270 300 330 360 390 420 450 480 510 540 \r\n";
        std::string t = "4 25 116 110 134 122 \r\n";
        for (int i = 0; i < 7; ++i) t += axis;
        t += "<::::> \r\n";
        return t;
    }();
    return text;
}

bool WriteDefaultCurveFile(const std::filesystem::path& path) {
    return WriteFileAtomically(path, DefaultCurveFileText());
}

}  // namespace gasecu
