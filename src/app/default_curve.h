#pragma once
#include <filesystem>
#include <string>

namespace gasecu {

// The nine lines of the default curve file "Cur_00.txt", each ended by CR LF.
const std::string& DefaultCurveFileText();

// Writes the default curve; false (and nothing thrown) when the file cannot be written.
bool WriteDefaultCurveFile(const std::filesystem::path& path);

}  // namespace gasecu
