#include "app/OwnResource.h"

ResourceBytes LoadOwnResource(int id, const wchar_t* type) {
    HMODULE self = ::GetModuleHandleW(nullptr);
    HRSRC res = ::FindResourceW(self, MAKEINTRESOURCEW(id), type);
    HGLOBAL loaded = res ? ::LoadResource(self, res) : nullptr;
    const void* data = loaded ? ::LockResource(loaded) : nullptr;
    if (!data) return {};
    return {data, ::SizeofResource(self, res)};
}
