#include "voice/ModEnvelope.h"

#include <algorithm>
#include <cmath>

void ModEnvelope::setReleaseTime (float milliseconds) noexcept
{
    lengthSetting = static_cast<float> (milliseconds * sampleRate * 0.001);
}

void ModEnvelope::setCurve (float exponent) noexcept
{
    if (exponent > 0.0f)
        curve = exponent;
}

void ModEnvelope::start() noexcept
{
    running = true;
    finished = false;
    counter = 0;
    length = lengthSetting;
}

float ModEnvelope::getNextValue() noexcept
{
    if (! running)
        return 0.0f;

    if (static_cast<float> (counter) > length || length == 0.0f)
    {
        // A looping decay restarts on the next sample; this one is 0.
        running = loop;
        finished = ! loop;
        counter = 0;
        return 0.0f;
    }

    const float x = std::clamp (1.0f - static_cast<float> (counter) / length, 0.0f, 1.0f);
    ++counter;
    return static_cast<float> (std::pow (static_cast<double> (x), curve));
}
