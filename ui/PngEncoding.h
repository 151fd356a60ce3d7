#pragma once
// PNG files made from GDI+ bitmaps, by the system's own encoder. The
// installer only ever reads images; this serves the tools that save them
// and the tests and benchmarks that build skins in memory.
#include <cstdint>
#include <vector>

#include "ui/GdiplusHeaders.h"

// The class id of the system's PNG encoder; false when it has none.
bool FindPngEncoder(CLSID& clsid);
// The bitmap as the bytes of a PNG file; empty on failure.
std::vector<uint8_t> EncodePng(Gdiplus::Bitmap& bitmap);
