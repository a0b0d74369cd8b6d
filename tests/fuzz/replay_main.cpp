// Runs a fuzz target over files, as a plain program: every file named, and every
// file in every directory named (sorted, so a failure repeats in the same order).
// Used by CTest to keep the checked-in corpus passing in the ordinary builds, and
// by hand to replay a crash a long run saved. Fails when it found nothing to run,
// so a moved corpus cannot pass unnoticed.
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <vector>

#include "fuzz_target.h"
#include "curve/curve_file_io.h"

namespace {

std::vector<std::filesystem::path> InputsIn(const std::filesystem::path& named) {
    std::vector<std::filesystem::path> files;
    if (std::filesystem::is_directory(named)) {
        for (const auto& entry : std::filesystem::directory_iterator(named))
            if (entry.is_regular_file()) files.push_back(entry.path());
        std::sort(files.begin(), files.end());
    } else if (std::filesystem::is_regular_file(named)) {
        files.push_back(named);
    }
    return files;
}

}  // namespace

int main(int argc, char** argv) {
    std::size_t replayed = 0;
    for (int i = 1; i < argc; ++i) {
        for (const auto& file : InputsIn(argv[i])) {
            std::ifstream in(file, std::ios::binary);
            const std::vector<char> bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
            // Announced first, so the input that aborts is the last one named.
            std::cerr << "replay " << gasecu::curve::Utf8FromPath(file) << "\n";
            LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
            ++replayed;
        }
    }
    std::cout << "replayed " << replayed << " inputs\n";
    return replayed > 0 ? 0 : 1;
}
