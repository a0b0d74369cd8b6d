#pragma once
// The words of the command line as UTF-8, the program's own name left out. On
// Windows the narrow argv holds them in the ANSI code page, where a curve file
// "C:\Müşteri\Cur_01.txt" named on the command line has already lost its "ş":
// there they are taken from the system's UTF-16 command line instead.
#include <string>
#include <vector>

namespace gasecu {

std::vector<std::string> ProgramArguments(int argc, char** argv);

}  // namespace gasecu
