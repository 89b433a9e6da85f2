// Any board of at most 2147483647 seeds, any side and pit: board_move keeps every seed, changes
// nothing when it refuses the move, and empties the twelve pits when the round ends.
#include <cassert>
#include <cstring>

#include "rules/board.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    int32_t n[14]; // the pits and store of side 0, then of side 1
    if (size < sizeof n + 3)
        return 0;
    int64_t seeds = 0; // each count read little-endian: an input is one board on every machine
    for (int i = 0; i < 14; i++) {
        uint32_t k = 0;
        for (int b = 3; b >= 0; b--)
            k = k << 8 | data[4 * i + b];
        seeds += n[i] = (int32_t)(k % (data[56] & 1 ? 25 : INT32_MAX / 14 + 1));
    }
    Board board, was;
    memcpy(&board, n, sizeof board);
    was = board;
    int side = (int8_t)data[57] % 3, pit = (int8_t)data[58] % 7;
    bool again = board_move(board, side, pit);
    memcpy(n, &board, sizeof n);
    for (int32_t k : n)
        seeds -= k;
    bool refused = side < 0 || side > 1 || pit < 0 || pit > 5 || was.sides[side].pits[pit] == 0;
    assert(seeds == 0 && (!refused || (!again && memcmp(&board, &was, sizeof board) == 0)));
    for (int i = 0; i < 12 && !refused && board_round_over(board); i++)
        assert(board.sides[i / 6].pits[i % 6] == 0);
    return 0;
}
