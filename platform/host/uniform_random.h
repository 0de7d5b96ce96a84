#pragma once

#include <random>

/// Uniform pseudo-random numbers on [0, 1). Not seeded from anything that changes, so the
/// sequence is the same in every run. Cheap enough to draw three numbers per received character.
class UniformRandom
{
public:
    double next()
    {
        constexpr double span = double(std::minstd_rand::max() - std::minstd_rand::min()) + 1.0;
        return double(m_engine() - std::minstd_rand::min()) / span;
    }

private:
    std::minstd_rand m_engine;
};
