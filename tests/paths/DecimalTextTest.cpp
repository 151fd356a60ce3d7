// Decimal text of integers: the same as the standard conversion gives.
#include <gtest/gtest.h>

#include <climits>
#include <cstddef>
#include <string>

#include "base/DecimalText.h"

namespace {

TEST(DecimalTextTest, MatchesTheStandardConversion) {
    const long long cases[] = {0, 7, -1, 10, 99, -100, 1234567890, INT_MIN, LLONG_MAX, LLONG_MIN};
    for (long long value : cases) {
        EXPECT_EQ(DecimalText(value), std::to_wstring(value)) << value;
        if (value >= INT_MIN && value <= INT_MAX) {
            const int narrow = static_cast<int>(value);
            EXPECT_EQ(DecimalText(narrow), std::to_wstring(narrow)) << value;
        }
    }
    const unsigned long long unsignedCases[] = {0, 9, 4294967295ULL, ULLONG_MAX};
    for (unsigned long long value : unsignedCases) {
        EXPECT_EQ(DecimalText(value), std::to_wstring(value)) << value;
        EXPECT_EQ(DecimalText(static_cast<size_t>(value)),
                  std::to_wstring(static_cast<size_t>(value)));
    }
}

}  // namespace
