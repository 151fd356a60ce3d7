#include "support/DebugOutputCapture.h"

std::vector<std::string>* DebugOutputCapture::lines_ = nullptr;

int DebugOutputCapture::CountContaining(const std::string& part) const {
    int n = 0;
    for (const std::string& line : captured_) n += line.find(part) != std::string::npos;
    return n;
}

LONG CALLBACK DebugOutputCapture::OnException(EXCEPTION_POINTERS* info) {
    const EXCEPTION_RECORD* record = info->ExceptionRecord;
    if (lines_ && record->ExceptionCode == DBG_PRINTEXCEPTION_C && record->NumberParameters >= 2 &&
        record->ExceptionInformation[1]) {
        lines_->push_back(reinterpret_cast<const char*>(record->ExceptionInformation[1]));
    }
    return EXCEPTION_CONTINUE_SEARCH;
}
