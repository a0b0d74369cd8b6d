#pragma once
// The rule for curve file names, shared by the window's file buttons and the
// service commands: the last ten characters of the full path begin with "Cur"
// (case-sensitive), as in ".../Cur_05.txt". Characters, not bytes: a folder or file
// name may carry Turkish letters (two bytes each in UTF-8).
#include <string_view>

namespace gasecu::curve {

bool FollowsCurveFileNameRule(std::string_view fullPath);

}  // namespace gasecu::curve
