#pragma once
// Starting files, programs and addresses through the shell.
#include <windows.h>
#include <shellapi.h>

#include <cstdint>
#include <string>

class ShellStarter {
  public:
    // The shell's start call, replaceable so the fallback rule can be checked
    // without starting anything. Same arguments and result as ShellExecuteW.
    using ExecuteFn = HINSTANCE(WINAPI*)(HWND, const wchar_t*, const wchar_t*, const wchar_t*,
                                         const wchar_t*, int);

    // Starts a file or address with a verb (empty: the file's default verb);
    // the outcome is not reported.
    static void Execute(const std::wstring& verb, const std::wstring& file,
                        const std::wstring& parameters, int show);
    // Starts a program shown normally and, when `wait` is set, waits for it
    // without time limit. The exit code: 0xFFFFFFFF when nothing started,
    // STILL_ACTIVE (259) when not waiting and it still runs.
    static uint32_t ExecuteAndWait(const std::wstring& file, const std::wstring& parameters,
                                   bool wait);
    // Starts the file through the desktop shell program ("explorer.exe" with
    // "command=" and the file; the parameters are not passed), so that it
    // runs as the desktop's user. When the shell program cannot be started,
    // falls back to Execute with the parameters.
    static void ExecuteByUser(const std::wstring& verb, const std::wstring& file,
                              const std::wstring& parameters, int show,
                              ExecuteFn execute = &::ShellExecuteW);
};
