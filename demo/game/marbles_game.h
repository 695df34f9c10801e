// The rules of Marbles, free of any window: marbles appear at random spots
// and vanish after a while; clicking one pops it for a point. A round lasts
// a minute; a click after the end starts the next round.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace marbles {

constexpr int kFieldWidth = 640;
constexpr int kFieldHeight = 480;
constexpr int kHudHeight = 40; // the score bar along the top; no marble there
constexpr int kRoundMs = 60000;
constexpr int kSpawnEveryMs = 600;
constexpr int kMaxMarbles = 6;
constexpr int kPaletteSize = 5;

struct Marble {
    int x = 0; // centre
    int y = 0;
    int radius = 0;
    int colour = 0; // index into the window's palette
    int lifeLeftMs = 0;
};

class Game {
  public:
    explicit Game(uint32_t seed);

    void Start();
    void Advance(int ms);
    // True when the click popped a marble.
    bool Click(int x, int y);

    int Score() const { return score; }
    int Missed() const { return missed; }
    int TimeLeftMs() const { return timeLeftMs; }
    bool Over() const { return timeLeftMs == 0; }
    const std::vector<Marble>& Marbles() const { return marbles; }
    // What the window's title shows, so a player glancing at the task bar
    // (or a program watching the window) sees the state.
    std::string Title() const;

  private:
    uint32_t Random(uint32_t below);
    void Spawn();
    int LifeMs() const;

    uint32_t state;
    int score = 0;
    int missed = 0;
    int timeLeftMs = 0;
    int sinceSpawnMs = 0;
    std::vector<Marble> marbles;
};

} // namespace marbles
