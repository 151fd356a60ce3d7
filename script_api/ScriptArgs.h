#pragma once
// Argument and result conventions shared by every host function: no host
// function checks its arguments or raises a script error.
#include <cstdint>
#include <string>

#include "script_api/LuaHeaders.h"

// Strings and numbers (in their Lua string form), cut at the first zero
// byte; anything else, or a missing argument, is empty text.
std::wstring ArgText(lua_State* L, int index);
// Integers, floats with an exact integer value and numeric strings; anything
// else is 0. Only the low 32 bits are kept.
int32_t ArgInt(lua_State* L, int index);
// False only for nil, false or a missing argument.
bool ArgBool(lua_State* L, int index);
// Pushes UTF-16 text as UTF-8, cut at the first zero character.
void PushText(lua_State* L, const std::wstring& text);
// 32-bit results are widened without sign unless a function says otherwise.
void PushUnsigned(lua_State* L, uint32_t value);
