# Registration of Windows-side tests: each run gets the Windows version it asks for, and runs
# of one version share that version's prefix one at a time (RESOURCE_LOCK).

set(Z614_WINE_ROOT "${CMAKE_BINARY_DIR}/wine" CACHE PATH "Folder of the Wine prefixes of this tree")

# z614_add_wine_test(NAME name VERSIONS v1 v2 ... COMMAND target-or-exe args...
#                    [ENVIRONMENT VAR=value...] [TIMEOUT seconds] [LABELS l...] [SERIAL])
# SERIAL runs the test while no other test runs: all prefixes share one display, and a
# screenshot of the screen must not catch another prefix's desktop on top.
# "@VERSION@" in an ENVIRONMENT value stands for the run's Windows version.
function(z614_add_wine_test)
  cmake_parse_arguments(T "SERIAL" "NAME;TIMEOUT" "VERSIONS;COMMAND;ENVIRONMENT;LABELS" ${ARGN})
  if(NOT T_VERSIONS)
    set(T_VERSIONS winxp)
  endif()
  if(NOT T_TIMEOUT)
    set(T_TIMEOUT 300)
  endif()
  foreach(version IN LISTS T_VERSIONS)
    set(test_name "${T_NAME}.${version}")
    add_test(NAME ${test_name} COMMAND ${T_COMMAND})
    string(REPLACE "@VERSION@" "${version}" environment "${T_ENVIRONMENT}")
    set_tests_properties(${test_name} PROPERTIES
      ENVIRONMENT "Z614_WINE_VERSION=${version};Z614_WINE_ROOT=${Z614_WINE_ROOT};${environment}"
      RESOURCE_LOCK "wine-${version}"
      TIMEOUT ${T_TIMEOUT}
      LABELS "wine;${T_LABELS}")
    if(T_SERIAL)
      set_tests_properties(${test_name} PROPERTIES RUN_SERIAL TRUE)
    endif()
  endforeach()
endfunction()
