// okwari: two rounds of the sowing game between people and robots.
#include "match/match.h"

int main(int argc, char **argv)
{
    return match_run(argc, argv);
}
