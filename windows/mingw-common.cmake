# Shared part of the MinGW-w64 toolchain files. The "-win32" compilers use
# native Windows threads, so a static build needs no pthread library.
foreach(tool C CXX)
  set(suffix gcc)
  if(tool STREQUAL "CXX")
    set(suffix g++)
  endif()
  find_program(QV_MINGW_${tool} NAMES ${QV_MINGW_TRIPLET}-${suffix}-win32 ${QV_MINGW_TRIPLET}-${suffix} REQUIRED)
  set(CMAKE_${tool}_COMPILER ${QV_MINGW_${tool}})
endforeach()
find_program(CMAKE_RC_COMPILER NAMES ${QV_MINGW_TRIPLET}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${QV_MINGW_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
