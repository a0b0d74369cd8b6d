#pragma once
// The one entry point of a fuzz target. libFuzzer calls it with generated inputs
// in the clang fuzz build; replay_main.cpp calls it with the checked-in corpus in
// every other build. A target reports a fault by aborting (FUZZ_EXPECT), so both
// drivers and the sanitizers see it the same way.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

#define FUZZ_EXPECT(condition)                                                                   \
    do {                                                                                         \
        if (!(condition)) {                                                                      \
            std::fprintf(stderr, "%s:%d: expectation failed: %s\n", __FILE__, __LINE__, #condition); \
            std::abort();                                                                        \
        }                                                                                        \
    } while (false)
