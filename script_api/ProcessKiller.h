#pragma once
// Ends running copies of a program before its files are replaced.
#include <string>

// Terminates (exit code 0) every process whose executable file name equals
// `name`, compared case-insensitively over the whole name, with debug
// rights when the process can get them. Does not wait for the processes to
// end. The calling process itself is never terminated: ending the installer
// half-way through would leave a partial installation behind.
void KillProcessesByName(const std::wstring& name);
