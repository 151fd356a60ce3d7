#include "script_api/HostFunctions.h"

#include <iterator>

#include "script_api/LuaApp.h"
#include "script_api/ScriptArgs.h"

namespace {

int lua_SetTimer(lua_State* L) {
    HostInstance()->SetScriptTimer(ArgInt(L, 1), ArgInt(L, 2));
    return 0;
}

int lua_KillTimer(lua_State* L) {
    HostInstance()->KillScriptTimer(ArgInt(L, 1));
    return 0;
}

const HostFunction kFunctions[] = {
    {"lua_SetTimer", lua_SetTimer},
    {"lua_KillTimer", lua_KillTimer},
};

}  // namespace

HostFunctionList WindowHostFunctions() { return {kFunctions, std::size(kFunctions)}; }
