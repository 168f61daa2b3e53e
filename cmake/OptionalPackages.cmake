# Tests and benchmarks need packages the checker itself does not; a plain
# build goes on without them and says what it left out.
#
# qv_optional_package(SWITCH PACKAGE WHAT DEBIAN_PACKAGES) resolves SWITCH
# (AUTO, ON or OFF) to ON or OFF in the caller's scope: AUTO is ON when
# find_package(PACKAGE) succeeds, ON fails the configuration without it.
function(qv_optional_package switch package what debian)
  set(value "${${switch}}")
  if(value STREQUAL "AUTO")
    find_package(${package} QUIET)
    if(${package}_FOUND)
      set(result ON)
    else()
      message(STATUS "Skipping the ${what}: ${package} not found (Debian: ${debian}; -D${switch}=ON requires it)")
      set(result OFF)
    endif()
  elseif(value)
    find_package(${package} REQUIRED)
    set(result ON)
  else()
    message(STATUS "Skipping the ${what} (-D${switch}=OFF)")
    set(result OFF)
  endif()
  set(${switch} ${result} PARENT_SCOPE)
endfunction()
