# Precompiled headers. Much of a source file's compile time here goes into
# parsing the same standard, Qt and GoogleTest headers again, and the README's
# test command builds everything from nothing on a fresh clone: each large target
# parses them once instead.
#
# The lists hold only headers from outside the project, so editing a project
# header never rebuilds a precompiled one. A source still includes what it uses
# itself: the headers below are only parsed ahead of it.
option(GASECU_PCH "Precompile the standard, Qt and GoogleTest headers of the large targets" ON)

set(GASECU_PCH_STANDARD
  <algorithm> <array> <chrono> <cmath> <cstdint> <cstdio> <cstdlib> <filesystem>
  <fstream> <functional> <map> <memory> <optional> <sstream> <string>
  <string_view> <system_error> <utility> <vector>)
set(GASECU_PCH_QT
  <QApplication> <QCheckBox> <QComboBox> <QGridLayout> <QHBoxLayout> <QKeyEvent>
  <QLabel> <QLineEdit> <QMouseEvent> <QPainter> <QProgressBar> <QPushButton>
  <QTimer> <QVBoxLayout> <QWidget>)
set(GASECU_PCH_TEST <gtest/gtest.h>)

# ccache keeps compiles that use a precompiled header only when told that the
# header's macros and time stamps need not be part of the key (the header itself
# is still hashed). Without ccache nothing changes here.
if(GASECU_PCH AND CMAKE_CXX_COMPILER_LAUNCHER MATCHES "ccache$")
  set(CMAKE_CXX_COMPILER_LAUNCHER env
    "CCACHE_SLOPPINESS=pch_defines,time_macros,include_file_mtime,include_file_ctime"
    ${CMAKE_CXX_COMPILER_LAUNCHER})
endif()

# gasecu_precompile(TARGET [QT] [TEST]): the standard headers, and Qt's widget
# headers and GoogleTest's when asked, precompiled once for TARGET.
function(gasecu_precompile target)
  if(NOT GASECU_PCH)
    return()
  endif()
  set(headers ${GASECU_PCH_STANDARD})
  if("QT" IN_LIST ARGN)
    list(APPEND headers ${GASECU_PCH_QT})
  endif()
  if("TEST" IN_LIST ARGN)
    list(APPEND headers ${GASECU_PCH_TEST})
  endif()
  target_precompile_headers(${target} PRIVATE ${headers})
  # GCC 12 at -O2 inlines std::string's copies differently when the standard
  # headers come precompiled, and then reports its known false out-of-bounds
  # positives inside them (on a plain `text = "..."`), in files that compile
  # without a word otherwise.
  if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
    target_compile_options(${target} PRIVATE -Wno-array-bounds -Wno-stringop-overflow)
  endif()
endfunction()
