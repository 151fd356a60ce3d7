#include "PackageTestUtil.h"

#include <cstring>

#include "support/TestProcess.h"

GuardedBytes::GuardedBytes(const std::string& bytes, bool readOnly) : size_(bytes.size()) {
    SYSTEM_INFO si;
    ::GetSystemInfo(&si);
    const size_t page = si.dwPageSize;
    const size_t dataPages = (bytes.size() + page - 1) / page + 1;
    base_ = static_cast<uint8_t*>(
        ::VirtualAlloc(nullptr, (dataPages + 1) * page, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
    uint8_t* guard = base_ + dataPages * page;
    uint8_t* data = guard - bytes.size();
    if (!bytes.empty()) std::memcpy(data, bytes.data(), bytes.size());
    DWORD old = 0;
    ::VirtualProtect(guard, page, PAGE_NOACCESS, &old);
    if (readOnly) ::VirtualProtect(base_, dataPages * page, PAGE_READONLY, &old);
    data_ = data;
}

GuardedBytes::~GuardedBytes() { ::VirtualFree(base_, 0, MEM_RELEASE); }

std::wstring FixturePath(const std::wstring& relative) {
    std::wstring p = L"Z:" + Widen(SKINSETUP_BINARY_DIR) + L"/test-fixtures/package/" + relative;
    for (wchar_t& c : p)
        if (c == L'/') c = L'\\';
    return p;
}

std::string ReadAll(const std::wstring& path) { return ReadFileBytes(path); }

bool PathExists(const std::wstring& path) {
    return ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}
