#pragma once
// The computer's own name ("atolye-2"): what a laptop is called in the workshop's
// history unless its server file names it otherwise.
#include <string>

namespace gasecu {

// The host name as UTF-8; "laptop" when the system gives none.
std::string HostName();

}  // namespace gasecu
