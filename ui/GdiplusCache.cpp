// The generic font families of GDI+'s C++ wrapper are cached in these
// variables. The import library that normally defines them is replaced by a
// delay-load library here, so the host defines them itself.
extern "C" {
void* _GdipFontFamilyCachedGenericMonospace = nullptr;
void* _GdipFontFamilyCachedGenericSansSerif = nullptr;
void* _GdipFontFamilyCachedGenericSerif = nullptr;
}
