#pragma once
// The script engine is compiled as C++ (errors unwind C++ frames), so its
// headers are included without an extern "C" block: never use lua.hpp.
#include <lua.h>
#include <lauxlib.h>
#include <lualib.h>
