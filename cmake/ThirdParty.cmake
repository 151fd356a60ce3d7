# Third-party code is fetched by tools/bootstrap into third_party/src and built
# here for the target; none of it is committed.

include(${CMAKE_CURRENT_LIST_DIR}/Lua.cmake)
skinsetup_add_lua(skinsetup_lua)

# The 7z decoder of the LZMA SDK (C interface).
set(SDK7Z_DIR ${SKINSETUP_THIRD_PARTY}/7zip/C CACHE PATH "LZMA SDK C sources")
set(SDK7Z_SOURCES 7zArcIn 7zBuf 7zBuf2 7zCrc 7zCrcOpt 7zDec 7zStream 7zAlloc Alloc Bcj2 Bra
  Bra86 BraIA64 CpuArch Delta Lzma2Dec LzmaDec Ppmd7 Ppmd7Dec)
list(TRANSFORM SDK7Z_SOURCES PREPEND ${SDK7Z_DIR}/)
list(TRANSFORM SDK7Z_SOURCES APPEND .c)
# The extraction reports progress by packed bytes: a build-time copy of the
# folder decoder calls a hook after every LZMA decoding step (LZMA-coded
# folders only; the fetched source stays untouched).
set(SDK7Z_DEC ${SDK7Z_DIR}/7zDec.c)
set(SDK7Z_DEC_HOOKED ${CMAKE_BINARY_DIR}/sdk7z/7zDec.c)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${SDK7Z_DEC})
file(READ ${SDK7Z_DEC} dec_text)
set(dec_anchor "res = LzmaDec_DecodeToDic(&state, outSize, (const Byte *)inBuf, &inProcessed, LZMA_FINISH_END, &status);")
string(FIND "${dec_text}" "${dec_anchor}" dec_first)
string(FIND "${dec_text}" "${dec_anchor}" dec_last REVERSE)
if(dec_first EQUAL -1 OR NOT dec_first EQUAL dec_last)
  message(FATAL_ERROR "${SDK7Z_DEC}: the LZMA decoding step to hook was not found exactly once")
endif()
string(REPLACE "${dec_anchor}"
  "${dec_anchor}\n      if (SzDecodeProgressHook) SzDecodeProgressHook(inProcessed);"
  dec_text "${dec_text}")
file(WRITE ${SDK7Z_DEC_HOOKED}.new
  "/* Generated from ${SDK7Z_DEC} with the decode progress hook. */\n"
  "#include <stddef.h>\nvoid (*SzDecodeProgressHook)(size_t packedBytes) = 0;\n"
  "${dec_text}")
configure_file(${SDK7Z_DEC_HOOKED}.new ${SDK7Z_DEC_HOOKED} COPYONLY)
list(REMOVE_ITEM SDK7Z_SOURCES ${SDK7Z_DEC})
list(APPEND SDK7Z_SOURCES ${SDK7Z_DEC_HOOKED})
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
