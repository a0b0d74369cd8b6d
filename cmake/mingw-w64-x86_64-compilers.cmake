# The MinGW-w64 compilers and search roots every Windows build here shares
# (Debian's g++-mingw-w64-x86-64-posix). Included by the toolchain files, and the
# toolchain Qt for Windows is built with (scripts/build_qt_mingw.sh).
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
