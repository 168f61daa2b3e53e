# The test "installed_package": installs this build into a temporary prefix
# and builds examples/consumer against it as an integrator would, through
# the pkg-config file and through find_package(Quorvant), then runs the
# hosts and the installed checker without LD_LIBRARY_PATH. Checks the
# installed man page too, when the build made one.
if(WIN32 OR CMAKE_CROSSCOMPILING)
  return()
endif()
if(QV_SANITIZE)
  # A host built without the sanitizers cannot load the instrumented library.
  message(STATUS "Skipping the installed-package test in the sanitizer build")
  return()
endif()
find_program(QV_PKG_CONFIG pkg-config)
if(NOT QV_PKG_CONFIG)
  message(STATUS "pkg-config not found (Debian: pkg-config): the installed-package test uses find_package only")
endif()
add_test(NAME installed_package
  COMMAND ${CMAKE_COMMAND}
    -DBUILD_DIR=${CMAKE_BINARY_DIR} -DSOURCE_DIR=${CMAKE_SOURCE_DIR}
    -DWORK_DIR=${CMAKE_BINARY_DIR}/installed-package-test
    -DC_COMPILER=${CMAKE_C_COMPILER} -DPKG_CONFIG=${QV_PKG_CONFIG} -DGENERATOR=${CMAKE_GENERATOR}
    -DLIBDIR=${CMAKE_INSTALL_LIBDIR} -DSONAME=libquorvant.so.${PROJECT_VERSION_MAJOR} -DMAN_PAGE=${QV_MAN_PAGE}
    -P ${CMAKE_CURRENT_LIST_DIR}/RunConsumerTest.cmake)
