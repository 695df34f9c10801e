// The demo game's rules: where marbles appear, what a click does, how they
// are missed, and how a round ends and starts again.
#include "marbles_game.h"

#include <gtest/gtest.h>

#include <algorithm>

using marbles::Game;
using marbles::Marble;

namespace {

// Pops marbles until the score reaches the target, letting time pass for new ones.
void PopUntil(Game& game, int score) {
    while (game.Score() < score) {
        ASSERT_FALSE(game.Over());
        if (game.Marbles().empty()) {
            game.Advance(marbles::kSpawnEveryMs);
            continue;
        }
        Marble target = game.Marbles().front();
        ASSERT_TRUE(game.Click(target.x, target.y));
    }
}

TEST(MarblesRound, StartsWithAFullMinuteAndOneMarble) {
    Game game(7);
    EXPECT_EQ(game.Score(), 0);
    EXPECT_EQ(game.Missed(), 0);
    EXPECT_EQ(game.TimeLeftMs(), marbles::kRoundMs);
    EXPECT_FALSE(game.Over());
    EXPECT_EQ(game.Marbles().size(), 1u);
    EXPECT_EQ(game.Title(), "Marbles - Score 0 - 60 s");
}

TEST(MarblesRound, MarblesStayInTheFieldApartAndAtMostSixAtOnce) {
    for (uint32_t seed : {1u, 2u, 99u, 123456789u, 0xFFFFFFFFu}) {
        SCOPED_TRACE(seed);
        Game game(seed);
        size_t most = 0;
        for (int step = 0; step < 200; ++step) {
            game.Advance(100);
            const std::vector<Marble>& all = game.Marbles();
            most = std::max(most, all.size());
            for (size_t i = 0; i < all.size(); ++i) {
                const Marble& m = all[i];
                EXPECT_GE(m.x - m.radius, 0);
                EXPECT_LE(m.x + m.radius, marbles::kFieldWidth);
                EXPECT_GE(m.y - m.radius, marbles::kHudHeight);
                EXPECT_LE(m.y + m.radius, marbles::kFieldHeight);
                EXPECT_GE(m.colour, 0);
                EXPECT_LT(m.colour, marbles::kPaletteSize);
                for (size_t j = i + 1; j < all.size(); ++j) {
                    int dx = m.x - all[j].x;
                    int dy = m.y - all[j].y;
                    int reach = m.radius + all[j].radius;
                    EXPECT_GE(dx * dx + dy * dy, reach * reach) << i << " and " << j;
                }
            }
        }
        EXPECT_LE(most, size_t(marbles::kMaxMarbles));
        EXPECT_GE(most, 3u) << "marbles keep coming";
    }
}

TEST(MarblesRound, TheSameSeedPlacesTheSameMarbles) {
    Game a(42);
    Game b(42);
    a.Advance(3000);
    b.Advance(3000);
    ASSERT_EQ(a.Marbles().size(), b.Marbles().size());
    for (size_t i = 0; i < a.Marbles().size(); ++i) {
        EXPECT_EQ(a.Marbles()[i].x, b.Marbles()[i].x);
        EXPECT_EQ(a.Marbles()[i].y, b.Marbles()[i].y);
        EXPECT_EQ(a.Marbles()[i].radius, b.Marbles()[i].radius);
    }
}

TEST(MarblesClick, InsideAMarblePopsItAndScores) {
    struct Case {
        const char* where;
        int dx; // from the centre, in radii
        int dy;
        bool pops;
    };
    const Case cases[] = {
        {"centre", 0, 0, true},
        {"right edge", 1, 0, true},
        {"top edge", 0, -1, true},
        {"beyond the edge", 1, 1, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.where);
        Game game(5);
        Marble target = game.Marbles().front();
        bool popped = game.Click(target.x + c.dx * target.radius, target.y + c.dy * target.radius);
        EXPECT_EQ(popped, c.pops);
        EXPECT_EQ(game.Score(), c.pops ? 1 : 0);
        EXPECT_EQ(game.Marbles().empty(), c.pops);
    }
}

TEST(MarblesClick, TheTitleShowsTheScoreAndTheSecondsLeft) {
    Game game(11);
    PopUntil(game, 3);
    int elapsed = marbles::kRoundMs - game.TimeLeftMs();
    ASSERT_LE(elapsed, 1500);
    game.Advance(1500 - elapsed);
    EXPECT_EQ(game.Title(), "Marbles - Score 3 - 59 s");
}

TEST(MarblesMiss, AMarbleLeftAloneVanishesAndCountsAsMissed) {
    Game game(3);
    Marble first = game.Marbles().front();
    game.Advance(first.lifeLeftMs - 1);
    EXPECT_EQ(game.Missed(), 0);
    game.Advance(1);
    EXPECT_EQ(game.Missed(), 1);
    EXPECT_EQ(game.Score(), 0);
    EXPECT_TRUE(std::none_of(game.Marbles().begin(), game.Marbles().end(), [&](const Marble& m) {
        return m.x == first.x && m.y == first.y && m.radius == first.radius;
    }));
}

TEST(MarblesMiss, MarblesGoQuickerForABetterPlayer) {
    Game game(9);
    int startLife = game.Marbles().front().lifeLeftMs;
    PopUntil(game, 10);
    while (!game.Marbles().empty()) {
        game.Click(game.Marbles().front().x, game.Marbles().front().y);
    }
    game.Advance(marbles::kSpawnEveryMs);
    ASSERT_FALSE(game.Marbles().empty());
    EXPECT_LT(game.Marbles().front().lifeLeftMs, startLife);
}

TEST(MarblesEnd, TimeUpClearsTheFieldAndAClickStartsAgain) {
    Game game(21);
    PopUntil(game, 2);
    game.Advance(marbles::kRoundMs);
    EXPECT_TRUE(game.Over());
    EXPECT_EQ(game.TimeLeftMs(), 0);
    EXPECT_TRUE(game.Marbles().empty());
    EXPECT_EQ(game.Title(), "Marbles - Score 2 - click to play again");
    game.Advance(5000);
    EXPECT_TRUE(game.Marbles().empty()) << "no marbles after the end";

    EXPECT_FALSE(game.Click(100, 100));
    EXPECT_FALSE(game.Over());
    EXPECT_EQ(game.Score(), 0);
    EXPECT_EQ(game.TimeLeftMs(), marbles::kRoundMs);
    EXPECT_EQ(game.Marbles().size(), 1u);
}

} // namespace
