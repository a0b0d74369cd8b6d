# What a Debian system expects beside the programs: the copyright file, the
# changelog, a manual page for each program and the AppStream metadata software
# centres read. Included on Linux only, after the programs' targets.
#
# The manual pages are made at build time from the programs' own --help, so a
# command or option added to the help is in the page without a second edit
# (tests/man checks that every command, option and exit status is).
find_program(GASECU_HELP2MAN help2man REQUIRED)
find_program(GASECU_GZIP gzip REQUIRED)

set(doc_out "${CMAKE_CURRENT_BINARY_DIR}/debian-documents")
file(MAKE_DIRECTORY "${doc_out}")

# gasecu_man_page(TARGET SUMMARY [help2man options...]): doc_out/TARGET.1 and
# its compressed form TARGET.1.gz (gzip -9n: no name nor time stamp inside).
function(gasecu_man_page target summary)
  set(page "${doc_out}/${target}.1")
  add_custom_command(OUTPUT "${page}" "${page}.gz"
    COMMAND ${GASECU_HELP2MAN} --no-info --section=1 "--name=${summary}" ${ARGN}
            "--output=${page}" "$<TARGET_FILE:${target}>"
    COMMAND ${GASECU_GZIP} -9nf -k "${page}"
    DEPENDS ${target}
    COMMENT "Manual page ${target}(1) from ${target} --help"
    VERBATIM)
  add_custom_target(${target}_man ALL DEPENDS "${page}.gz")
  install(FILES "${page}.gz" DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
endfunction()
gasecu_man_page(gasecu "service tool for sequential LPG/CNG gas-injection controllers")
gasecu_man_page(gasecu-sim "virtual gas-injection controller on a pseudo-terminal"
  "--version-string=${PROJECT_VERSION}")

# A native package's changelog, in Debian's format, kept in packaging/.
add_custom_command(OUTPUT "${doc_out}/changelog.gz"
  COMMAND ${CMAKE_COMMAND} -E copy "${CMAKE_CURRENT_SOURCE_DIR}/packaging/changelog" "${doc_out}/changelog"
  COMMAND ${GASECU_GZIP} -9nf "${doc_out}/changelog"
  DEPENDS "${CMAKE_CURRENT_SOURCE_DIR}/packaging/changelog"
  VERBATIM)
add_custom_target(gasecu_changelog ALL DEPENDS "${doc_out}/changelog.gz")

install(FILES packaging/copyright "${doc_out}/changelog.gz" DESTINATION ${CMAKE_INSTALL_DOCDIR})
install(FILES packaging/org.example.gasecu.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)

# A stripped install (the Debian package's) also drops the compiler's notes, as
# Debian's own packaging tools do.
install(CODE "
  if(CMAKE_INSTALL_DO_STRIP)
    foreach(program gasecu gasecu-sim)
      execute_process(COMMAND \"${CMAKE_STRIP}\" --remove-section=.comment --remove-section=.note
                      \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}/\${program}\"
                      COMMAND_ERROR_IS_FATAL ANY)
    endforeach()
  endif()")
