// Shared by the players' tests: set the live board.
#pragma once

#include "capture.h"
#include "match/match.h"

// Sets match.board from side 0's six pits then side 1's six pits.
inline void set_pits(const int (&pits)[12])
{
    for (int s = 0; s < 2; s++) {
        for (int i = 0; i < 6; i++)
            match.board.sides[s].pits[i] = pits[s * 6 + i];
        match.board.sides[s].store = 0;
    }
}
