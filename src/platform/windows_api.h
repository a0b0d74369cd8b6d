#pragma once
// Windows' own API for the few files that talk to it (wide-character paths,
// the serial port, the console), without the min and max macros that would
// break std::min and std::numeric_limits, and without the header's rarely used
// parts. Nothing on other systems.
#ifdef _WIN32
#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>
#endif
