# Cross build for 64-bit Windows with MinGW-w64 (Debian's g++-mingw-w64-x86-64-posix).
# Builds what needs no Qt: the core, the virtual ECU and the core's tests, as
# Windows programs that CTest runs with Wine (scripts/windows_test.sh).
#   cmake -S . -B build-windows -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64-x86_64-compilers.cmake)

# One self-contained .exe each: the C++ runtime and the threads library linked in,
# so neither Wine nor a bare Windows machine has to find MinGW's DLLs.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")

# CTest (and GoogleTest's test discovery) start the programs through Wine, in a
# prefix of their own inside the build directory.
set(CMAKE_CROSSCOMPILING_EMULATOR "${CMAKE_CURRENT_LIST_DIR}/../scripts/wine_run.sh;${CMAKE_BINARY_DIR}/wine")
