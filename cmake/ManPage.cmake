# The man page quorvant(1), made at build time by help2man from what the
# built program prints for --help, --version and `check --help`, so that it
# cannot drift from the program. Skipped, with a note, without help2man and
# where the program cannot run on the build machine.
if(NOT TARGET quorvant_cli)
  return()
endif()
if(CMAKE_CROSSCOMPILING)
  message(STATUS "Skipping the man page: the program cannot run on this build machine")
  return()
endif()
if(QV_SANITIZE)
  message(STATUS "Skipping the man page in the sanitizer build")
  return()
endif()
find_program(QV_HELP2MAN help2man)
if(NOT QV_HELP2MAN)
  message(STATUS "Skipping the man page: help2man not found (Debian: help2man)")
  return()
endif()

set(QV_MAN_PAGE ${CMAKE_BINARY_DIR}/quorvant.1)
add_custom_command(
  OUTPUT ${QV_MAN_PAGE}
  COMMAND ${CMAKE_COMMAND} -DHELP2MAN=${QV_HELP2MAN} -DPROGRAM=$<TARGET_FILE:quorvant_cli>
          -DOUTPUT=${QV_MAN_PAGE} -P ${CMAKE_CURRENT_LIST_DIR}/MakeManPage.cmake
  DEPENDS quorvant_cli ${CMAKE_CURRENT_LIST_DIR}/MakeManPage.cmake
  COMMENT "Generating the man page quorvant.1 from the program's help"
  VERBATIM)
add_custom_target(man_page ALL DEPENDS ${QV_MAN_PAGE})
install(FILES ${QV_MAN_PAGE} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
