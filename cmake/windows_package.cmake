# The Windows delivery: one folder with gasecu.exe (the window), gasecu.com (the
# commands), ORJ.DAT beside them, the Qt libraries and plugins and the MinGW
# runtime they need; `cpack -G NSIS` makes the installer from it and
# `cpack -G ZIP` the portable ZIP (scripts/windows_window_test.sh makes both).
#
# Qt's deploy tool does not exist for a cross build from Linux, so what the
# programs load is installed by name: Qt's Core, Gui and Widgets, the platform
# plugins (windows for the screen, offscreen and minimal for runs without one),
# the Windows style, and the three runtime DLLs of the compiler.
set(CMAKE_INSTALL_BINDIR .)
install(TARGETS gasecu gasecu-console RUNTIME DESTINATION .)
install(FILES data/ORJ.DAT DESTINATION .)
# What the .deb says in its copyright file, for Windows: the program's licence,
# SQLite's public-domain notice, Qt's licence (its DLLs ship beside the programs).
install(FILES COPYING DESTINATION . RENAME COPYING.txt)
install(FILES packaging/windows/copyright.txt DESTINATION .)
install(FILES /usr/share/common-licenses/LGPL-3 DESTINATION . RENAME LGPL-3.txt)
# The compiler's runtime DLLs come with their notices, as Debian ships them with
# the packages the DLLs are taken from: GCC's (libstdc++ and libgcc, under the GPL
# with the GCC Runtime Library Exception) and MinGW-w64's (winpthreads).
install(FILES /usr/share/doc/gcc-mingw-w64-base/copyright DESTINATION . RENAME GCC-RUNTIME-COPYRIGHT.txt)
install(FILES /usr/share/doc/mingw-w64-x86-64-dev/copyright DESTINATION . RENAME MINGW-W64-COPYRIGHT.txt)

get_target_property(gasecu_qt_core_dll Qt6::Core IMPORTED_LOCATION_RELEASE)
get_filename_component(gasecu_qt_bin "${gasecu_qt_core_dll}" DIRECTORY)
get_filename_component(gasecu_qt_prefix "${gasecu_qt_bin}" DIRECTORY)
install(FILES "${gasecu_qt_bin}/Qt6Core.dll" "${gasecu_qt_bin}/Qt6Gui.dll" "${gasecu_qt_bin}/Qt6Widgets.dll"
  DESTINATION .)
foreach(plugin platforms/qwindows platforms/qoffscreen platforms/qminimal styles/qwindowsvistastyle)
  get_filename_component(folder "${plugin}" DIRECTORY)
  install(FILES "${gasecu_qt_prefix}/plugins/${plugin}.dll" DESTINATION "${folder}")
endforeach()
# Qt's own Turkish texts (the file dialogs' buttons and columns), taken from
# Debian's translations of the same Qt version: the translations are the same on
# every platform. The program looks for them in translations\ beside itself, so
# the build folder gets a copy beside the window and beside its tests too.
set(GASECU_QT_TRANSLATIONS_DIR /usr/share/qt6/translations CACHE PATH "Where qtbase_tr.qm is found")
set(gasecu_qtbase_tr "${GASECU_QT_TRANSLATIONS_DIR}/qtbase_tr.qm")
if(NOT EXISTS "${gasecu_qtbase_tr}")
  message(FATAL_ERROR "${gasecu_qtbase_tr} is missing (Debian's qt6-translations-l10n carries it)")
endif()
install(FILES "${gasecu_qtbase_tr}" DESTINATION translations)
file(COPY "${gasecu_qtbase_tr}" DESTINATION "${CMAKE_BINARY_DIR}/translations")
file(COPY "${gasecu_qtbase_tr}" DESTINATION "${CMAKE_BINARY_DIR}/tests/translations")

foreach(dll libstdc++-6.dll libgcc_s_seh-1.dll libwinpthread-1.dll)
  execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=${dll}
    OUTPUT_VARIABLE found OUTPUT_STRIP_TRAILING_WHITESPACE)
  if(NOT IS_ABSOLUTE "${found}" OR NOT EXISTS "${found}")
    message(FATAL_ERROR "The compiler does not find its runtime ${dll}")
  endif()
  install(FILES "${found}" DESTINATION .)
endforeach()

# The installer: 64-bit (Wine and today's laptops run no 32-bit installer stub
# here), into Program Files, a Start-menu entry with the program's icon, an
# uninstaller. A second install over the first upgrades it in place (the old
# version is uninstalled first, without asking). The fitter's files live in
# %LOCALAPPDATA%\gasecu, which neither the installer nor the uninstaller touch.
set(CPACK_NSIS_EXECUTABLE makensis)
set(CPACK_NSIS_COMPRESSOR "/SOLID lzma")
set(CPACK_NSIS_PACKAGE_NAME "gasecu")
set(CPACK_NSIS_DISPLAY_NAME "gasecu")
set(CPACK_PACKAGE_INSTALL_DIRECTORY "gasecu")
set(CPACK_PACKAGE_INSTALL_REGISTRY_KEY "gasecu")
set(CPACK_NSIS_INSTALL_ROOT "$PROGRAMFILES64")
set(CPACK_NSIS_ENABLE_UNINSTALL_BEFORE_INSTALL ON)
set(CPACK_NSIS_MUI_ICON "${CMAKE_CURRENT_SOURCE_DIR}/packaging/windows/gasecu.ico")
set(CPACK_NSIS_MUI_UNIICON "${CMAKE_CURRENT_SOURCE_DIR}/packaging/windows/gasecu.ico")
set(CPACK_NSIS_INSTALLED_ICON_NAME "gasecu.exe")
set(CPACK_NSIS_EXECUTABLES_DIRECTORY ".")
set(CPACK_PACKAGE_EXECUTABLES "gasecu" "gasecu")
set(CPACK_NSIS_DEFINES "Target amd64-unicode")
set(CPACK_NSIS_MODIFY_PATH OFF)
# The installed folder is marked, so the program keeps the fitter's files in
# %LOCALAPPDATA%\gasecu (InstalledDataDirectoryFor); the ZIP's folder is not.
set(CPACK_NSIS_EXTRA_INSTALL_COMMANDS "FileOpen $0 '$INSTDIR\\\\gasecu.installed' w\n  FileClose $0")
set(CPACK_NSIS_EXTRA_UNINSTALL_COMMANDS "Delete '$INSTDIR\\\\gasecu.installed'")
