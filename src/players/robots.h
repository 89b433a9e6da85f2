// The two simple robots.
#pragma once

#include <cstdint>

// A uniformly drawn non-empty pit of the mover; draws exactly one random().
int32_t random_move();

// The mover's fullest pit, the lowest index among equally full ones.
int32_t hurry_move();
