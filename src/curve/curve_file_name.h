#pragma once
// The rule for curve file names, shared by the window's file buttons and the
// service commands: the last ten characters of the full path begin with "Cur"
// (case-sensitive), as in ".../Cur_05.txt". Characters, not bytes: a folder or file
// name may carry Turkish letters (two bytes each in UTF-8).
#include <string_view>

namespace gasecu::curve {

bool FollowsCurveFileNameRule(std::string_view fullPath);

// The file name is the default curve's, "Cur_00.txt" (letters in either case, as
// Windows does not tell them apart), in whatever folder: the tool rewrites that
// file at every start, so a curve saved under the name would be lost.
bool NamesTheDefaultCurveFile(std::string_view fullPath);

}  // namespace gasecu::curve
