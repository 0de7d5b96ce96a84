#pragma once

#include <random>

/// Uniform pseudo-random numbers on [0, 1). Not seeded from anything that changes, so the
/// sequence is the same in every run.
class UniformRandom
{
public:
    double next() { return m_distribution(m_engine); }

private:
    std::mt19937_64 m_engine;
    std::uniform_real_distribution<double> m_distribution{0.0, 1.0};
};
