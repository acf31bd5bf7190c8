#pragma once

#include <cstdint>

// Attack-release amplitude envelope with power-law curves and no sustain: rises from 0 to 1,
// then falls straight back to 0. Lengths are in (fractional) samples.
class AREnvelope
{
public:
    void setSampleRate (double newSampleRate) noexcept { sampleRate = newSampleRate; }
    void setAttackTime (float milliseconds) noexcept;
    void setReleaseTime (float milliseconds) noexcept;
    void setAttackCurve (float exponent) noexcept;
    void setReleaseCurve (float exponent) noexcept;

    void start() noexcept;
    float getNextValue() noexcept;
    bool isFinished() const noexcept { return finished; }

private:
    double sampleRate = 44100.0;
    bool attackRunning = false;
    bool releaseRunning = false;
    bool finished = true;
    float attackLengthSetting = 0.0f;
    float releaseLengthSetting = 0.0f;
    float attackLength = 0.0f;
    float releaseLength = 0.0f;
    int32_t counter = 0;
    double attackCurve = 0.9;
    double releaseCurve = 1.2;
};
