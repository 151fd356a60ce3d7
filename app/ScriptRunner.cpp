#include "app/ScriptRunner.h"

#include <windows.h>

#include "app/OwnResource.h"
#include "app/SetupApp.h"
#include "app/TextConvert.h"
#include "script_api/HostFunctions.h"
#include "script_api/LuaHeaders.h"

namespace {

constexpr int kScriptResourceId = 129;
// Error messages then read "script:12: ...", which an author can follow
// back to the script file.
constexpr char kChunkName[] = "=script";

void PushWide(lua_State* L, const std::wstring& text) {
    lua_pushstring(L, WideToUtf8(text).c_str());
}

// The installer's user never sees a script error; its author reads them on
// the debugger output. One output line per line of text: debuggers, and
// Wine's trace of the channel, show each output as one line.
void WriteScriptError(const char* where, const std::string& text) {
    std::string prefix = std::string("script error in ") + where + ": ";
    size_t start = 0;
    while (start <= text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        ::OutputDebugStringW(Utf8ToWide(prefix + text.substr(start, end - start)).c_str());
        prefix = "  ";
        start = end + 1;
    }
}

// Message handler of every protected call: runs where the error happened, so
// the stack trace still names the failing line even for error values that
// are not texts. The error value itself goes back to the caller unchanged.
int ReportError(lua_State* L) {
    const char* where = lua_tostring(L, lua_upvalueindex(1));
    const char* text = luaL_tolstring(L, 1, nullptr);
    luaL_traceback(L, L, text, 1);
    WriteScriptError(where ? where : "?", lua_tostring(L, -1));
    lua_settop(L, 1);
    return 1;
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
    // A chunk that does not load runs nothing, like any other script error;
    // only its author learns why.
    if (luaL_loadbufferx(state_, text, size, kChunkName, nullptr) != LUA_OK) {
        const char* message = lua_tostring(state_, -1);
        WriteScriptError("loading the script", message ? message : "?");
        lua_pop(state_, 1);
        return;
    }
    CallGlobal("the script's main chunk", 0);
}

void ScriptRunner::CallOnRunSetup() {
    if (!PushCallback("OnRunSetup")) return;
    CallGlobal("OnRunSetup", 0);
}

void ScriptRunner::Close() {
    if (!state_) return;
    lua_close(state_);
    state_ = nullptr;
    reportedMissing_.clear();
    ::OutputDebugStringW(L"OnRunSetup Quit");
}

bool ScriptRunner::PushCallback(const char* name) {
    if (!state_) return false;
    if (lua_getglobal(state_, name) != LUA_TNIL) return true;
    lua_pop(state_, 1);
    // Calling nil would fail silently anyway. Progress reports come by the
    // hundred: one note per callback is enough to spot a misspelled name.
    if (reportedMissing_.insert(name).second) {
        WriteScriptError(name, "the script defines no such function");
    }
    return false;
}

bool ScriptRunner::ProtectedCall(const char* name, int nargs) {
    const int function = lua_gettop(state_) - nargs;
    lua_pushstring(state_, name);
    lua_pushcclosure(state_, ReportError, 1);
    lua_insert(state_, function);  // the handler goes below the function
    const int status = lua_pcall(state_, nargs, 0, function);
    lua_remove(state_, function);
    return status == LUA_OK;
}

bool ScriptRunner::CallGlobal(const char* name, int nargs) {
    if (ProtectedCall(name, nargs)) return true;
    lua_pop(state_, 1);
    return false;
}

void ScriptRunner::CallOnTimer(int id) {
    if (!PushCallback("ontimer")) return;
    lua_pushinteger(state_, id);
    CallGlobal("ontimer", 1);
}

void ScriptRunner::CallOnDecompressRet(int code) {
    if (!PushCallback("OnDecompressRet")) return;
    lua_pushinteger(state_, code);
    CallGlobal("OnDecompressRet", 1);
}

void ScriptRunner::CallOnSetupProgress(const std::wstring& path, int index, int count) {
    if (!PushCallback("OnSetupProgress")) return;
    PushWide(state_, path);
    lua_pushinteger(state_, index);
    lua_pushinteger(state_, count);
    CallGlobal("OnSetupProgress", 3);
}

void ScriptRunner::CallOnInitWnd(const std::wstring& wndId) {
    if (!PushCallback("OnInitWnd")) return;
    PushWide(state_, wndId);
    CallGlobal("OnInitWnd", 1);
}

void ScriptRunner::CallOnNotify(const std::wstring& wndId, const std::wstring& ctrlId,
                                const std::wstring& eventId) {
    if (!state_) return;
    // Called even when missing: a window without OnNotify is a fatal error.
    lua_getglobal(state_, "OnNotify");
    PushWide(state_, wndId);
    PushWide(state_, ctrlId);
    PushWide(state_, eventId);
    if (ProtectedCall("OnNotify", 3)) return;
    // An error while handling a user's action leaves the installer in an
    // unknown state: show the engine's text as is and end the process.
    const char* message = lua_tostring(state_, -1);
    ::MessageBoxA(nullptr, message ? message : "", "", MB_OK);
    lua_pop(state_, 1);
    ::ExitProcess(0);
}
