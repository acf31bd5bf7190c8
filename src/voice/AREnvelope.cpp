#include "voice/AREnvelope.h"

#include <algorithm>
#include <cmath>

void AREnvelope::setAttackTime (float milliseconds) noexcept
{
    attackLengthSetting = static_cast<float> (milliseconds * sampleRate * 0.001);
}

void AREnvelope::setReleaseTime (float milliseconds) noexcept
{
    releaseLengthSetting = static_cast<float> (milliseconds * sampleRate * 0.001);
}

void AREnvelope::setAttackCurve (float exponent) noexcept
{
    if (exponent > 0.0f)
        attackCurve = exponent;
}

void AREnvelope::setReleaseCurve (float exponent) noexcept
{
    if (exponent > 0.0f)
        releaseCurve = exponent;
}

void AREnvelope::start() noexcept
{
    finished = false;
    attackRunning = true;
    releaseRunning = false;
    counter = 0;
    attackLength = attackLengthSetting;
    releaseLength = releaseLengthSetting;
}

float AREnvelope::getNextValue() noexcept
{
    float value = 0.0f;

    if (attackRunning)
    {
        if (static_cast<float> (counter) > attackLength || attackLength == 0.0f)
        {
            // The release's first value is returned on this same sample.
            attackRunning = false;
            releaseRunning = true;
            counter = 0;
        }
        else
        {
            value = static_cast<float> (std::pow (static_cast<double> (counter) / attackLength, attackCurve));
            ++counter;
        }
    }

    if (releaseRunning)
    {
        if (static_cast<float> (counter) > releaseLength || releaseLength == 0.0f)
        {
            attackRunning = false;
            releaseRunning = false;
            finished = true;
            counter = 0;
            return 0.0f;
        }

        const float x = std::clamp (1.0f - static_cast<float> (counter) / releaseLength, 0.0f, 1.0f);
        value = static_cast<float> (std::pow (static_cast<double> (x), releaseCurve));
        ++counter;
    }

    return value;
}
