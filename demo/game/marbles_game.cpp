#include "marbles_game.h"

#include <algorithm>

namespace marbles {

namespace {

constexpr int kMinRadius = 20;
constexpr int kMaxRadius = 34;
constexpr int kPlacementTries = 20;

bool Overlaps(const Marble& a, const Marble& b) {
    int dx = a.x - b.x;
    int dy = a.y - b.y;
    int reach = a.radius + b.radius + 4;
    return dx * dx + dy * dy < reach * reach;
}

} // namespace

Game::Game(uint32_t seed) : state(seed == 0 ? 1 : seed) {
    Start();
}

void Game::Start() {
    score = 0;
    missed = 0;
    timeLeftMs = kRoundMs;
    sinceSpawnMs = kSpawnEveryMs; // the first marble appears at once
    marbles.clear();
    Advance(0);
}

uint32_t Game::Random(uint32_t below) {
    // xorshift32: enough for placing marbles, and the same for every seed.
    state ^= state << 13;
    state ^= state >> 17;
    state ^= state << 5;
    return state % below;
}

int Game::LifeMs() const {
    // The better the player, the quicker the marbles go.
    return std::max(1200, 3200 - 50 * score);
}

void Game::Spawn() {
    for (int attempt = 0; attempt < kPlacementTries; ++attempt) {
        Marble marble;
        marble.radius = kMinRadius + int(Random(kMaxRadius - kMinRadius + 1));
        marble.x = marble.radius + int(Random(uint32_t(kFieldWidth - 2 * marble.radius)));
        marble.y = kHudHeight + marble.radius +
                   int(Random(uint32_t(kFieldHeight - kHudHeight - 2 * marble.radius)));
        marble.colour = int(Random(kPaletteSize));
        marble.lifeLeftMs = LifeMs();
        if (std::none_of(marbles.begin(), marbles.end(),
                         [&](const Marble& other) { return Overlaps(marble, other); })) {
            marbles.push_back(marble);
            return;
        }
    }
}

void Game::Advance(int ms) {
    if (Over()) {
        return;
    }
    timeLeftMs = std::max(0, timeLeftMs - ms);
    if (Over()) {
        marbles.clear();
        return;
    }
    for (Marble& marble : marbles) {
        marble.lifeLeftMs -= ms;
    }
    auto gone = std::remove_if(marbles.begin(), marbles.end(),
                               [](const Marble& marble) { return marble.lifeLeftMs <= 0; });
    missed += int(marbles.end() - gone);
    marbles.erase(gone, marbles.end());
    for (sinceSpawnMs += ms; sinceSpawnMs >= kSpawnEveryMs; sinceSpawnMs -= kSpawnEveryMs) {
        if (int(marbles.size()) < kMaxMarbles) {
            Spawn();
        }
    }
}

bool Game::Click(int x, int y) {
    if (Over()) {
        Start();
        return false;
    }
    auto hit = std::find_if(marbles.begin(), marbles.end(), [&](const Marble& marble) {
        int dx = x - marble.x;
        int dy = y - marble.y;
        return dx * dx + dy * dy <= marble.radius * marble.radius;
    });
    if (hit == marbles.end()) {
        return false;
    }
    marbles.erase(hit);
    ++score;
    return true;
}

std::string Game::Title() const {
    if (Over()) {
        return "Marbles - Score " + std::to_string(score) + " - click to play again";
    }
    return "Marbles - Score " + std::to_string(score) + " - " +
           std::to_string((timeLeftMs + 999) / 1000) + " s";
}

} // namespace marbles
