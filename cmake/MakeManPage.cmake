# cmake -DHELP2MAN=... -DPROGRAM=... -DOUTPUT=.../quorvant.1 -P MakeManPage.cmake
#
# Two help2man runs: one on `quorvant check --help`, whose sections become a
# "CHECK COMMAND" section, and one on `quorvant --help` for the page itself.
set(name "check hospital case records for plausibility")
set(work ${OUTPUT}.parts)
file(MAKE_DIRECTORY ${work})

# The page footer shows the program's own version number (the first one its
# --version prints), not the whole version text with the library's details.
set(version_option "")
execute_process(COMMAND ${PROGRAM} --version OUTPUT_VARIABLE version_text RESULT_VARIABLE status)
if(status EQUAL 0 AND version_text MATCHES "([0-9]+(\\.[0-9]+)+)")
  set(version_option "--version-string=${CMAKE_MATCH_1}")
endif()

# help2man passes the help option to the shell, so "check --help" is fine.
execute_process(
  COMMAND ${HELP2MAN} --no-info --section=1 --name=${name} ${version_option} "--help-option=check --help"
          --output=${work}/check.1 ${PROGRAM}
  RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "help2man failed on '${PROGRAM} check --help'")
endif()

# From the check page: its synopsis, then every section after it as a
# subsection (description untitled, the others with their titles).
# (';' and brackets would disturb CMake's lists: stand-ins until the end.)
file(READ ${work}/check.1 text)
string(REPLACE ";" "@QV_SEMICOLON@" text "${text}")
string(REPLACE "[" "@QV_OPEN@" text "${text}")
string(REPLACE "]" "@QV_CLOSE@" text "${text}")
string(REPLACE "\n" ";" lines "${text}")
set(section "")
set(body "")
foreach(line IN LISTS lines)
  if(line MATCHES "^\\.SH +\"?([^\"]*)\"?$")
    set(section "${CMAKE_MATCH_1}")
    if(NOT section MATCHES "^(NAME|SYNOPSIS|DESCRIPTION)$")
      string(APPEND body ".SS \"${section}\"\n")
    elseif(section STREQUAL "DESCRIPTION")
      string(APPEND body ".PP\n")
    endif()
  elseif(line MATCHES "^\\.(\\\\\"|TH )" OR section STREQUAL "" OR section STREQUAL "NAME")
    # comments, the title line and the name line belong to the check page only
  else()
    string(APPEND body "${line}\n")
  endif()
endforeach()
string(REPLACE "@QV_SEMICOLON@" ";" body "${body}")
string(REPLACE "@QV_OPEN@" "[" body "${body}")
string(REPLACE "@QV_CLOSE@" "]" body "${body}")
file(WRITE ${work}/check.h2m "[CHECK COMMAND]\n${body}")

execute_process(
  COMMAND ${HELP2MAN} --no-info --section=1 --name=${name} ${version_option} --include=${work}/check.h2m
          --output=${OUTPUT} ${PROGRAM}
  RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "help2man failed on '${PROGRAM} --help'")
endif()
