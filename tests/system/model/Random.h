#pragma once

#include <QtGlobal>

#include <random>

namespace window_model {

// The one random source of a sequence. Every choice, the player's and the
// faults', draws from it in turn, so a seed replays the same steps.
class Random {
  public:
    explicit Random(quint64 seed) : rng_(seed) {}

    int pick(int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng_); }
    bool chance(double p) { return std::bernoulli_distribution(p)(rng_); }

  private:
    std::mt19937_64 rng_;
};

} // namespace window_model
