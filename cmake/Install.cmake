# What `cmake --install build --prefix DIR` puts into DIR:
#   bin/quorvant                          the checker (finds lib/ through its rpath)
#   lib/libquorvant.so.6.0.8 (+ .so.6, .so) the library (quorvant.dll in bin/ on Windows)
#   include/quorvant.h                    the public header
#   lib/pkgconfig/quorvant.pc             for pkg-config
#   lib/cmake/Quorvant/                   for find_package(Quorvant): Quorvant::quorvant
#   share/quorvant/ref/                   the reference data (the checker's default)
#   share/man/man1/quorvant.1             the man page, when help2man was found
# Every path inside the tree is relative, so the tree can be moved. The
# checker looks for its reference data in ../share/quorvant/ref/ from its own
# directory: keep CMAKE_INSTALL_BINDIR and CMAKE_INSTALL_DATADIR at their
# defaults (bin, share).
include(CMakePackageConfigHelpers)

set(QV_INSTALL_REFDIR ${CMAKE_INSTALL_DATADIR}/quorvant/ref)
set(QV_INSTALL_CMAKEDIR ${CMAKE_INSTALL_LIBDIR}/cmake/Quorvant)

install(TARGETS quorvant EXPORT QuorvantTargets
  LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR}
  ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR}
  RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${CMAKE_SOURCE_DIR}/include/quorvant.h DESTINATION ${CMAKE_INSTALL_INCLUDEDIR})
if(TARGET reference_data)
  install(DIRECTORY ${QV_REF_DIR}/ DESTINATION ${QV_INSTALL_REFDIR})
endif()

if(TARGET quorvant_cli)
  # The program finds the library relative to itself.
  file(RELATIVE_PATH qv_bin_to_lib ${CMAKE_INSTALL_FULL_BINDIR} ${CMAKE_INSTALL_FULL_LIBDIR})
  set_target_properties(quorvant_cli PROPERTIES INSTALL_RPATH "$ORIGIN/${qv_bin_to_lib}")
  install(TARGETS quorvant_cli RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
endif()

# pkg-config: paths relative to the .pc file itself. Libs carries an rpath,
# so a host built with `pkg-config --libs` runs without LD_LIBRARY_PATH also
# from a prefix outside the linker's default directories.
set(qv_pc_dir ${CMAKE_INSTALL_LIBDIR}/pkgconfig)
if(IS_ABSOLUTE "${qv_pc_dir}")
  set(QV_PC_PREFIX "${CMAKE_INSTALL_PREFIX}")
else()
  file(RELATIVE_PATH qv_pc_up /${qv_pc_dir} /)
  set(QV_PC_PREFIX "\${pcfiledir}/${qv_pc_up}")
  string(REGEX REPLACE "/$" "" QV_PC_PREFIX "${QV_PC_PREFIX}")
endif()
configure_file(${CMAKE_CURRENT_LIST_DIR}/quorvant.pc.in ${CMAKE_BINARY_DIR}/quorvant.pc @ONLY)
install(FILES ${CMAKE_BINARY_DIR}/quorvant.pc DESTINATION ${qv_pc_dir})

# CMake package: find_package(Quorvant 6) gives the target Quorvant::quorvant
# and Quorvant_REFERENCE_DIR; a later 6.x satisfies a request for 6.y.
install(EXPORT QuorvantTargets NAMESPACE Quorvant:: DESTINATION ${QV_INSTALL_CMAKEDIR})
configure_package_config_file(${CMAKE_CURRENT_LIST_DIR}/QuorvantConfig.cmake.in
  ${CMAKE_BINARY_DIR}/QuorvantConfig.cmake
  INSTALL_DESTINATION ${QV_INSTALL_CMAKEDIR}
  PATH_VARS QV_INSTALL_REFDIR)
write_basic_package_version_file(${CMAKE_BINARY_DIR}/QuorvantConfigVersion.cmake
  COMPATIBILITY SameMajorVersion)
install(FILES ${CMAKE_BINARY_DIR}/QuorvantConfig.cmake ${CMAKE_BINARY_DIR}/QuorvantConfigVersion.cmake
  DESTINATION ${QV_INSTALL_CMAKEDIR})
