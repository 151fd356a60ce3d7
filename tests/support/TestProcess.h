#pragma once
// Starting programs from tests: installers built from test scripts, helper
// programs, and scratch folders.
#include <windows.h>
#include <string>

struct ProcessResult {
    bool started = false;
    bool timedOut = false;
    DWORD exitCode = 0;
    std::string output;  // standard output and error, as bytes
};

// Runs `exe args` (quoted as needed by the caller) and waits up to
// timeoutMs; a process still running then is terminated.
ProcessResult RunProcess(const std::wstring& exe, const std::wstring& args,
                         DWORD timeoutMs = 60000);
// Starts a process without waiting; the caller owns the returned handles.
PROCESS_INFORMATION StartProcess(const std::wstring& exe, const std::wstring& args);

// A test installer built by skinsetup_test_installer(), by its file name.
std::wstring TestInstallerPath(const std::wstring& fileName);
// A helper program from tests/helpers, by its name without extension.
std::wstring TestHelperPath(const std::wstring& name);

// A new empty folder under the temporary folder, unique to this call.
std::wstring MakeScratchDir(const std::wstring& hint);
// Reads a whole file as bytes; empty when missing.
std::string ReadFileBytes(const std::wstring& path);
bool WriteFileBytes(const std::wstring& path, const std::string& bytes);
std::wstring Widen(const std::string& utf8);
std::string Narrow(const std::wstring& wide);
