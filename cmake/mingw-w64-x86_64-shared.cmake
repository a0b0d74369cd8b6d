# Cross build for 64-bit Windows with MinGW-w64 against the shared C++ runtime
# (libstdc++-6.dll, libgcc_s_seh-1.dll, libwinpthread-1.dll): Qt's DLLs are
# built with it, so the window and the commands built on that Qt
# (scripts/windows_window_test.sh) use this file. Qt's own
# qt.toolchain.cmake loads it after Qt's settings.
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64-x86_64-compilers.cmake)

# CTest starts the test programs through Wine, in a prefix of their own inside
# the build directory.
set(CMAKE_CROSSCOMPILING_EMULATOR "${CMAKE_CURRENT_LIST_DIR}/../scripts/wine_run.sh;${CMAKE_BINARY_DIR}/wine")
