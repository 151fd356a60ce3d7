#include "package/LogText.h"

#include <climits>

bool CodePageTakesDefaultChar(UINT codePage) {
    switch (codePage) {
        case CP_UTF7:
        case CP_UTF8:
        case 42:     // symbol
        case 54936:  // GB18030
            return false;
        default:
            break;
    }
    // ISO-2022 and the ISCII code pages switch state inside the text.
    if (codePage >= 50220 && codePage <= 50229) return false;
    if (codePage >= 57002 && codePage <= 57011) return false;
    return true;
}

int ConvertNameForLog(const wchar_t* name, size_t length, UINT codePage, char* out,
                      size_t capacity) {
    if (length == 0 || length > INT_MAX || capacity == 0) return 0;
    const int units = static_cast<int>(length);
    const int bytes = capacity > INT_MAX ? INT_MAX : static_cast<int>(capacity);
    if (CodePageTakesDefaultChar(codePage)) {
        const int n = ::WideCharToMultiByte(codePage, 0, name, units, out, bytes, "_", nullptr);
        if (n > 0) return n;
        // A code page not listed above may still refuse the stand-in.
        if (::GetLastError() != ERROR_INVALID_PARAMETER) return 0;
    }
    const int n = ::WideCharToMultiByte(codePage, 0, name, units, out, bytes, nullptr, nullptr);
    return n > 0 ? n : 0;
}
