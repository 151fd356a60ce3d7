# Delay-load import libraries for system DLLs that are not KnownDLLs. The
# loader resolves static imports before our entry runs, when the search path
# still includes the executable's own folder; a delay-loaded DLL is loaded
# only after the entry has restricted the search to System32.
#
# The .def for each DLL is derived from the toolchain's own import library.
function(skinsetup_delay_lib OUT_VAR)
  set(libs)
  foreach(name ${ARGN})
    set(imp /usr/${SKINSETUP_TRIPLE}/lib/lib${name}.a)
    set(def ${CMAKE_BINARY_DIR}/delayload/${name}.def)
    set(out ${CMAKE_BINARY_DIR}/delayload/lib${name}_delay.a)
    if(NOT EXISTS ${out})
      file(MAKE_DIRECTORY ${CMAKE_BINARY_DIR}/delayload)
      execute_process(COMMAND ${SKINSETUP_TRIPLE}-nm -g ${imp}
        OUTPUT_VARIABLE syms RESULT_VARIABLE rc)
      if(NOT rc EQUAL 0)
        message(FATAL_ERROR "cannot read ${imp}")
      endif()
      string(REGEX MATCHALL "__imp_[^\r\n]+" names "${syms}")
      set(text "LIBRARY ${name}.dll\nEXPORTS\n")
      foreach(n ${names})
        string(REGEX REPLACE "^__imp_" "" n "${n}")
        if(CMAKE_SIZEOF_VOID_P EQUAL 4)
          string(REGEX REPLACE "^_" "" n "${n}")
        endif()
        string(APPEND text "${n}\n")
      endforeach()
      file(WRITE ${def} "${text}")
      set(kill)
      if(CMAKE_SIZEOF_VOID_P EQUAL 4)
        set(kill -k)
      endif()
      execute_process(COMMAND ${SKINSETUP_TRIPLE}-dlltool ${kill} --def ${def}
        --dllname ${name}.dll --output-delaylib ${out} RESULT_VARIABLE rc)
      if(NOT rc EQUAL 0)
        message(FATAL_ERROR "dlltool failed for ${name}")
      endif()
    endif()
    list(APPEND libs ${out})
  endforeach()
  set(${OUT_VAR} ${libs} PARENT_SCOPE)
endfunction()
