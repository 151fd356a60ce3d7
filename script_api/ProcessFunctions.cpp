#include "script_api/HostFunctions.h"

#include <windows.h>
#include <shellapi.h>
#include <shlwapi.h>

#include <iterator>
#include <string>

#include "app/Handles.h"
#include "script_api/CommandLineRules.h"
#include "script_api/ProcessKiller.h"
#include "script_api/ScriptArgs.h"
#include "script_api/ShellStarter.h"

namespace {

std::wstring CommandLine() {
    const wchar_t* line = ::GetCommandLineW();
    return line ? line : L"";
}

// The installer's own file name, extension included.
std::wstring OwnFileName() {
    wchar_t path[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, path, MAX_PATH);
    return ::PathFindFileNameW(path);
}

int ShowFlag(lua_State* L, int index) { return ArgBool(L, index) ? SW_SHOW : SW_HIDE; }

int lua_KillProcessByName(lua_State* L) {
    const std::wstring name = ArgText(L, 1);
    if (!name.empty()) KillProcessesByName(name);
    return 0;
}

int lua_Excute(lua_State* L) {
    ShellStarter::Execute(ArgText(L, 1), ArgText(L, 2), ArgText(L, 3), ShowFlag(L, 4));
    return 0;
}

int lua_ExcuteAndWait(lua_State* L) {
    PushUnsigned(L, ShellStarter::ExecuteAndWait(ArgText(L, 1), ArgText(L, 2), ArgBool(L, 3)));
    return 1;
}

int lua_GetCmdLine(lua_State* L) {
    PushText(L, CommandLine());
    return 1;
}

int lua_GetUinonByFileName(lua_State* L) {
    PushUnsigned(L, CommandLineRules::ChannelFromFileName(OwnFileName()));
    return 1;
}

int lua_IsUpdateMode(lua_State* L) {
    lua_pushboolean(L, CommandLineRules::IsUpdateMode(CommandLine()));
    return 1;
}

int lua_IsSilentByFileName(lua_State* L) {
    lua_pushboolean(L, CommandLineRules::IsSilentFileName(OwnFileName()));
    return 1;
}

int lua_ExcuteByUser(lua_State* L) {
    ShellStarter::ExecuteByUser(ArgText(L, 1), ArgText(L, 2), ArgText(L, 3), ShowFlag(L, 4));
    return 0;
}

int lua_hasParam(lua_State* L) {
    lua_pushboolean(L, CommandLineRules::HasParam(CommandLine(), ArgText(L, 1)));
    return 1;
}

const HostFunction kFunctions[] = {
    {"lua_KillProcessByName", lua_KillProcessByName},
    {"lua_Excute", lua_Excute},
    {"lua_ExcuteAndWait", lua_ExcuteAndWait},
    {"lua_GetCmdLine", lua_GetCmdLine},
    {"lua_GetUinonByFileName", lua_GetUinonByFileName},
    {"lua_IsUpdateMode", lua_IsUpdateMode},
    {"lua_IsSilentByFileName", lua_IsSilentByFileName},
    {"lua_ExcuteByUser", lua_ExcuteByUser},
    {"lua_hasParam", lua_hasParam},
};

}  // namespace

HostFunctionList ProcessHostFunctions() { return {kFunctions, std::size(kFunctions)}; }
