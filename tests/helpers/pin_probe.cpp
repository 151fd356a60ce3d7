// Test helper: pins or unpins a shortcut file to the taskbar the way the
// installer does, and prints which route the request took and where it
// ended, so tests can run it under different Windows versions.
//   pin_probe.exe pin|unpin SHORTCUT-FILE
//   pin_probe.exe verb STRING-ID FILE
// Prints "route=<route> step=<step> result=<0|1>".
#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <string>

#include "script_api/TaskbarPin.h"

int wmain(int argc, wchar_t** argv) {
    if (argc < 3) return 2;
    const std::wstring action = argv[1];
    PinTrace trace;
    bool result = false;
    if (action == L"verb" && argc > 3) {
        trace.route = PinRoute::ShellVerb;
        result = InvokeShellVerb(static_cast<UINT>(std::wcstoul(argv[2], nullptr, 10)), argv[3],
                                 &trace.step);
    } else if (action == L"pin" || action == L"unpin") {
        result = SetTaskbarPin(action == L"pin", argv[2], &trace);
    } else {
        return 2;
    }
    std::printf("route=%s step=%s result=%d\n", PinRouteName(trace.route), PinStepName(trace.step),
                result ? 1 : 0);
    std::fflush(stdout);
    return 0;
}
