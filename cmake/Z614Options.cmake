# Build options and the flags every target of the project gets.

if(WIN32)
  if(CMAKE_SYSTEM_PROCESSOR STREQUAL "x86_64")
    set(_z614_tests_default ON)   # the win64 tree runs the Windows-side tests under Wine
  else()
    set(_z614_tests_default OFF)  # the win32 tree is the shipping build only
  endif()
  set(_z614_bench_default OFF)
else()
  set(_z614_tests_default ON)
  set(_z614_bench_default ON)
endif()

option(Z614_BUILD_TESTS "Build the tests of this tree" ${_z614_tests_default})
option(Z614_BUILD_BENCHMARKS "Build the native benchmarks" ${_z614_bench_default})
option(Z614_SANITIZE "Native build with AddressSanitizer and UndefinedBehaviorSanitizer" OFF)
option(Z614_FUZZ "Native build of the libFuzzer targets (clang)" OFF)

if(WIN32)
  # No MinGW runtime DLL travels with the executables.
  add_link_options(-static -static-libgcc -static-libstdc++)
  # The lowest header levels that still declare what the setup calls (the system headers stop
  # compiling below 0x0400; the shell functions it uses are those of Internet Explorer 4.0), so
  # a call to something the oldest target lacks does not compile by accident. Both Windows trees
  # use them: the tests see the structures the shipped setup passes.
  add_compile_definitions(WIN32_LEAN_AND_MEAN _WIN32_WINNT=0x0400 WINVER=0x0400 _WIN32_IE=0x0400)
  # shlobj.h would otherwise pull in shldisp.h, whose COM interface FolderItem clashes with the
  # script model's FolderItem (core/script_model.h); the setup needs none of the shell's
  # automation interfaces.
  add_compile_definitions(NO_SHDOCVW_GUIDS)
endif()

if(Z614_SANITIZE AND NOT WIN32)
  add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=all)
  add_link_options(-fsanitize=address,undefined)
endif()

# Warnings are errors in every tree, for the project's own targets.
function(z614_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Werror)
endfunction()

include(WineTests)
