#include "match/board_file.h"

#include <gtest/gtest.h>

#include <fstream>

#include "capture.h"
#include "match/match.h"

// Each token of a stream followed by '|'.
TEST(ReadToken, SplitsTheStream)
{
    const std::string a300(300, 'a'), a255(255, 'a'), a45(45, 'a');
    // clang-format off
    for (const auto &[contents, tokens] : {std::pair<std::string, std::string>{" \t\n\v\f\r", ""},
         {"  12\t7\n x", "12|7|x|"}, {"# 1 2\n3 #4 5\n6 # 7", "3|6|"}, {"5#x #y\nz", "5#x|z|"},
         {"'a b' `c\"d` \"e'f\"g", "a b|c\"d|e'f|g|"}, {"'' 'open", "|open|"}, {"\x80\xff x", "\x80\xff|x|"},
         {a300, a255 + "|" + a45 + "|"}, {"'" + a300 + "'", a255 + "|" + a45 + "'|"}}) {
        // clang-format on
        FILE *stream = fmemopen((void *)contents.data(), contents.size(), "r");
        std::string got;
        for (const char *t; (t = read_token(stream)) != nullptr && got.size() < 999;)
            got += std::string(t) + "|";
        fclose(stream);
        EXPECT_EQ(got, tokens) << contents;
    }
}

// The file's contents, then the twelve pits read into both boards or the
// message about the file (named F here), and the status.
TEST(BoardFileSetup, ReadsOrRefuses)
{
    Restore keep(match);
    const std::string path = testing::TempDir() + "F", many(300, '7');
    // clang-format off
    for (const auto &[contents, shown, status] : {std::tuple<std::string, std::string, int>{
         "1 2 3 4 5 6 6 5 4 3 2 1", "1 2 3 4 5 6 6 5 4 3 2 1 ", 0},
        {"# 0\n4 4 4 4 4 4 # 1\n'5' \"5\" `5` ' 5' 12abc 5#x\n0 x", "4 4 4 4 4 4 5 5 5 5 12 5 ", 0},
        {"+7 1 1 1 1 1 1 1 1 1 1 2147483630", "7 1 1 1 1 1 1 1 1 1 1 2147483630 ", 0},
        {"1 1 -3 1", "invalid token '-3' in F\n", 8}, {"1 '' 1", "invalid token '' in F\n", 8},
        {"1 2 3 4 5 6\n6 5 4 3 2 # 1", "missing token in F: it ends after 11 of the 12 pits\n", 8},
        {"4294967297 1 1 1 1 1 1 1 1 1 1 1", "too many seeds in F: 2147483658 in all, at most 2147483647\n", 8},
        {many + " 1 1 1 1 1 1 1 1 1 1", "too many seeds in F: 4294967304 in all, at most 2147483647\n", 8},
        {"2147483637 1 1 1 1 1 1 1 1 1 1 1", "too many seeds in F: 2147483648 in all, at most 2147483647\n", 8}}) {
        // clang-format on
        match = {};
        std::ofstream(path) << contents;
        int returned = -1;
        std::string got = capture([&] { returned = board_file_setup(path.c_str()); });
        for (size_t at; (at = got.find(path)) != std::string::npos;)
            got.replace(at, path.size(), "F");
        for (int k = 0; returned == 0 && k < 12; k++)
            got += std::to_string(match.start_board.sides[k / 6].pits[k % 6]) + " ";
        EXPECT_EQ(got, shown) << contents;
        EXPECT_EQ(returned, status) << contents;
        EXPECT_EQ(memcmp(&match.board, &match.start_board, sizeof(Board)), 0) << contents;
    }
    remove(path.c_str());
}
