#include "script_api/HostFunctions.h"

#include <windows.h>
#include <shlobj.h>
#include <shlwapi.h>

#include <iterator>
#include <string>

#include "base/PathUtil.h"
#include "script_api/ScriptArgs.h"
#include "script_api/ShellLink.h"
#include "script_api/TaskbarPin.h"

namespace {

// An unpin is handed to the shell, which finishes it on its own thread;
// the pause lets it settle before the script goes on.
constexpr DWORD kUnpinPauseMs = 200;

// Folders are looked up on every call; a failed lookup is empty text.
std::wstring FolderPath(int csidl) {
    wchar_t path[MAX_PATH] = {};
    if (FAILED(::SHGetFolderPathW(nullptr, csidl, nullptr, 0, path))) return {};
    return path;
}

std::wstring SpecialFolderPath(int csidl) {
    wchar_t path[MAX_PATH] = {};
    if (!::SHGetSpecialFolderPathW(nullptr, path, csidl, FALSE)) return {};
    return path;
}

// The script's start menu folder under the all-users programs folder;
// empty when the programs folder cannot be found.
std::wstring StartMenuFolder(const std::wstring& folder) {
    const std::wstring programs = FolderPath(CSIDL_COMMON_PROGRAMS);
    return programs.empty() ? std::wstring() : JoinPath(programs, folder);
}

// Deletes a shortcut file in a looked-up folder; nothing when the lookup failed.
void DeleteShortcutIn(const std::wstring& folder, const std::wstring& name) {
    if (!folder.empty()) ::DeleteFileW(ShortcutFile(folder, name).c_str());
}

int lua_CreateDesktopLnk(lua_State* L) {
    CreateShortcut(ArgText(L, 1), FolderPath(CSIDL_DESKTOP), ArgText(L, 2), ArgText(L, 3));
    return 0;
}

int lua_CreateTaskBarLnk(lua_State* L) {
    const std::wstring quickLaunch = GetQuickLaunchDir();
    if (quickLaunch.empty()) return 0;
    const std::wstring name = ArgText(L, 2);
    CreateShortcut(ArgText(L, 1), quickLaunch, name, ArgText(L, 3));
    SetTaskbarPin(true, ShortcutFile(quickLaunch, name));
    return 0;
}

int lua_CreateStartMenuShortcurt(lua_State* L) {
    const std::wstring folder = StartMenuFolder(ArgText(L, 1));
    if (folder.empty()) return 0;
    ::CreateDirectoryW(folder.c_str(), nullptr);
    CreateShortcut(ArgText(L, 2), folder, ArgText(L, 3), ArgText(L, 4));
    return 0;
}

int lua_DeleteStartMenuShortcurt(lua_State* L) {
    const std::wstring folderName = ArgText(L, 1);
    const std::wstring folder = StartMenuFolder(folderName);
    if (folder.empty()) return 0;
    const std::wstring file = ShortcutFile(folder, ArgText(L, 2));
    if (::PathFileExistsW(file.c_str())) ::DeleteFileW(file.c_str());
    // Never the programs folder itself, which an empty folder name names.
    if (!folderName.empty()) ::RemoveDirectoryW(folder.c_str());
    return 0;
}

int lua_DeleteDesktopShortcut(lua_State* L) {
    const std::wstring name = ArgText(L, 1);
    DeleteShortcutIn(SpecialFolderPath(CSIDL_DESKTOP), name);
    DeleteShortcutIn(SpecialFolderPath(CSIDL_COMMON_DESKTOPDIRECTORY), name);
    return 0;
}

int lua_DeleteTaskBarShortcut(lua_State* L) {
    const std::wstring quickLaunch = GetQuickLaunchDir();
    if (!quickLaunch.empty()) SetTaskbarPin(false, ShortcutFile(quickLaunch, ArgText(L, 1)));
    ::Sleep(kUnpinPauseMs);
    return 0;
}

const HostFunction kFunctions[] = {
    {"lua_CreateDesktopLnk", lua_CreateDesktopLnk},
    {"lua_CreateTaskBarLnk", lua_CreateTaskBarLnk},
    {"lua_CreateStartMenuShortcurt", lua_CreateStartMenuShortcurt},
    {"lua_DeleteStartMenuShortcurt", lua_DeleteStartMenuShortcurt},
    {"lua_DeleteDesktopShortcut", lua_DeleteDesktopShortcut},
    {"lua_DeleteTaskBarShortcut", lua_DeleteTaskBarShortcut},
};

}  // namespace

HostFunctionList ShortcutHostFunctions() { return {kFunctions, std::size(kFunctions)}; }
