#pragma once
// Reading the firmware's SMBIOS structure table.
#include <windows.h>
#include <oaidl.h>

#include <cstdint>
#include <vector>

struct SmbiosInfo;

// Fills `info` from the system's SMBIOS table; whether a table was obtained
// (even one that holds neither a system nor an enclosure structure).
bool ReadSmbios(SmbiosInfo& info);

// The signature of the firmware-table function (provider, table id, buffer, size).
using FirmwareTableFn = UINT(WINAPI*)(DWORD, DWORD, PVOID, DWORD);

// The raw structure table from the firmware-table function; `available`
// tells whether the function exists at all.
bool FirmwareSmbiosTable(std::vector<uint8_t>& table, bool& available);
// The structure table behind the 8-byte header of what `get` returns for
// the raw SMBIOS provider.
bool FirmwareSmbiosTable(FirmwareTableFn get, std::vector<uint8_t>& table);
// The raw structure table from the management interface (ROOT\WMI).
bool ManagementSmbiosTable(std::vector<uint8_t>& table);
// The table data of a management-interface value: only a one-dimensional
// array of bytes counts.
bool SmbiosBytesFromVariant(const VARIANT& value, std::vector<uint8_t>& out);
