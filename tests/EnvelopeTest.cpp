#include "voice/AREnvelope.h"
#include "voice/ModEnvelope.h"

#include <gtest/gtest.h>

#include <vector>

namespace
{
std::vector<float> runToEnd (AREnvelope& envelope, int maxSamples = 1 << 22)
{
    std::vector<float> values;
    while (! envelope.isFinished() && (int) values.size() < maxSamples)
        values.push_back (envelope.getNextValue());
    return values;
}

AREnvelope makeEnvelope (double rate, float attackMs, float releaseMs, float attackCurve, float releaseCurve)
{
    AREnvelope envelope;
    envelope.setSampleRate (rate);
    envelope.setAttackTime (attackMs);
    envelope.setReleaseTime (releaseMs);
    envelope.setAttackCurve (attackCurve);
    envelope.setReleaseCurve (releaseCurve);
    envelope.start();
    return envelope;
}
} // namespace

TEST (AREnvelope, SampleCountsAndValuesOfBothSegments)
{
    struct Case
    {
        double rate;
        float attackMs, releaseMs, attackCurve, releaseCurve;
        int sample;    // index since start
        float value;
        int totalLength; // samples until finished is reported, inclusive of the final 0
    };
    const Case cases[] = {
        // 10 ms at 44.1 kHz: L = 441, samples 0..441 are the attack, 442 starts the release at 1.
        { 44100, 10, 10, 1, 1, 0, 0.0f, 441 + 441 + 2 + 1 },
        { 44100, 10, 10, 1, 1, 441, 1.0f, 441 + 441 + 2 + 1 },
        { 44100, 10, 10, 1, 1, 442, 1.0f, 441 + 441 + 2 + 1 },
        { 44100, 10, 10, 1, 1, 220, 220.0f / 441.0f, 441 + 441 + 2 + 1 },
        // Curve 2 reaches a quarter at the middle of the attack.
        { 1000, 100, 100, 2, 1, 50, 0.25f, 100 + 100 + 2 + 1 },
        // 1000 ms at 48 kHz: R = 48000; halfway 0.5 with curve 1, 0.25 with curve 2.
        { 48000, 1, 1000, 1, 1, 49 + 24000, 0.5f, 48 + 48000 + 2 + 1 },
        { 48000, 1, 1000, 1, 2, 49 + 24000, 0.25f, 48 + 48000 + 2 + 1 },
    };

    for (const auto& c : cases)
    {
        auto envelope = makeEnvelope (c.rate, c.attackMs, c.releaseMs, c.attackCurve, c.releaseCurve);
        const auto values = runToEnd (envelope);
        ASSERT_EQ ((int) values.size(), c.totalLength);
        EXPECT_NEAR (values[(size_t) c.sample], c.value, 1.0e-5f) << "sample " << c.sample;
        EXPECT_EQ (values.back(), 0.0f);
        for (float v : values)
        {
            EXPECT_GE (v, 0.0f);
            EXPECT_LE (v, 1.0f);
        }
    }
}

TEST (AREnvelope, FractionalLengthsAreNotRounded)
{
    // 0.5 ms at 44.1 kHz is 22.05 samples: attack k = 0..22, release k = 23..45, then 0.
    auto envelope = makeEnvelope (44100, 0.5f, 0.5f, 1, 1);
    const auto values = runToEnd (envelope);
    EXPECT_EQ (values.size(), 23u + 23u + 1u);
    EXPECT_NEAR (values[22], 22.0f / 22.05f, 1.0e-5f);
}

TEST (AREnvelope, NonPositiveCurveKeepsThePreviousOne)
{
    auto envelope = makeEnvelope (1000, 100, 100, 2, 1);
    envelope.setAttackCurve (0.0f);
    envelope.setAttackCurve (-3.0f);
    envelope.start();
    const auto values = runToEnd (envelope);
    EXPECT_NEAR (values[50], 0.25f, 1.0e-6f);
}

TEST (AREnvelope, SampleRateChangeAffectsOnlyTheNextRun)
{
    auto envelope = makeEnvelope (1000, 10, 10, 1, 1);
    envelope.getNextValue();
    envelope.setSampleRate (2000);
    envelope.setAttackTime (10);
    envelope.setReleaseTime (10);
    int remaining = 1 + (int) runToEnd (envelope).size();
    EXPECT_EQ (remaining, 10 + 10 + 2 + 1);

    envelope.start();
    EXPECT_EQ ((int) runToEnd (envelope).size(), 20 + 20 + 2 + 1);
}

TEST (ModEnvelope, DecayAndLoop)
{
    ModEnvelope envelope;
    envelope.setSampleRate (48000);
    envelope.setReleaseTime (1.0f); // L = 48
    envelope.setCurve (1.0f);
    envelope.setLoop (true);
    envelope.start();

    // Every cycle: 49 decaying values from 1, then one 0.
    for (int cycle = 0; cycle < 3; ++cycle)
    {
        EXPECT_FLOAT_EQ (envelope.getNextValue(), 1.0f);
        for (int k = 1; k <= 48; ++k)
            EXPECT_NEAR (envelope.getNextValue(), 1.0f - k / 48.0f, 1.0e-6f);
        EXPECT_EQ (envelope.getNextValue(), 0.0f);
        EXPECT_FALSE (envelope.isFinished());
    }

    envelope.setLoop (false);
    envelope.start();
    for (int k = 0; k <= 48; ++k)
        envelope.getNextValue();
    EXPECT_EQ (envelope.getNextValue(), 0.0f);
    EXPECT_TRUE (envelope.isFinished());
    EXPECT_EQ (envelope.getNextValue(), 0.0f);
}

TEST (ModEnvelope, CurveShapesTheDecay)
{
    ModEnvelope envelope;
    envelope.setSampleRate (1000);
    envelope.setReleaseTime (100.0f);
    envelope.setCurve (2.0f);
    envelope.start();
    for (int k = 0; k < 50; ++k)
        envelope.getNextValue();
    EXPECT_NEAR (envelope.getNextValue(), 0.25f, 1.0e-6f);
}
