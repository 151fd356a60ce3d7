#include "script_api/ProcessKiller.h"

#include <windows.h>
#include <tlhelp32.h>

#include "app/Handles.h"

namespace {

// Lets the process open services and other users' processes; without it the
// kill goes on with the rights the process already has.
void EnableDebugPrivilege() {
    HANDLE raw = nullptr;
    if (!::OpenProcessToken(::GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, &raw)) {
        return;
    }
    UniqueHandleKernel token(raw);
    TOKEN_PRIVILEGES privileges = {};
    privileges.PrivilegeCount = 1;
    privileges.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
    if (!::LookupPrivilegeValueW(nullptr, SE_DEBUG_NAME, &privileges.Privileges[0].Luid)) return;
    ::AdjustTokenPrivileges(token.get(), FALSE, &privileges, sizeof(privileges), nullptr, nullptr);
}

bool SameName(const wchar_t* exeFile, const std::wstring& name) {
    return ::CompareStringOrdinal(exeFile, -1, name.c_str(), static_cast<int>(name.size()), TRUE) ==
           CSTR_EQUAL;
}

void Terminate(DWORD processId) {
    UniqueHandleKernel process(::OpenProcess(PROCESS_TERMINATE, FALSE, processId));
    if (process) ::TerminateProcess(process.get(), 0);
}

}  // namespace

void KillProcessesByName(const std::wstring& name) {
    EnableDebugPrivilege();
    UniqueFile snapshot(::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    if (!snapshot) return;
    const DWORD self = ::GetCurrentProcessId();
    PROCESSENTRY32W entry = {};
    entry.dwSize = sizeof(entry);
    for (BOOL more = ::Process32FirstW(snapshot.get(), &entry); more;
         more = ::Process32NextW(snapshot.get(), &entry)) {
        if (entry.th32ProcessID != self && SameName(entry.szExeFile, name)) {
            Terminate(entry.th32ProcessID);
        }
    }
}
