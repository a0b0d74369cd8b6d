#pragma once
// The fitter's own data folder, where an installed program keeps its files
// (Dilsecim, Cur_00.txt, SonPort, the history): ~/.local/share/gasecu on Linux,
// %LOCALAPPDATA%\gasecu on Windows. The local, not the roaming, folder: the
// history and the data logs belong to this laptop, and a roaming profile copied
// at every domain log-on is no place for them. Never the program's own folder
// under Program Files, which a fitter's account cannot write. Needs the
// QCoreApplication (its name is the folder's).
#include <filesystem>

namespace gasecu {

std::filesystem::path UserDataFolder();

}  // namespace gasecu
