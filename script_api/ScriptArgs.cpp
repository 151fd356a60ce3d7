#include "script_api/ScriptArgs.h"

#include <cstring>

#include "app/TextConvert.h"

std::wstring ArgText(lua_State* L, int index) {
    const int type = lua_type(L, index);
    if (type != LUA_TSTRING && type != LUA_TNUMBER) return {};
    const char* s = lua_tolstring(L, index, nullptr);
    if (!s) return {};
    return Utf8ToWide(std::string_view(s, std::strlen(s)));
}

int32_t ArgInt(lua_State* L, int index) {
    int isnum = 0;
    const lua_Integer v = lua_tointegerx(L, index, &isnum);
    if (!isnum) return 0;
    return static_cast<int32_t>(static_cast<uint32_t>(static_cast<uint64_t>(v)));
}

bool ArgBool(lua_State* L, int index) { return lua_toboolean(L, index) != 0; }

void PushText(lua_State* L, const std::wstring& text) {
    const std::wstring cut(text.c_str());
    lua_pushstring(L, WideToUtf8(cut).c_str());
}

void PushUnsigned(lua_State* L, uint32_t value) {
    lua_pushinteger(L, static_cast<lua_Integer>(value));
}
