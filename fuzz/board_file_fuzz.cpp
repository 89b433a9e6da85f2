// Any bytes as the board file: board_file_setup gives 0 with twelve pits of at
// least 1, the same in both boards, 2147483647 seeds at most; or 8 and a message.
#include <cassert>
#include <fstream>
#include <sys/mman.h>

#include "match/board_file.h"
#include "match/match.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static const std::string path = "/proc/self/fd/" + std::to_string(memfd_create("board", 0));
    static FILE *messages = stderr = fmemopen(nullptr, 512, "w");
    std::ofstream(path, std::ios::binary).write((const char *)data, (std::streamsize)size);
    match.board = match.start_board = Board{};
    rewind(messages);
    int status = board_file_setup(path.c_str());
    assert(status == 0 || (status == 8 && ftell(messages) > 0));
    int64_t seeds = 0;
    for (int i = 0; i < 12 && status == 0; i++) {
        int32_t pit = match.board.sides[i / 6].pits[i % 6];
        assert(pit >= 1 && pit == match.start_board.sides[i / 6].pits[i % 6]);
        seeds += pit;
    }
    assert(seeds <= INT32_MAX);
    return 0;
}
