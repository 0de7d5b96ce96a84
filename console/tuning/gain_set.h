#pragma once

/// P, I and D as the controller takes them: whole numbers from 0 to 999.
struct GainSet
{
    static constexpr int kLargest = 999;

    int p = 0;
    int i = 0;
    int d = 0;

    bool operator==(const GainSet &other) const
    {
        return p == other.p && i == other.i && d == other.d;
    }
    bool operator!=(const GainSet &other) const { return !(*this == other); }
};
