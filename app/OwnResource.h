#pragma once
// The installer's own resources (script, skin package, payload), used in
// place: the bytes stay valid for the life of the process.
#include <windows.h>

struct ResourceBytes {
    const void* data = nullptr;  // null when the resource is missing
    DWORD size = 0;
};

// Finds, loads and locks resource `id` of `type` in the executable.
ResourceBytes LoadOwnResource(int id, const wchar_t* type);
