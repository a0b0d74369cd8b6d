#pragma once
// The fitter's language choice as the window keeps it in "Dilsecim", read
// without starting the window and without writing anything.
#include "app/form1korvane.h"

namespace gasecu {

// The language the window would start in: "Dilsecim" where the window keeps its
// files, else beside the program; 0 Turkish, 1 English, every other value Turkish
// as at start-up. The service commands speak it before their session starts.
int StoredLanguageIndex(const FormEnvironment& environment);

}  // namespace gasecu
