#pragma once

#include <random>

namespace quillo {

// Pseudo-random numbers in [0, 1).
class RandomSource {
public:
    virtual ~RandomSource() = default;
    virtual void seedFromClock() = 0;
    virtual double next() = 0;
};

class StdRandomSource final : public RandomSource {
public:
    void seedFromClock() override;
    double next() override;

private:
    std::mt19937_64 engine_{0};
};

}  // namespace quillo
