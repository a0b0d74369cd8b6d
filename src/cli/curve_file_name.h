#pragma once
// The window's rule for curve file names, checked before a read-curve command
// spends twelve seconds on the line: the last ten characters of the full path
// begin with "Cur" (case-sensitive), as in ".../Cur_05.txt". The window's save
// button applies the same rule again when the file is written.
#include <string_view>

namespace gasecu::cli {

// Characters, not bytes: a folder may carry Turkish letters (two bytes in UTF-8).
bool CurveFileNameAcceptable(std::string_view fullPath);

}  // namespace gasecu::cli
