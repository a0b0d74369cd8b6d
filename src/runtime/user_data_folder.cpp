#include "runtime/user_data_folder.h"

#include <QStandardPaths>

#include "curve/curve_file_io.h"

namespace gasecu {

std::filesystem::path UserDataFolder() {
    // QString gives UTF-8; a narrow path would read it in the ANSI code page on Windows.
    return curve::PathFromUtf8(QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation).toStdString());
}

}  // namespace gasecu
