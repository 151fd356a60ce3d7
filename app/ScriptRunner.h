#pragma once
// Runs the installer script and calls its callbacks, on the UI thread.
#include <cstddef>
#include <set>
#include <string>

struct lua_State;

class ScriptRunner {
  public:
    ScriptRunner() = default;
    ~ScriptRunner();
    ScriptRunner(const ScriptRunner&) = delete;
    ScriptRunner& operator=(const ScriptRunner&) = delete;

    // The whole life of the script embedded as resource 129 "LUA": returns
    // after OnRunSetup has returned and the state is closed. A missing
    // script resource ends the process with exit code 0.
    void Run();
    // Run() over script text held by the caller (tests, tools).
    void RunText(const char* text, size_t size);

    void CallOnTimer(int id);
    void CallOnNotify(const std::wstring& wndId, const std::wstring& ctrlId,
                      const std::wstring& eventId);
    void CallOnSetupProgress(const std::wstring& path, int index, int count);
    void CallOnDecompressRet(int code);
    void CallOnInitWnd(const std::wstring& wndId);

    // The pieces of Run(), for tests that inspect the state between them.
    bool Open();                                       // new state, libraries, host functions
    void ExecuteChunk(const char* text, size_t size);  // load and call, errors ignored
    void CallOnRunSetup();
    void Close();  // close state, "OnRunSetup Quit"
    lua_State* State() const { return state_; }

  private:
    // Protected call of the function below its `nargs` arguments. A failure
    // is written to the debugger output under `name` and leaves the error
    // value on the stack; returns false then.
    bool ProtectedCall(const char* name, int nargs);
    // ProtectedCall with the error value removed.
    bool CallGlobal(const char* name, int nargs);
    // Pushes the script's global `name`; false (nothing pushed) when the
    // script defines no such global, which is noted once per name.
    bool PushCallback(const char* name);

    lua_State* state_ = nullptr;
    std::set<std::string> reportedMissing_;
};

ScriptRunner& TheScriptRunner();
