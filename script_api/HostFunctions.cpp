#include "script_api/HostFunctions.h"

#include <cstring>
#include <iterator>

namespace {

// The order scripts have always seen; registration follows it exactly.
const char* const kOrder[] = {
    "lua_Print",
    "lua_KillProcessByName",
    "lua_Environment",
    "lua_LocalDataDir",
    "lua_ProgramDir",
    "lua_ProgramDir64",
    "lua_TempDir",
    "lua_Wow64",
    "lua_ShowWnd",
    "lua_SelectDir",
    "lua_EndWnd",
    "lua_ShowCtrl",
    "lua_LayoutCtrl",
    "lua_Excute",
    "lua_ExcuteAndWait",
    "lua_SetText",
    "lua_EnableCtrl",
    "lua_IsChecked",
    "lua_SetChecked",
    "lua_CheckCreateDir",
    "lua_SetCtrlAttr",
    "lua_CreateDesktopLnk",
    "lua_CreateTaskBarLnk",
    "lua_CreateStartMenuShortcurt",
    "lua_DeleteStartMenuShortcurt",
    "lua_AddReg",
    "lua_DelReg",
    "lua_getPathFileName",
    "lua_QueryRegStr",
    "lua_QueryRegDword",
    "lua_getExeFileName",
    "lua_GetOsVer",
    "lua_GetCmdLine",
    "lua_GetUinonByFileName",
    "lua_IsUpdateMode",
    "lua_IsSilentByFileName",
    "lua_ReportUDP",
    "lua_DeleteDesktopShortcut",
    "lua_DeleteTaskBarShortcut",
    "lua_DelRegKey",
    "lua_getCurDate",
    "lua_DeleteFile",
    "lua_DeleteDir",
    "lua_DeleteLocalUserDir",
    "lua_SetTimer",
    "lua_KillTimer",
    "lua_PathAppend",
    "lua_ExcuteByUser",
    "lua_hasParam",
};
static_assert(std::size(kOrder) == 49, "the host function table has 49 entries");

lua_CFunction Find(const char* name) {
    const HostFunctionList groups[] = {
        PathHostFunctions(),     ProcessHostFunctions(), ShortcutHostFunctions(),
        RegistryHostFunctions(), WindowHostFunctions(),  ReportHostFunctions(),
    };
    for (const HostFunctionList& g : groups) {
        for (size_t i = 0; i < g.count; ++i) {
            if (std::strcmp(g.items[i].name, name) == 0) return g.items[i].function;
        }
    }
    return nullptr;
}

}  // namespace

void RegisterHostFunctions(lua_State* L) {
    for (const char* name : kOrder) {
        if (lua_CFunction f = Find(name)) lua_register(L, name, f);
    }
}

const char* const* HostFunctionOrder(size_t* count) {
    *count = std::size(kOrder);
    return kOrder;
}
