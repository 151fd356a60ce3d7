#pragma once
// Shared pieces of the package tests.
#include <windows.h>
#include <cstdint>
#include <string>

// Bytes placed so that they end right before an inaccessible page: any read
// past their end faults instead of passing unnoticed. Read-only when asked.
class GuardedBytes {
  public:
    explicit GuardedBytes(const std::string& bytes, bool readOnly = false);
    ~GuardedBytes();
    GuardedBytes(const GuardedBytes&) = delete;
    GuardedBytes& operator=(const GuardedBytes&) = delete;
    const uint8_t* data() const { return data_; }
    uint32_t size() const { return size_; }

  private:
    uint8_t* base_ = nullptr;
    const uint8_t* data_ = nullptr;
    uint32_t size_ = 0;
};

// A file of the fixtures made by make-fixtures.sh (Windows path).
std::wstring FixturePath(const std::wstring& relative);
std::string ReadAll(const std::wstring& path);
bool PathExists(const std::wstring& path);
