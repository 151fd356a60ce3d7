#pragma once
// Integers as decimal wide text, written by hand: std::to_wstring formats
// through the runtime's wide printf, which would be linked into the
// installer for nothing else.
#include <string>
#include <type_traits>

std::wstring DecimalText(unsigned long long magnitude, bool negative);

// The same text std::to_wstring gives for `value`.
template <typename Int>
std::wstring DecimalText(Int value) {
    static_assert(std::is_integral_v<Int>, "an integer");
    if constexpr (std::is_signed_v<Int>) {
        const bool negative = value < 0;
        // Negated in unsigned arithmetic, so the most negative value works.
        const auto wide = static_cast<unsigned long long>(static_cast<long long>(value));
        return DecimalText(negative ? 0ULL - wide : wide, negative);
    } else {
        return DecimalText(static_cast<unsigned long long>(value), false);
    }
}
