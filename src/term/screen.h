// The board screen, drawn whole from the match record.
#pragma once

// Clears the terminal and draws status line, names, times, pits, labels and
// stores on standard error. Draws nothing while match.display_on is false.
void draw_screen();
