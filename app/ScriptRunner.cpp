#include "app/ScriptRunner.h"

#include <windows.h>

#include "app/OwnResource.h"
#include "app/SetupApp.h"
#include "app/TextConvert.h"
#include "script_api/HostFunctions.h"
#include "script_api/LuaHeaders.h"

namespace {

constexpr int kScriptResourceId = 129;

void PushWide(lua_State* L, const std::wstring& text) {
    lua_pushstring(L, WideToUtf8(text).c_str());
}

}  // namespace

ScriptRunner::~ScriptRunner() {
    // Only reached at process exit, where an open state means the process
    // is being torn down from inside a callback; leave it to the system.
}

void ScriptRunner::Run() {
    if (!Open()) return;
    const ResourceBytes script = LoadOwnResource(kScriptResourceId, L"LUA");
    if (!script.data) ::ExitProcess(0);  // no script: nothing to install
    ExecuteChunk(static_cast<const char*>(script.data), script.size);
    CallOnRunSetup();
    Close();
}

void ScriptRunner::RunText(const char* text, size_t size) {
    if (!Open()) return;
    ExecuteChunk(text, size);
    CallOnRunSetup();
    Close();
}

namespace {

// The installer runs elevated, often from a Downloads folder: `require` must
// not run a planted .lua or .dll from beside it, the working folder or a
// path in the environment. Only preloaded modules are found.
void LoadOnlyPreloadedModules(lua_State* L) {
    lua_getglobal(L, "package");
    if (lua_istable(L, -1)) {
        lua_pushliteral(L, "");
        lua_setfield(L, -2, "path");
        lua_pushliteral(L, "");
        lua_setfield(L, -2, "cpath");
        lua_pushnil(L);
        lua_setfield(L, -2, "loadlib");
        // searchers[1] looks in package.preload; the file searchers go.
        if (lua_getfield(L, -1, "searchers") == LUA_TTABLE) {
            for (lua_Integer i = luaL_len(L, -1); i > 1; --i) {
                lua_pushnil(L);
                lua_seti(L, -2, i);
            }
        }
        lua_pop(L, 1);
    }
    lua_pop(L, 1);
}

}  // namespace

bool ScriptRunner::Open() {
    if (state_) return true;
    state_ = luaL_newstate();
    if (!state_) return false;
    luaL_openlibs(state_);
    LoadOnlyPreloadedModules(state_);
    RegisterHostFunctions(state_);
    SetupApp::RegisterSetupFunctions(state_);
    return true;
}

void ScriptRunner::ExecuteChunk(const char* text, size_t size) {
    if (!state_) return;
    // The load result is deliberately not checked: a chunk that fails to
    // load leaves its message in the chunk's place, and calling that fails
    // silently like any other script error.
    luaL_loadbufferx(state_, text, size, nullptr, nullptr);
    CallGlobal(0);
}

void ScriptRunner::CallOnRunSetup() {
    if (!PushCallback("OnRunSetup")) return;
    CallGlobal(0);
}

void ScriptRunner::Close() {
    if (!state_) return;
    lua_close(state_);
    state_ = nullptr;
    ::OutputDebugStringW(L"OnRunSetup Quit");
}

bool ScriptRunner::PushCallback(const char* name) {
    if (!state_) return false;
    lua_getglobal(state_, name);
    return true;
}

bool ScriptRunner::CallGlobal(int nargs) {
    if (lua_pcall(state_, nargs, 0, 0) == LUA_OK) return true;
    lua_pop(state_, 1);
    return false;
}

void ScriptRunner::CallOnTimer(int id) {
    if (!PushCallback("ontimer")) return;
    lua_pushinteger(state_, id);
    CallGlobal(1);
}

void ScriptRunner::CallOnDecompressRet(int code) {
    if (!PushCallback("OnDecompressRet")) return;
    lua_pushinteger(state_, code);
    CallGlobal(1);
}

void ScriptRunner::CallOnSetupProgress(const std::wstring& path, int index, int count) {
    if (!PushCallback("OnSetupProgress")) return;
    PushWide(state_, path);
    lua_pushinteger(state_, index);
    lua_pushinteger(state_, count);
    CallGlobal(3);
}

void ScriptRunner::CallOnInitWnd(const std::wstring& wndId) {
    if (!PushCallback("OnInitWnd")) return;
    PushWide(state_, wndId);
    CallGlobal(1);
}

void ScriptRunner::CallOnNotify(const std::wstring& wndId, const std::wstring& ctrlId,
                                const std::wstring& eventId) {
    if (!PushCallback("OnNotify")) return;
    PushWide(state_, wndId);
    PushWide(state_, ctrlId);
    PushWide(state_, eventId);
    if (lua_pcall(state_, 3, 0, 0) == LUA_OK) return;
    // An error while handling a user's action leaves the installer in an
    // unknown state: show the engine's text as is and end the process.
    const char* message = lua_tostring(state_, -1);
    ::MessageBoxA(nullptr, message ? message : "", "", MB_OK);
    lua_pop(state_, 1);
    ::ExitProcess(0);
}
