#pragma once
// The tool's entry: the window (or, with a command, the headless service tool).
namespace gasecu {
int RunApplication(int argc, char** argv);
}
