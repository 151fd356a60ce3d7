#pragma once

#include <windows.h>

#include <string>
#include <vector>

// Collects the text of every debugger output of this process while it lives.
// The system raises one exception per output, which a vectored handler sees
// before anything else; the narrow form is raised on every system version.
class DebugOutputCapture {
  public:
    DebugOutputCapture() {
        lines_ = &captured_;
        handler_ = ::AddVectoredExceptionHandler(1, &DebugOutputCapture::OnException);
    }
    ~DebugOutputCapture() {
        if (handler_) ::RemoveVectoredExceptionHandler(handler_);
        lines_ = nullptr;
    }
    DebugOutputCapture(const DebugOutputCapture&) = delete;
    DebugOutputCapture& operator=(const DebugOutputCapture&) = delete;

    const std::vector<std::string>& Lines() const { return captured_; }
    int CountContaining(const std::string& part) const;

  private:
    static LONG CALLBACK OnException(EXCEPTION_POINTERS* info);

    static std::vector<std::string>* lines_;
    std::vector<std::string> captured_;
    PVOID handler_ = nullptr;
};
