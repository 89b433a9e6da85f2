// Decimal numbers in text.
#pragma once

#include <cstdint>

// `text` read in base 10 the way strtol reads it: leading white space, a
// sign, then digits up to the first other character; no digits give 0. A
// number beyond the signed 32-bit range gives the nearest limit.
int32_t number_read(const char *text);
