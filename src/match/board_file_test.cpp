#include "match/board_file.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#include "capture.h"
#include "match/match.h"

namespace {

using Pits = std::array<int32_t, 12>;

// Feeds `contents` (NUL bytes included) to read_token until it returns none.
std::vector<std::string> tokens_of(const std::string &contents)
{
    FILE *stream = tmpfile();
    fwrite(contents.data(), 1, contents.size(), stream);
    rewind(stream);
    std::vector<std::string> tokens;
    const char *token;
    while ((token = read_token(stream)) != nullptr) {
        tokens.push_back(token);
        if (tokens.size() > 20)
            break; // guard against a tokenizer that never reports the end
    }
    EXPECT_EQ(read_token(stream), nullptr) << "the end must stay the end";
    fclose(stream);
    return tokens;
}

struct TokenCase {
    const char *what;
    std::string contents;
    std::vector<std::string> tokens;
};

TEST(BoardFileReadToken, SplitsStreams)
{
    using namespace std::string_literals;
    const std::string a255(255, 'a'), a45(45, 'a');
    const std::vector<TokenCase> cases = {
        {"empty stream", "", {}},
        {"only white space", " \t\n\v\f\r", {}},
        {"blanks between", "  12  7\n", {"12", "7"}},
        {"every white space separates", "a\tb\nc\vd\fe\rf g", {"a", "b", "c", "d", "e", "f", "g"}},
        {"last token at end of stream", "x y", {"x", "y"}},
        {"comment line", "# one two\n3", {"3"}},
        {"comment after token", "4 #5 6\n7", {"4", "7"}},
        {"comment to end of stream", "8 # nine", {"8"}},
        {"hash inside token", "5#x #y\nz", {"5#x", "z"}},
        {"apostrophes", "'a b' c", {"a b", "c"}},
        {"backquotes", "`5`", {"5"}},
        {"double quotes", "\"x\ty\"z", {"x\ty", "z"}},
        {"quote right after token", "'a'b", {"a", "b"}},
        {"other quotes and hash inside quotes", "'\"`#' 1", {"\"`#", "1"}},
        {"empty quotes", "'' \"\" ``", {"", "", ""}},
        {"leading blank kept in quotes", "' 5'", {" 5"}},
        {"unclosed quote ends at end", "\"abc def", {"abc def"}},
        {"quote inside plain token", "a'b\"c d", {"a'b\"c", "d"}},
        {"high bytes are token characters", "\xa0\x85 \xff", {"\xa0\x85", "\xff"}},
        {"NUL cuts the text only", "ab\0cd ef"s, {"ab", "ef"}},
        {"plain 300 splits after 255", std::string(300, 'a'), {a255, a45}},
        {"plain 255 then blank", a255 + " b", {a255, "b"}},
        {"plain 256", std::string(256, 'a'), {a255, "a"}},
        // No closing quote is consumed after 255 characters: the rest, with
        // its quote, forms a plain token.
        {"quoted 300", "\"" + std::string(300, 'a') + "\" b", {a255, a45 + "\"", "b"}},
        // The unread closing quote of a 255-character token opens a new one.
        {"quoted 255", "'" + a255 + "' 7", {a255, " 7"}},
    };
    for (const TokenCase &c : cases)
        EXPECT_EQ(tokens_of(c.contents), c.tokens) << c.what;
}

// The random board that main would have drawn, in file order.
const Pits random_pits = {3, 1, 6, 2, 5, 4, 1, 1, 2, 6, 6, 3};

void set_pits(Board &board, const Pits &pits)
{
    for (int i = 0; i < 12; i++)
        board.sides[i / 6].pits[i % 6] = pits[i];
}

Pits pits_of(const Board &board)
{
    Pits pits;
    for (int i = 0; i < 12; i++)
        pits[i] = board.sides[i / 6].pits[i % 6];
    return pits;
}

struct Outcome {
    int status;
    std::string errors; // everything written to standard error
};

// Runs board_file_setup(path) with standard error caught in a file.
Outcome run_setup(const std::string &path)
{
    int status = 0;
    std::string errors = capture_stderr([&] { status = board_file_setup(path.c_str()); });
    return {status, errors};
}

std::string file_bytes(const std::string &path)
{
    std::string bytes;
    FILE *file = fopen(path.c_str(), "rb");
    if (file == nullptr)
        return "<unreadable>";
    int c;
    while ((c = fgetc(file)) != EOF)
        bytes.push_back(static_cast<char>(c));
    fclose(file);
    return bytes;
}

class BoardFileSetup : public testing::Test {
protected:
    void SetUp() override
    {
        char pattern[] = "/tmp/okwari-boardfile-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        dir = pattern;
        set_pits(match.board, random_pits);
        set_pits(match.start_board, random_pits);
    }
    void TearDown() override
    {
        for (const std::string &name : names)
            unlink((dir + "/" + name).c_str());
        rmdir(dir.c_str());
    }
    std::string path_of(const std::string &name)
    {
        names.push_back(name);
        return dir + "/" + name;
    }
    std::string write_file(const std::string &name, const std::string &contents)
    {
        std::string path = path_of(name);
        FILE *file = fopen(path.c_str(), "wb");
        fwrite(contents.data(), 1, contents.size(), file);
        fclose(file);
        return path;
    }

    std::string dir;
    std::vector<std::string> names;
};

struct GoodFile {
    const char *what;
    std::string contents;
    Pits pits;
};

TEST_F(BoardFileSetup, ReadsBoards)
{
    const std::vector<GoodFile> cases = {
        {"plain numbers", "1 2 3 4 5 6 6 5 4 3 2 1", {1, 2, 3, 4, 5, 6, 6, 5, 4, 3, 2, 1}},
        {"comments and line breaks",
         "# the board\n4 4 4 4 4 4 # side 0\n4 4 4 4 4 4\n",
         {4, 4, 4, 4, 4, 4, 4, 4, 4, 4, 4, 4}},
        {"any white space",
         "1\n2\n\n3\t4\v5\f6\r7 \t 8\n9 10\n11\n12\n",
         {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12}},
        {"quotes of all kinds",
         "'5' \"5\" `5` ' 5' \"\t9\" 1 1 1 1 1 1 1",
         {5, 5, 5, 5, 9, 1, 1, 1, 1, 1, 1, 1}},
        {"digits then other characters",
         "12abc 5#x +7 3 3 3 3 3 3 3 3 3",
         {12, 5, 7, 3, 3, 3, 3, 3, 3, 3, 3, 3}},
        {"text after the twelfth token is never a fault",
         "1 1 1 1 1 1 2 2 2 2 2 2 0 abc '",
         {1, 1, 1, 1, 1, 1, 2, 2, 2, 2, 2, 2}},
        {"twelfth token at end of stream",
         "6 6 6 6 6 6 6 6 6 6 6 6",
         {6, 6, 6, 6, 6, 6, 6, 6, 6, 6, 6, 6}},
        {"largest total of seeds",
         "2147483636 1 1 1 1 1 1 1 1 1 1 1",
         {2147483636, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1}},
    };
    for (const GoodFile &c : cases) {
        set_pits(match.board, random_pits);
        set_pits(match.start_board, random_pits);
        std::string path = write_file("good", c.contents);
        Outcome outcome = run_setup(path);
        EXPECT_EQ(outcome.status, 0) << c.what;
        EXPECT_EQ(outcome.errors, "") << c.what;
        EXPECT_EQ(pits_of(match.board), c.pits) << c.what;
        EXPECT_EQ(pits_of(match.start_board), c.pits) << c.what;
    }
}

struct BadFile {
    const char *what;
    std::string contents;
    std::string message; // "%s" stands for the file's path
    int status;
};

TEST_F(BoardFileSetup, RefusesBoards)
{
    const std::string many(300, '7');
    const std::vector<BadFile> cases = {
        {"zero", "0 1 1 1 1 1 1 1 1 1 1 1", "invalid token '0' in %s\n", 8},
        {"negative", "1 1 -3 1 1 1 1 1 1 1 1 1", "invalid token '-3' in %s\n", 8},
        {"no digits", "1 1 1 1 1 1 1 1 1 1 1 abc", "invalid token 'abc' in %s\n", 8},
        {"empty quotes", "1 ''", "invalid token '' in %s\n", 8},
        {"quoted sign alone", "\"- 4\" 1", "invalid token '- 4' in %s\n", 8},
        // -(2^32 - 1) is held at -2147483648 rather than wrapping round to 1.
        {"below the 32-bit range", "-4294967295 1 1 1 1 1 1 1 1 1 1 1",
         "invalid token '-4294967295' in %s\n", 8},
        // 2^32 + 1 is held at 2147483647 rather than wrapping round to 1.
        {"wrapping number", "4294967297 1 1 1 1 1 1 1 1 1 1 1",
         "too many seeds in %s: 2147483658 in all, at most 2147483647\n", 8},
        {"empty file", "", "missing token in %s: it ends after 0 of the 12 pits\n", 8},
        {"only a comment", "# 1 2 3 4 5 6 6 5 4 3 2 1",
         "missing token in %s: it ends after 0 of the 12 pits\n", 8},
        {"eleven numbers", "1 2 3 4 5 6\n6 5 4 3 2\n",
         "missing token in %s: it ends after 11 of the 12 pits\n", 8},
        {"one seed too many", "2147483637 1 1 1 1 1 1 1 1 1 1 1",
         "too many seeds in %s: 2147483648 in all, at most 2147483647\n", 8},
        {"all pits full",
         "2147483647 2147483647 2147483647 2147483647 2147483647 2147483647 "
         "2147483647 2147483647 2147483647 2147483647 2147483647 2147483647",
         "too many seeds in %s: 25769803764 in all, at most 2147483647\n", 8},
        // A token of 300 digits is cut after 255; the other 45 are the second
        // pit, so the sum shows both were read, each held at 2147483647.
        {"300 digits", many + " 1 1 1 1 1 1 1 1 1 1",
         "too many seeds in %s: 4294967304 in all, at most 2147483647\n", 8},
    };
    for (const BadFile &c : cases) {
        std::string path = write_file("bad", c.contents);
        std::string message = c.message;
        message.replace(message.find("%s"), 2, path);
        Outcome outcome = run_setup(path);
        EXPECT_EQ(outcome.status, c.status) << c.what;
        EXPECT_EQ(outcome.errors, message) << c.what;
    }
}

TEST_F(BoardFileSetup, HugeNumberReadsAsLargestCount)
{
    std::string path = write_file("huge", "99999999999999999999 1 1 1 1 1 1 1 1 1 1 1");
    Outcome outcome = run_setup(path);
    // The board is refused for its total, but the pit as read is kept.
    EXPECT_EQ(outcome.status, 8);
    EXPECT_EQ(outcome.errors,
              "too many seeds in " + path + ": 2147483658 in all, at most 2147483647\n");
    EXPECT_EQ(match.board.sides[0].pits[0], 2147483647);
    EXPECT_EQ(match.start_board.sides[0].pits[0], 2147483647);
}

TEST_F(BoardFileSetup, CreatesMissingFileThatReadsBack)
{
    std::string path = path_of("new");
    Outcome outcome = run_setup(path);
    EXPECT_EQ(outcome.status, 0);
    EXPECT_EQ(outcome.errors, "");
    EXPECT_EQ(file_bytes(path), "3 1 6 2 5 4 1 1 2 6 6 3 ");
    EXPECT_EQ(pits_of(match.board), random_pits);
    EXPECT_EQ(pits_of(match.start_board), random_pits);

    const Pits other = {6, 6, 6, 6, 6, 6, 1, 1, 1, 1, 1, 1};
    set_pits(match.board, other);
    set_pits(match.start_board, other);
    outcome = run_setup(path);
    EXPECT_EQ(outcome.status, 0);
    EXPECT_EQ(outcome.errors, "");
    EXPECT_EQ(pits_of(match.board), random_pits);
    EXPECT_EQ(pits_of(match.start_board), random_pits);
    EXPECT_EQ(file_bytes(path), "3 1 6 2 5 4 1 1 2 6 6 3 ") << "reading leaves the file alone";
}

TEST_F(BoardFileSetup, DirectoryThatDoesNotExist)
{
    std::string path = dir + "/absent/board";
    Outcome outcome = run_setup(path);
    EXPECT_EQ(outcome.status, 9);
    EXPECT_EQ(outcome.errors, "can't write '" + path + "': No such file or directory\n");
    EXPECT_EQ(pits_of(match.board), random_pits);
}

TEST_F(BoardFileSetup, DirectoryIsNoBoard)
{
    // A directory opens for reading but gives no bytes: that is a read
    // failure with the system's reason, not a short file.
    std::string path = path_of("sub");
    ASSERT_EQ(mkdir(path.c_str(), 0700), 0);
    Outcome outcome = run_setup(path);
    rmdir(path.c_str());
    EXPECT_EQ(outcome.status, 9);
    EXPECT_EQ(outcome.errors, "can't read '" + path + "': Is a directory\n");
}

TEST_F(BoardFileSetup, UnreadableFileIsOverwritten)
{
    // root reads a file whatever its mode, so the case cannot arise for root.
    if (geteuid() == 0)
        GTEST_SKIP() << "running as root: a write-only mode does not stop reading";
    std::string path = write_file("locked", "9 9 9 9 9 9 9 9 9 9 9 9 and more text\n");
    ASSERT_EQ(chmod(path.c_str(), 0200), 0);
    Outcome outcome = run_setup(path);
    chmod(path.c_str(), 0600);
    EXPECT_EQ(outcome.status, 0);
    EXPECT_EQ(outcome.errors, "");
    EXPECT_EQ(file_bytes(path), "3 1 6 2 5 4 1 1 2 6 6 3 ");
    EXPECT_EQ(pits_of(match.board), random_pits);
}

} // namespace
