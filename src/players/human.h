// The human player: a pit digit typed on standard input.
#pragma once

#include <cstdint>

// Prompts on the message line and returns the first digit 0..5 of a line
// that names a non-empty pit of the mover. Ends the program with status 0
// when standard input ends.
int32_t human_move();
