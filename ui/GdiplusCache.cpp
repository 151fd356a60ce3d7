// The toolchain's GDI+ wrappers keep the generic font families and string
// formats in these globals, which its static import library defines. GDI+ is
// delay-loaded through an import library made from the DLL's exports only,
// so the globals are defined here instead.
extern "C" {
void* _GdipFontFamilyCachedGenericMonospace = nullptr;
void* _GdipFontFamilyCachedGenericSansSerif = nullptr;
void* _GdipFontFamilyCachedGenericSerif = nullptr;
void* _GdipStringFormatCachedGenericDefault = nullptr;
void* _GdipStringFormatCachedGenericTypographic = nullptr;
}
