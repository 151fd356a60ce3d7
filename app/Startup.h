#pragma once
// The process start-up: prepares the platform, refuses old systems, creates
// the task window, opens the skin package and runs the script.

struct NtVersion {
    unsigned major = 0, minor = 0, build = 0;
};

// The running system's version as ntdll reports it; all 0 when unknown.
NtVersion QueryNtVersion();
// Windows XP, Server 2003 and older, and an unknown version, are refused.
bool IsSupportedSystem(const NtVersion& v);

// The whole life of the installer process; returns the exit code the
// script chose (0 unless it called lua_SetExitCode).
int RunInstaller();
