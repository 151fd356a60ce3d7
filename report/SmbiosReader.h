#pragma once
// Reading the firmware's SMBIOS structure table.
#include <cstdint>
#include <vector>

struct SmbiosInfo;

// Fills `info` from the system's SMBIOS table; whether a table was obtained
// (even one that holds neither a system nor an enclosure structure).
bool ReadSmbios(SmbiosInfo& info);

// The raw structure table from the firmware-table function; `available`
// tells whether the function exists at all.
bool FirmwareSmbiosTable(std::vector<uint8_t>& table, bool& available);
// The raw structure table from the management interface (ROOT\WMI).
bool ManagementSmbiosTable(std::vector<uint8_t>& table);
