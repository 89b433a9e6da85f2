// Tests of the wise robot: the worked position, the shape of the search
// tree, agreement with an independently written minimax and, position by
// position, with the plain search it was made fast from; the thinking line.
#include "players/wise.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "capture.h"
#include "match/match.h"
#include "players/wise_reference.h"
#include "rules/board.h"
#include "term/term.h"

namespace {

Board make_board(std::vector<int32_t> pits0, int32_t store0, std::vector<int32_t> pits1,
                 int32_t store1)
{
    Board b{};
    for (int i = 0; i < 6; i++) {
        b.sides[0].pits[i] = pits0[i];
        b.sides[1].pits[i] = pits1[i];
    }
    b.sides[0].store = store0;
    b.sides[1].store = store1;
    return b;
}

bool same_board(const Board &a, const Board &b)
{
    return memcmp(&a, &b, sizeof(Board)) == 0;
}

// Side 0 to move; only pits 4 and 5 of side 0 hold a seed.
const Board worked = make_board({0, 0, 0, 0, 1, 1}, 0, {1, 2, 2, 0, 0, 1}, 0);

// Every test here sets the match record and the terminal attribute for
// itself; the fixture gives them back as they were found.
class Wise : public ::testing::Test {
protected:
    void SetUp() override
    {
        saved_match = match;
        saved_attr = term_attr;
        saved_enabled = term_enabled;
        match.display_on = false;
    }
    void TearDown() override
    {
        match = saved_match;
        term_attr = saved_attr;
        term_enabled = saved_enabled;
    }
    static void play(const Board &b, int32_t mover)
    {
        match.board = b;
        match.current_player = mover;
    }
    MatchState saved_match;
    TermAttr saved_attr;
    uint8_t saved_enabled;
};

// Random position in the middle of a round: both rows hold a seed.
Board random_position(std::mt19937 &rng, int32_t max_pit, int32_t max_store)
{
    std::uniform_int_distribution<int32_t> pit(0, max_pit), store(0, max_store);
    Board b{};
    do {
        for (int s = 0; s < 2; s++) {
            for (int i = 0; i < 6; i++)
                b.sides[s].pits[i] = pit(rng);
            b.sides[s].store = store(rng);
        }
    } while (board_round_over(b));
    return b;
}

// The number of moves the search must score: each root move, and below a
// move scored with depth above 0 every move of the side that follows, where
// only a change of turn costs depth. Kept as a work list rather than a
// recursion so that it shares no shape with the code under test.
int count_scored_moves(const Board &b, int mover, int32_t level)
{
    struct Item {
        Board board;
        int side, pit;
        int32_t depth;
    };
    std::vector<Item> work;
    for (int p = 0; p < 6; p++)
        if (b.sides[mover].pits[p] != 0)
            work.push_back({b, mover, p, level});
    int scored = 0;
    while (!work.empty()) {
        Item it = work.back();
        work.pop_back();
        scored++;
        bool again = board_move(it.board, it.side, it.pit);
        if (it.depth <= 0)
            continue;
        int next = again ? it.side : 1 - it.side;
        for (int p = 0; p < 6; p++)
            if (it.board.sides[next].pits[p] != 0)
                work.push_back({it.board, next, p, again ? it.depth : it.depth - 1});
    }
    return scored;
}

// A second minimax, counted the other way round: a position is scored on
// the spot once the turn has changed `level` times before its last move (or
// the round is over), otherwise it takes the best of its successors for the
// side to move, collected in a vector.
int32_t brute_value(const Board &after, int last_mover, bool again, int32_t changes_before,
                    int32_t level, int root)
{
    int32_t diff = after.sides[root].store - after.sides[1 - root].store;
    if (changes_before >= level || board_round_over(after))
        return diff;
    int next = again ? last_mover : 1 - last_mover;
    int32_t changes = changes_before + (again ? 0 : 1);
    std::vector<int32_t> values;
    for (int p = 0; p < 6; p++) {
        if (after.sides[next].pits[p] == 0)
            continue;
        Board child = after;
        bool child_again = board_move(child, next, p);
        values.push_back(brute_value(child, next, child_again, changes, level, root));
    }
    return next == root ? *std::max_element(values.begin(), values.end())
                        : *std::min_element(values.begin(), values.end());
}

int32_t brute_score(const Board &b, int mover, int pit, int32_t level)
{
    Board child = b;
    bool again = board_move(child, mover, pit);
    return brute_value(child, mover, again, 0, level, mover);
}

TEST_F(Wise, WorkedPositionScoresAndChoices)
{
    struct Case {
        int32_t level;
        int32_t score4, score5;
        int32_t chosen;
    };
    const Case cases[] = {
        // Pit 5 ends in the store: its extra turn is not explored at level 0,
        // nor at any negative level.
        {0, 0, 1, 5},
        {-1, 0, 1, 5},
        {-5, 0, 1, 5},
        // Three of side 1's four replies to pit 4 reach side 1's store;
        // pit 5's extra turn leaves pit 4, whose capture ends the round 3 to 5.
        {1, -1, -2, 4},
        {2, -6, -2, 5},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE("level " + std::to_string(c.level));
        play(worked, 0);
        EXPECT_EQ(wise_search(worked, 0, 4, c.level), c.score4);
        EXPECT_EQ(wise_search(worked, 0, 5, c.level), c.score5);
        EXPECT_EQ(wise_move(c.level), c.chosen);
        EXPECT_TRUE(same_board(match.board, worked));
    }
}

TEST_F(Wise, WorkedPositionAtLevelOneScoresSevenMoves)
{
    // The tree the rules define: 2 root moves, 4 replies to pit 4, and the
    // one move of pit 5's extra turn, after which the round is over.
    EXPECT_EQ(count_scored_moves(worked, 0, 1), 7);

    // And what the plain search does: one call per move scored. The fast
    // search is held to the plain one, score for score, further down.
    struct Case {
        int32_t level;
        uint64_t calls;
    };
    const Case cases[] = {{-3, 2}, {0, 2}, {1, 7}, {2, (uint64_t)count_scored_moves(worked, 0, 2)}};
    for (const Case &c : cases) {
        SCOPED_TRACE("level " + std::to_string(c.level));
        reference_positions = 0;
        int32_t pit = reference_wise_move(worked, 0, c.level);
        EXPECT_EQ(reference_positions, c.calls);
        play(worked, 0);
        EXPECT_EQ(wise_move(c.level), pit);
    }
}

TEST_F(Wise, EqualScoresKeepTheLowestPit)
{
    struct Case {
        Board board;
        int32_t mover, level, pit;
    };
    const Case cases[] = {
        // Pit 4 ends in the store with an extra turn, pit 5 passes one seed
        // on: both 1 at level 0.
        {make_board({0, 0, 0, 0, 2, 2}, 0, {1, 1, 1, 1, 1, 1}, 0), 0, 0, 4},
        {make_board({1, 1, 1, 1, 1, 1}, 0, {0, 0, 0, 0, 2, 1}, 0), 1, 0, 4},
        // Side 1's one reply to either move ends the round 2 to 1.
        {make_board({1, 1, 0, 0, 0, 0}, 0, {0, 0, 0, 0, 0, 1}, 0), 0, 1, 0},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE("pit " + std::to_string(c.pit));
        play(c.board, c.mover);
        EXPECT_EQ(wise_move(c.level), c.pit);
    }
}

TEST_F(Wise, SingleNonEmptyPitIsChosenAtAnyLevel)
{
    struct Case {
        Board board;
        int32_t mover, pit;
    };
    const Case cases[] = {
        {make_board({0, 0, 0, 7, 0, 0}, 0, {1, 2, 3, 1, 2, 3}, 0), 0, 3},
        {make_board({0, 0, 0, 0, 0, 1}, 4, {2, 2, 2, 2, 2, 2}, 1), 0, 5},
        {make_board({3, 1, 4, 1, 5, 9}, 2, {1, 0, 0, 0, 0, 0}, 6), 1, 0},
        {make_board({2, 1, 2, 1, 2, 1}, 0, {0, 0, 0, 0, 13, 0}, 0), 1, 4},
    };
    for (const Case &c : cases) {
        for (int32_t level = 0; level <= 6; level++) {
            SCOPED_TRACE("pit " + std::to_string(c.pit) + " level " + std::to_string(level));
            play(c.board, c.mover);
            EXPECT_EQ(wise_move(level), c.pit);
        }
    }
}

TEST_F(Wise, NegativeLevelsChooseAsLevelZeroAndLeaveTheBoard)
{
    std::mt19937 rng(20260101);
    for (int n = 0; n < 300; n++) {
        Board b = random_position(rng, 6, 10);
        int32_t mover = n % 2;
        if (std::all_of(b.sides[mover].pits, b.sides[mover].pits + 6,
                        [](int32_t c) { return c == 0; }))
            continue;
        play(b, mover);
        int32_t at0 = wise_move(0);
        EXPECT_EQ(wise_move(-1), at0);
        EXPECT_EQ(wise_move(-5), at0);
        int32_t at2 = wise_move(2);
        ASSERT_TRUE(at2 >= 0 && at2 <= 5);
        EXPECT_NE(b.sides[mover].pits[at2], 0);
        EXPECT_TRUE(same_board(match.board, b));
        EXPECT_EQ(match.current_player, mover);
    }
}

TEST_F(Wise, RootMoveEndingTheRoundIsScoredAfterTheSweep)
{
    struct Case {
        Board board;
        int32_t mover, pit, score;
    };
    const Case cases[] = {
        // Last seed into the own store empties side 0: 1+3 against 12+1.
        {make_board({0, 0, 0, 0, 0, 1}, 3, {2, 2, 2, 2, 2, 2}, 1), 0, 5, 4 - 13},
        // Side 1 empties its own row; side 0 keeps its seven seeds.
        {make_board({1, 1, 1, 1, 1, 1}, 0, {0, 0, 0, 0, 0, 2}, 4), 1, 5, 5 - 7},
        // A capture takes side 1's last seeds: 1 + 4 into side 0's store,
        // and side 0 keeps its remaining 2 + 3.
        {make_board({1, 0, 2, 3, 0, 0}, 0, {0, 0, 0, 0, 4, 0}, 0), 0, 0, 10 - 0},
    };
    for (const Case &c : cases) {
        for (int32_t level = -1; level <= 5; level++) {
            SCOPED_TRACE("pit " + std::to_string(c.pit) + " level " + std::to_string(level));
            play(c.board, c.mover);
            EXPECT_EQ(wise_search(c.board, c.mover, c.pit, level), c.score);
        }
    }
}

TEST_F(Wise, AgreesWithIndependentMinimax)
{
    std::mt19937 rng(777);
    int compared = 0;
    for (int n = 0; n < 300; n++) {
        // Small counts keep the rounds short, so the sweep and extra turns
        // are met often inside the trees.
        Board b = random_position(rng, 3, 4);
        int32_t mover = (n / 2) % 2;
        play(b, mover);
        for (int32_t level = 0; level <= 3; level++) {
            for (int pit = 0; pit < 6; pit++) {
                if (b.sides[mover].pits[pit] == 0)
                    continue;
                ASSERT_EQ(wise_search(b, mover, pit, level), brute_score(b, mover, pit, level))
                    << "position " << n << " pit " << pit << " level " << level;
                compared++;
            }
        }
    }
    EXPECT_GT(compared, 3000);
}

// The fast search against the plain one on `b` with `mover` to move at
// `level`: the score of every root move, and the pit chosen from them.
::testing::AssertionResult matches_reference(const Board &b, int mover, int32_t level)
{
    match.board = b;
    match.current_player = mover;
    int32_t want = -1, best = 0;
    for (int pit = 0; pit < 6; pit++) {
        if (b.sides[mover].pits[pit] == 0)
            continue;
        int32_t ref = reference_wise_search(b, mover, mover, pit, level);
        int32_t fast = wise_search(b, mover, pit, level);
        if (fast != ref)
            return ::testing::AssertionFailure()
                   << "pit " << pit << " scored " << fast << ", reference " << ref;
        if (want < 0 || ref > best) {
            want = pit;
            best = ref;
        }
    }
    int32_t got = wise_move(level);
    if (got != want)
        return ::testing::AssertionFailure() << "chose pit " << got << ", reference " << want;
    return ::testing::AssertionSuccess();
}

std::string describe(const Board &b, int mover, int32_t level)
{
    std::string text =
        "side " + std::to_string(mover) + " to move at level " + std::to_string(level) + " on";
    for (int s = 0; s < 2; s++) {
        for (int i = 0; i < 6; i++)
            text += " " + std::to_string(b.sides[s].pits[i]);
        text += " [" + std::to_string(b.sides[s].store) + "]";
    }
    return text;
}

TEST_F(Wise, FastSearchAgreesWithThePlainOne)
{
    // Four kinds of board, 25,000 of each: small counts as in play, counts
    // up to 20 that reach round the board, sparse rows whose rounds end in
    // sweeps, and a pit of up to 255 seeds with the rest small, so that the
    // whole laps and boards on either side of 255 seeds in all are met.
    std::mt19937 rng(20261206);
    auto draw = [&](int32_t lo, int32_t hi) {
        return std::uniform_int_distribution<int32_t>(lo, hi)(rng);
    };
    int over_255 = 0, laps_packed = 0;
    for (int n = 0; n < 100000; n++) {
        int kind = n % 4;
        Board b{};
        do {
            for (int s = 0; s < 2; s++) {
                for (int i = 0; i < 6; i++) {
                    switch (kind) {
                    case 0:
                        b.sides[s].pits[i] = draw(0, 6);
                        break;
                    case 1:
                        b.sides[s].pits[i] = draw(0, 20);
                        break;
                    case 2:
                        b.sides[s].pits[i] = draw(0, 3) == 0 ? draw(1, 4) : 0;
                        break;
                    default:
                        b.sides[s].pits[i] = draw(0, 4);
                        break;
                    }
                }
                b.sides[s].store = draw(0, kind == 1 ? 40 : 25);
            }
            if (kind == 3)
                b.sides[draw(0, 1)].pits[draw(0, 5)] = draw(13, 230);
        } while (board_round_over(b));
        int mover = draw(0, 1);
        if (std::all_of(b.sides[mover].pits, b.sides[mover].pits + 6,
                        [](int32_t c) { return c == 0; }))
            mover = 1 - mover;
        // Levels weighted low on the full boards, where a level-4 tree is
        // some 80,000 positions; a sparse one is a few hundred.
        int cycle = (n / 4) % 250;
        int32_t level = cycle < 1 ? 4 : cycle < 8 ? 3 : cycle < 58 ? 2 : cycle < 146 ? 1 : 0;
        if (kind == 2)
            level = (n / 4) % 5;

        ASSERT_TRUE(matches_reference(b, mover, level)) << describe(b, mover, level);
        int64_t total = 0;
        bool lap = false;
        for (int s = 0; s < 2; s++) {
            for (int i = 0; i < 6; i++) {
                total += b.sides[s].pits[i];
                lap |= s == mover && b.sides[s].pits[i] >= 13;
            }
            total += b.sides[s].store;
        }
        over_255 += total > 255;
        laps_packed += lap && total <= 255;
    }
    // Boards of more than 255 seeds take the other road of the search; whole
    // laps were sown from the root on boards of fewer.
    EXPECT_GT(over_255, 1000);
    EXPECT_GT(laps_packed, 10000);
}

TEST_F(Wise, FastSearchAgreesNearTwoBillionSeeds)
{
    std::mt19937 rng(2000000000);
    auto draw = [&](int32_t lo, int32_t hi) {
        return std::uniform_int_distribution<int32_t>(lo, hi)(rng);
    };
    for (int n = 0; n < 3000; n++) {
        // One or two huge pits, the rest small; at most 2147483647 in all,
        // the most a board file lets into a match.
        Board b{};
        for (int s = 0; s < 2; s++) {
            for (int i = 0; i < 6; i++)
                b.sides[s].pits[i] = draw(0, 6);
            b.sides[s].store = draw(0, 1000);
        }
        b.sides[draw(0, 1)].pits[draw(0, 5)] = draw(1900000000, 2000000000);
        if (n % 2)
            b.sides[draw(0, 1)].pits[draw(0, 5)] = draw(0, 140000000);
        if (board_round_over(b))
            continue;
        int mover = draw(0, 1);
        if (std::all_of(b.sides[mover].pits, b.sides[mover].pits + 6,
                        [](int32_t c) { return c == 0; }))
            mover = 1 - mover;
        int32_t level = n % 3;
        ASSERT_TRUE(matches_reference(b, mover, level)) << describe(b, mover, level);
    }
}

TEST_F(Wise, SearchScoresForTheRootMoverWhoeverMoves)
{
    // wise_search for either side and either root mover, on every pit: an
    // empty one is a rejected move, which passes the turn.
    std::mt19937 rng(31337);
    for (int n = 0; n < 1500; n++) {
        Board b = n % 2 ? random_position(rng, 6, 20) : random_position(rng, 40, 60);
        int32_t level = n % 3;
        for (int root = 0; root < 2; root++) {
            match.current_player = root;
            for (int side = 0; side < 2; side++) {
                for (int pit = 0; pit < 6; pit++) {
                    ASSERT_EQ(wise_search(b, side, pit, level),
                              reference_wise_search(b, root, side, pit, level))
                        << "root " << root << " pit " << pit << ", " << describe(b, side, level);
                }
            }
        }
    }
}

TEST_F(Wise, ThinkingLine)
{
    struct Case {
        bool display_on;
        int32_t mover;
        TermAttr attr_before;
        int32_t level;
        const char *expected;
    };
    const Case cases[] = {
        {false, 0, 7, -5, ""},
        {false, 1, 7, 3, ""},
        {true, 0, 7, -5, "\033[14;1H\033[0;31;40;2mwise-5 thinking..."},
        {true, 1, 7, 2, "\033[14;1H\033[0;32;40;2mwise2 thinking..."},
        // Already in the mover's colour: no attribute sequence at all.
        {true, 1, 2, 0, "\033[14;1Hwise0 thinking..."},
    };
    Board b = make_board({1, 2, 3, 4, 5, 6}, 0, {6, 5, 4, 3, 2, 1}, 0);
    for (const Case &c : cases) {
        SCOPED_TRACE(c.expected);
        play(b, c.mover);
        match.display_on = c.display_on;
        term_enabled = 1;
        term_attr = c.attr_before;
        EXPECT_EQ(capture_stderr([&] { wise_move(c.level); }), c.expected);
    }
}

} // namespace
