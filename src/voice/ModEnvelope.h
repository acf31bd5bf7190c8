#pragma once

#include <cstdint>

// Pitch envelope: one power-law decay from 1 to 0 that can restart itself when it ends.
class ModEnvelope
{
public:
    void setSampleRate (double newSampleRate) noexcept { sampleRate = newSampleRate; }
    void setReleaseTime (float milliseconds) noexcept;
    void setCurve (float exponent) noexcept;
    void setLoop (bool shouldLoop) noexcept { loop = shouldLoop; }

    void start() noexcept;
    float getNextValue() noexcept;
    bool isFinished() const noexcept { return finished; }

private:
    double sampleRate = 44100.0;
    bool running = false;
    bool finished = true;
    float lengthSetting = 0.0f;
    float length = 0.0f;
    int32_t counter = 0;
    double curve = 1.2;
    bool loop = false;
};
