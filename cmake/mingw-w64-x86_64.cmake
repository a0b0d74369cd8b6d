# Cross build for 64-bit Windows with MinGW-w64 (Debian's g++-mingw-w64-x86-64-posix).
# Builds what needs no Qt: the core, the virtual ECU and the core's tests, as
# Windows programs that CTest runs with Wine (scripts/windows_test.sh).
#   cmake -S . -B build-windows -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(GASECU_MINGW_TRIPLE x86_64-w64-mingw32)
# The posix flavour: std::thread and std::mutex, which GoogleTest uses.
set(CMAKE_C_COMPILER ${GASECU_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${GASECU_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${GASECU_MINGW_TRIPLE}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${GASECU_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# One self-contained .exe each: the C++ runtime and the threads library linked in,
# so neither Wine nor a bare Windows machine has to find MinGW's DLLs.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")

# CTest (and GoogleTest's test discovery) start the programs through Wine, in a
# prefix of their own inside the build directory.
set(CMAKE_CROSSCOMPILING_EMULATOR "${CMAKE_CURRENT_LIST_DIR}/../scripts/wine_run.sh;${CMAKE_BINARY_DIR}/wine")
