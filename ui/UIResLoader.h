#pragma once
// Where the UI gets its skin files: layout documents as bytes and images
// decoded. Every user goes through the process-wide loader, so the source of
// skin files can be replaced without touching the controls.
#include <string>

class SkinBitmap;

class UIResLoader {
  public:
    virtual ~UIResLoader() = default;
    // The file's bytes; empty when the name is not in the skin.
    virtual std::string GetFileData(const std::wstring& name) = 0;
    // The decoded image, owned by the loader; null when the name is missing.
    virtual SkinBitmap* GetImage(const std::wstring& name) = 0;
};

// The process-wide loader: null until start-up sets it.
UIResLoader* GetResLoader();
// Returns the previous loader.
UIResLoader* SetResLoader(UIResLoader* loader);
