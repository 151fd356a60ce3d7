// Host functions for folders, files and facts about the system.
#include "script_api/HostFunctions.h"

#include <windows.h>
#include <shellapi.h>
#include <shlobj.h>
#include <shlwapi.h>

#include <algorithm>
#include <iterator>
#include <vector>

#include "app/Handles.h"
#include "base/PathGuard.h"
#include "base/PathUtil.h"
#include "script_api/ScriptArgs.h"

namespace {

constexpr DWORD kPathUnits = MAX_PATH;  // 260: the size of every filled path buffer

// Expands environment variables into a 260-unit buffer; text that does not
// fit is a failure, like every other failed call, and gives empty text.
std::wstring ExpandIntoPathBuffer(const std::wstring& text) {
    wchar_t buffer[kPathUnits] = {};
    const DWORD n = ::ExpandEnvironmentStringsW(text.c_str(), buffer, kPathUnits);
    if (n == 0 || n > kPathUnits) return {};
    return buffer;
}

std::wstring SpecialFolder(int csidl) {
    wchar_t buffer[kPathUnits] = {};
    if (!::SHGetSpecialFolderPathW(nullptr, buffer, csidl, FALSE)) return {};
    return buffer;
}

int lua_Print(lua_State* L) {
    ::OutputDebugStringW(ArgText(L, 1).c_str());
    return 0;
}

int lua_Environment(lua_State* L) {
    PushText(L, ExpandIntoPathBuffer(ArgText(L, 1)));
    return 1;
}

int lua_LocalDataDir(lua_State* L) {
    PushText(L, SpecialFolder(CSIDL_LOCAL_APPDATA));
    return 1;
}

int lua_ProgramDir(lua_State* L) {
    PushText(L, SpecialFolder(CSIDL_PROGRAM_FILES));
    return 1;
}

int lua_ProgramDir64(lua_State* L) {
    PushText(L, ExpandIntoPathBuffer(L"%ProgramW6432%"));
    return 1;
}

int lua_TempDir(lua_State* L) {
    wchar_t buffer[kPathUnits] = {};
    const DWORD n = ::GetTempPathW(kPathUnits, buffer);
    PushText(L, n == 0 || n >= kPathUnits ? std::wstring() : std::wstring(buffer));
    return 1;
}

int lua_Wow64(lua_State* L) {
    lua_pushboolean(L, IsWow64());
    return 1;
}

int lua_CheckCreateDir(lua_State* L) {
    lua_pushboolean(L, CreateDirectoryTree(ArgText(L, 1)));
    return 1;
}

int lua_getPathFileName(lua_State* L) {
    const std::wstring path = ArgText(L, 1);
    PushText(L, ::PathFindFileNameW(path.c_str()));
    return 1;
}

int lua_getExeFileName(lua_State* L) {
    wchar_t buffer[kPathUnits] = {};
    const DWORD n = ::GetModuleFileNameW(nullptr, buffer, kPathUnits);
    // A truncated module path would name the wrong file.
    if (n == 0 || n >= kPathUnits) buffer[0] = L'\0';
    PushText(L, ::PathFindFileNameW(buffer));
    return 1;
}

int lua_GetOsVer(lua_State* L) {
    // The true version numbers, which no compatibility shim adjusts.
    using GetVersionNumbersFn = void(WINAPI*)(DWORD*, DWORD*, DWORD*);
    DWORD major = 0;
    DWORD minor = 0;
    DWORD build = 0;
    UniqueModule ntdll(::LoadLibraryW(L"ntdll.dll"));
    if (ntdll) {
        const auto query = reinterpret_cast<GetVersionNumbersFn>(
            ::GetProcAddress(ntdll.get(), "RtlGetNtVersionNumbers"));
        if (query) query(&major, &minor, &build);
    }
    PushUnsigned(L, major);
    PushUnsigned(L, minor);
    PushUnsigned(L, build & 0xFFFF);
    return 3;
}

int lua_getCurDate(lua_State* L) {
    SYSTEMTIME now = {};
    ::GetLocalTime(&now);
    lua_pushinteger(L, now.wYear * 10000 + now.wMonth * 100 + now.wDay);
    return 1;
}

int lua_DeleteFile(lua_State* L) {
    const std::wstring path = ArgText(L, 1);
    if (!path.empty()) ::DeleteFileW(path.c_str());
    return 0;
}

int lua_DeleteDir(lua_State* L) {
    // Resolved once: the checks and both deletions work on the same path.
    const std::wstring path = ResolveFullPath(ArgText(L, 1));
    if (path.empty()) return 0;
    DeleteDirectoryTree(path);
    if (!::PathFileExistsW(path.c_str()) || !IsSafeForShellDelete(path)) return 0;
    // A second attempt that lets the shell explain why the folder stays. The
    // source list is sized to the path, so long paths get their attempt too.
    std::vector<wchar_t> source(path.begin(), path.end());
    source.resize(std::max<size_t>(source.size() + 2, kPathUnits), L'\0');
    SHFILEOPSTRUCTW op = {};
    op.wFunc = FO_DELETE;
    op.pFrom = source.data();
    op.fFlags = FOF_SILENT | FOF_NOCONFIRMATION;
    ::SHFileOperationW(&op);
    return 0;
}

// One plain folder name: "..\Roaming\App" or "C:\x" would reach outside
// the local data folder.
bool IsPlainFolderName(const std::wstring& name) {
    if (name.empty() || name.find_first_of(L"\\/:") != std::wstring::npos) return false;
    if (name.find_first_not_of(L". ") == std::wstring::npos) return false;
    return !IsReservedDeviceName(name);
}

int lua_DeleteLocalUserDir(lua_State* L) {
    const std::wstring name = ArgText(L, 1);
    if (!IsPlainFolderName(name)) return 0;
    const std::wstring local = SpecialFolder(CSIDL_LOCAL_APPDATA);
    // Without the folder the path would start at the root of the current drive.
    if (local.empty()) return 0;
    DeleteDirectoryTree(local + L"\\" + name);
    return 0;
}

int lua_PathAppend(lua_State* L) {
    PushText(L, JoinPath(ArgText(L, 1), ArgText(L, 2)));
    return 1;
}

const HostFunction kFunctions[] = {
    {"lua_Print", lua_Print},
    {"lua_Environment", lua_Environment},
    {"lua_LocalDataDir", lua_LocalDataDir},
    {"lua_ProgramDir", lua_ProgramDir},
    {"lua_ProgramDir64", lua_ProgramDir64},
    {"lua_TempDir", lua_TempDir},
    {"lua_Wow64", lua_Wow64},
    {"lua_CheckCreateDir", lua_CheckCreateDir},
    {"lua_getPathFileName", lua_getPathFileName},
    {"lua_getExeFileName", lua_getExeFileName},
    {"lua_GetOsVer", lua_GetOsVer},
    {"lua_getCurDate", lua_getCurDate},
    {"lua_DeleteFile", lua_DeleteFile},
    {"lua_DeleteDir", lua_DeleteDir},
    {"lua_DeleteLocalUserDir", lua_DeleteLocalUserDir},
    {"lua_PathAppend", lua_PathAppend},
};

}  // namespace

HostFunctionList PathHostFunctions() { return {kFunctions, std::size(kFunctions)}; }
