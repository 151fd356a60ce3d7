// Test helper: sleeps, so tests have a running process to find and end.
//   sleeper.exe [milliseconds]   (default 60000)
// Exits with 3 when the time runs out; a process ended from outside by the
// installer gets exit code 0 instead.
#include <windows.h>

#include <cwchar>

int wmain(int argc, wchar_t** argv) {
    const unsigned long ms = argc > 1 ? std::wcstoul(argv[1], nullptr, 10) : 60000;
    ::Sleep(ms);
    return 3;
}
