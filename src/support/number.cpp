// Decimal numbers in text.
#include "support/number.h"

#include <algorithm>
#include <cstdlib>

int32_t number_read(const char *text)
{
    return (int32_t)std::clamp(strtol(text, nullptr, 10), (long)INT32_MIN, (long)INT32_MAX);
}
