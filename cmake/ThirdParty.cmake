# Third-party code is fetched by tools/bootstrap into third_party/src and built
# here for the target; none of it is committed.

# Lua 5.4, compiled as C++ so that a script error unwinds C++ frames (the
# engine throws instead of long-jumping over destructors).
set(LUA_DIR ${SKINSETUP_THIRD_PARTY}/lua/src)
if(NOT EXISTS ${LUA_DIR}/lapi.c)
  message(FATAL_ERROR "Lua sources missing in ${LUA_DIR}: run tools/bootstrap")
endif()
set(LUA_SOURCES lapi lcode lctype ldebug ldo ldump lfunc lgc llex lmem lobject lopcodes
  lparser lstate lstring ltable ltm lundump lvm lzio lauxlib lbaselib lcorolib ldblib liolib
  lmathlib loadlib loslib lstrlib ltablib lutf8lib linit)
list(TRANSFORM LUA_SOURCES PREPEND ${LUA_DIR}/)
list(TRANSFORM LUA_SOURCES APPEND .c)
set_source_files_properties(${LUA_SOURCES} PROPERTIES LANGUAGE CXX)
add_library(skinsetup_lua STATIC ${LUA_SOURCES})
target_compile_options(skinsetup_lua PRIVATE -w)
target_include_directories(skinsetup_lua SYSTEM PUBLIC ${LUA_DIR})

# The 7z decoder of the LZMA SDK (C interface).
set(SDK7Z_DIR ${SKINSETUP_THIRD_PARTY}/7zip/C CACHE PATH "LZMA SDK C sources")
set(SDK7Z_SOURCES 7zArcIn 7zBuf 7zBuf2 7zCrc 7zCrcOpt 7zDec 7zStream 7zAlloc Alloc Bcj2 Bra
  Bra86 BraIA64 CpuArch Delta Lzma2Dec LzmaDec Ppmd7 Ppmd7Dec)
list(TRANSFORM SDK7Z_SOURCES PREPEND ${SDK7Z_DIR}/)
list(TRANSFORM SDK7Z_SOURCES APPEND .c)
add_library(skinsetup_7z STATIC ${SDK7Z_SOURCES})
target_compile_options(skinsetup_7z PRIVATE -w)
target_include_directories(skinsetup_7z SYSTEM PUBLIC ${SDK7Z_DIR})

# GoogleTest from the sources of Debian's googletest package.
if(BUILD_TESTING OR NOT DEFINED BUILD_TESTING)
  set(GTEST_SRC_DIR /usr/src/googletest CACHE PATH "GoogleTest sources")
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  set(BUILD_GMOCK ON CACHE BOOL "" FORCE)
  add_subdirectory(${GTEST_SRC_DIR} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
endif()
