#pragma once
// Entry names as the extraction log shows them: in the console's code page,
// with "_" for characters that code page lacks where it allows a stand-in.
#include <windows.h>

#include <cstddef>

// Whether WideCharToMultiByte accepts a default character for this code
// page. UTF-8 and UTF-7 reject one, and so do the stateful and GB18030 code
// pages; the system's "use UTF-8" option makes UTF-8 the console's.
bool CodePageTakesDefaultChar(UINT codePage);

// Converts `length` units of `name` into `out` (capacity bytes); the number
// of bytes written, 0 when the conversion failed (an empty name gives 0 too).
int ConvertNameForLog(const wchar_t* name, size_t length, UINT codePage, char* out,
                      size_t capacity);
