# Lua 5.4 from the fetched sources, compiled as C++ so that a script error
# unwinds C++ frames (the engine throws instead of long-jumping over
# destructors). The host links the whole engine; the packer, which only
# compiles scripts to check them, links the core without the libraries.
set(LUA_DIR ${SKINSETUP_THIRD_PARTY}/lua/src)
if(NOT EXISTS ${LUA_DIR}/lapi.c)
  message(FATAL_ERROR "Lua sources missing in ${LUA_DIR}: run tools/bootstrap")
endif()
set(LUA_CORE_SOURCES lapi lcode lctype ldebug ldo ldump lfunc lgc llex lmem lobject lopcodes
  lparser lstate lstring ltable ltm lundump lvm lzio lauxlib)
set(LUA_LIBRARY_SOURCES lbaselib lcorolib ldblib liolib lmathlib loadlib loslib lstrlib ltablib
  lutf8lib linit)

# skinsetup_add_lua(TARGET [CORE_ONLY]): a static library of the engine.
function(skinsetup_add_lua target)
  cmake_parse_arguments(ARG "CORE_ONLY" "" "" ${ARGN})
  set(sources ${LUA_CORE_SOURCES})
  if(NOT ARG_CORE_ONLY)
    list(APPEND sources ${LUA_LIBRARY_SOURCES})
  endif()
  list(TRANSFORM sources PREPEND ${LUA_DIR}/)
  list(TRANSFORM sources APPEND .c)
  set_source_files_properties(${sources} PROPERTIES LANGUAGE CXX)
  add_library(${target} STATIC ${sources})
  target_compile_options(${target} PRIVATE -w)
  target_include_directories(${target} SYSTEM PUBLIC ${LUA_DIR})
  # The distribution's patched sources name the library folder of the
  # architecture in a generated header outside Windows; only the module
  # search path uses it.
  if(NOT WIN32 AND NOT EXISTS ${LUA_DIR}/lua5.4-deb-multiarch.h)
    set(generated ${CMAKE_CURRENT_BINARY_DIR}/${target}-include)
    file(WRITE ${generated}/lua5.4-deb-multiarch.h.new
      "#define DEB_HOST_MULTIARCH \"${CMAKE_LIBRARY_ARCHITECTURE}\"\n")
    configure_file(${generated}/lua5.4-deb-multiarch.h.new ${generated}/lua5.4-deb-multiarch.h
      COPYONLY)
    target_include_directories(${target} SYSTEM PUBLIC ${generated})
  endif()
endfunction()
