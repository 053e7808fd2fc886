# Libraries that the setup binds at run time from the system folder instead of importing them
# statically (sys/runtime_imports.cpp says why and how). For each, a delay-import library is
# made with the toolchain's dlltool from the toolchain's own import library, so every function
# that import library offers can be called by its ordinary name.

# z614_runtime_import_libraries(OUT_VAR name...): OUT_VAR gets the delay-import libraries.
function(z614_runtime_import_libraries out_var)
  set(folder "${CMAKE_BINARY_DIR}/runtime-imports")
  file(MAKE_DIRECTORY "${folder}")
  set(libraries "")
  foreach(name IN LISTS ARGN)
    find_library(z614_import_${name} NAMES "lib${name}.a" REQUIRED NO_CACHE)
    set(import_library "${z614_import_${name}}")
    set(delay_library "${folder}/lib${name}_runtime.a")
    if(NOT EXISTS "${delay_library}" OR "${import_library}" IS_NEWER_THAN "${delay_library}"
       OR "${CMAKE_CURRENT_FUNCTION_LIST_FILE}" IS_NEWER_THAN "${delay_library}")
      execute_process(COMMAND "${CMAKE_NM}" -g "${import_library}"
                      OUTPUT_VARIABLE symbols ERROR_QUIET COMMAND_ERROR_IS_FATAL ANY)
      # Each import's address slot is "__imp_" and its symbol, which i686 decorates with a
      # leading underscore and the stdcall suffix (@N, dropped again by dlltool -k).
      string(REGEX MATCHALL " I __imp_[^\r\n]+" slots "${symbols}")
      set(definition "LIBRARY ${name}.dll\nEXPORTS\n")
      foreach(slot IN LISTS slots)
        string(REGEX REPLACE "^ I __imp_" "" symbol "${slot}")
        if(CMAKE_SIZEOF_VOID_P EQUAL 4)
          string(REGEX REPLACE "^_" "" symbol "${symbol}")
        endif()
        string(APPEND definition "${symbol}\n")
      endforeach()
      file(WRITE "${folder}/${name}.def" "${definition}")
      execute_process(COMMAND "${CMAKE_DLLTOOL}" -k --input-def "${folder}/${name}.def"
                              --dllname "${name}.dll" --output-delaylib "${delay_library}"
                      COMMAND_ERROR_IS_FATAL ANY)
    endif()
    list(APPEND libraries "${delay_library}")
  endforeach()
  set(${out_var} "${libraries}" PARENT_SCOPE)
endfunction()
