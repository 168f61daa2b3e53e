# Run by the test "installed_package" (cmake/ConsumerTest.cmake).
unset(ENV{LD_LIBRARY_PATH})
set(prefix ${WORK_DIR}/prefix)
set(sample ${SOURCE_DIR}/examples/sample.dat)
file(REMOVE_RECURSE ${WORK_DIR})

function(run what)
  execute_process(COMMAND ${ARGN} RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "${what} failed (${status}):\n${out}\n${err}")
  endif()
  set(out "${out}" PARENT_SCOPE)
endfunction()

# The host's findings on the sample: a line per finding with the file line
# of its case, and all 200 cases checked.
function(expect_findings what host base)
  execute_process(COMMAND ${host} ${base} ${sample} RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)
  if(NOT status EQUAL 1)
    message(FATAL_ERROR "${what}: exit status ${status}, expected 1 (findings):\n${out}\n${err}")
  endif()
  if(NOT out MATCHES "sample\\.dat:14: E: B1211 " OR NOT out MATCHES "200 cases, [1-9][0-9]* with findings")
    message(FATAL_ERROR "${what}: the output lacks the sample's findings:\n${out}\n${err}")
  endif()
  message(STATUS "${what}: ok")
endfunction()

run("install" ${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${prefix})
foreach(file include/quorvant.h ${LIBDIR}/${SONAME} ${LIBDIR}/libquorvant.so ${LIBDIR}/pkgconfig/quorvant.pc
             ${LIBDIR}/cmake/Quorvant/QuorvantConfig.cmake ${LIBDIR}/cmake/Quorvant/QuorvantConfigVersion.cmake
             share/quorvant/ref/fields.ix5 bin/quorvant)
  if(NOT EXISTS ${prefix}/${file})
    message(FATAL_ERROR "not installed: ${file}")
  endif()
endforeach()

# The man page holds the program's help and that of the check command.
if(MAN_PAGE)
  file(READ ${prefix}/share/man/man1/quorvant.1 page)
  if(NOT page MATCHES "\\.TH QUORVANT \"1\"" OR NOT page MATCHES "CHECK COMMAND" OR NOT page MATCHES "-format")
    message(FATAL_ERROR "the installed man page lacks its title, the check command or its options:\n${page}")
  endif()
endif()

if(PKG_CONFIG)
  set(ENV{PKG_CONFIG_PATH} ${prefix}/${LIBDIR}/pkgconfig)
  run("pkg-config" ${PKG_CONFIG} --cflags --libs quorvant)
  separate_arguments(flags UNIX_COMMAND "${out}")
  run("pkg-config refdir" ${PKG_CONFIG} --variable=refdir quorvant)
  string(STRIP "${out}" refdir)
  run("build through pkg-config" ${C_COMPILER} -std=c11 -Wall -Wextra -Werror
      ${SOURCE_DIR}/examples/consumer/host.c ${flags} -o ${WORK_DIR}/host-pkg-config)
  expect_findings("host built through pkg-config" ${WORK_DIR}/host-pkg-config ${refdir})
endif()

run("configure through find_package" ${CMAKE_COMMAND} -S ${SOURCE_DIR}/examples/consumer -B ${WORK_DIR}/consumer
    -G ${GENERATOR} -DCMAKE_C_COMPILER=${C_COMPILER} -DCMAKE_PREFIX_PATH=${prefix})
run("build through find_package" ${CMAKE_COMMAND} --build ${WORK_DIR}/consumer)
expect_findings("host built through find_package" ${WORK_DIR}/consumer/host ${prefix}/share/quorvant/ref/)

# A moved tree still works: the checker finds its library and reference data
# relative to itself.
file(RENAME ${prefix} ${WORK_DIR}/moved)
execute_process(COMMAND ${WORK_DIR}/moved/bin/quorvant check --no-progress --jobs 1 ${sample}
                RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)
if(NOT status EQUAL 1 OR NOT out MATCHES "B1211")
  message(FATAL_ERROR "the moved, installed checker: status ${status}\n${out}\n${err}")
endif()
message(STATUS "installed checker in a moved tree: ok")
file(REMOVE_RECURSE ${WORK_DIR})
