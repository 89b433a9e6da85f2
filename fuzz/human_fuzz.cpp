// Byte 0 picks the mover, bytes 1-12 the pits, the rest is standard input: human_move returns a
// non-empty pit 0..5 of the mover, or calls exit(0) once it reads the end of input, never past it.
#include <cassert>
#include <csetjmp>
#include <cstdio>

#include "match/match.h"
#include "players/human.h"

static jmp_buf back;
static bool armed; // while human_move runs
extern "C" [[noreturn]] void __real_exit(int status);

extern "C" int __wrap_fgetc(FILE *stream)
{
    assert(!feof(stream));
    return getc(stream);
}

extern "C" [[noreturn]] void __wrap_exit(int status)
{
    if (!armed)
        __real_exit(status);
    assert(status == 0 && feof(stdin));
    longjmp(back, 1);
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    [[maybe_unused]] static FILE *prompts = stderr = fopen("/dev/null", "w");
    if (size < 13)
        return 0;
    int me = match.current_player = data[0] & 1;
    for (int i = 0; i < 12; i++)
        match.board.sides[i / 6].pits[i % 6] = data[1 + i] % 3;
    match.board.sides[me].pits[data[0] / 2 % 6] |= 1;
    match.names[me] = "kim";
    stdin = fmemopen((void *)(data + 13), size - 13, "r");
    armed = true;
    if (setjmp(back) == 0) {
        int pit = human_move();
        assert(pit >= 0 && pit <= 5 && match.board.sides[me].pits[pit] != 0);
    }
    armed = false;
    fclose(stdin);
    return 0;
}
