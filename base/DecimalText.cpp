#include "base/DecimalText.h"

std::wstring DecimalText(unsigned long long magnitude, bool negative) {
    wchar_t digits[24];  // 20 digits at most, and the sign
    size_t at = std::size(digits);
    do {
        digits[--at] = static_cast<wchar_t>(L'0' + magnitude % 10);
        magnitude /= 10;
    } while (magnitude != 0);
    if (negative) digits[--at] = L'-';
    return std::wstring(digits + at, std::size(digits) - at);
}
