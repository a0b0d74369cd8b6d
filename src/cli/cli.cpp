#include "cli/cli.h"

#include <cstdio>

namespace gasecu::cli {

bool IsCommand(const char*) { return false; }

int RunCommand(int argc, char** argv) {
    std::fprintf(stderr, "unknown command: %s\n", argc > 1 ? argv[1] : "");
    return 2;
}

}  // namespace gasecu::cli
