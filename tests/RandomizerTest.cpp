#include "TestHelpers.h"

using namespace testing_helpers;

namespace
{
std::vector<float> allValues (TorvanelAudioProcessor& processor)
{
    std::vector<float> values;
    for (auto* parameter : processor.getParameters())
        values.push_back (parameter->getValue());
    return values;
}

// Counts gestures and value changes the host would see.
struct HostListener : juce::AudioProcessorListener
{
    void audioProcessorParameterChanged (juce::AudioProcessor*, int, float) override { ++changes; }
    void audioProcessorChanged (juce::AudioProcessor*, const ChangeDetails&) override {}
    void audioProcessorParameterChangeGestureBegin (juce::AudioProcessor*, int) override { ++gestures; }
    int changes = 0, gestures = 0;
};
} // namespace

TEST (Randomizer, ListsHoldTheSpecifiedIdentifiers)
{
    TorvanelAudioProcessor processor;
    EXPECT_EQ (processor.randomizer.getList (0).size(), 20);
    EXPECT_EQ (processor.randomizer.getList (0)[0], "C_Carrier_Freq");
    EXPECT_EQ (processor.randomizer.getList (0)[8], "C_oscillator_feedback_mode");
    EXPECT_EQ (processor.randomizer.getList (11)[19], "B_Pitch_Env_Depth");
    EXPECT_EQ (processor.randomizer.getList (12).size(), 12);
    EXPECT_EQ (processor.randomizer.getList (12)[1], "C_Sharp_Trigger_Probability");
}

TEST (Randomizer, FullRangeChangesExactlyTheListedParameters)
{
    for (int list : { 4, 12 })
    {
        TorvanelAudioProcessor processor;
        const auto before = allValues (processor);
        processor.randomizer.randomizeParameters (list);
        const auto after = allValues (processor);
        const auto& ids = processor.randomizer.getList (list);
        int changed = 0;
        for (size_t i = 0; i < before.size(); ++i)
        {
            auto* parameter = dynamic_cast<juce::RangedAudioParameter*> (processor.getParameters()[(int) i]);
            if (! ids.contains (parameter->getParameterID()))
                EXPECT_EQ (after[i], before[i]) << parameter->getParameterID();
            changed += after[i] != before[i] ? 1 : 0;
        }
        EXPECT_GE (changed, ids.size() - 3);
    }
}

TEST (Randomizer, FullRangeFollowsTheSkew)
{
    TorvanelAudioProcessor processor;
    int lowCarrier = 0, lowCutoff = 0;
    const int runs = 2000;
    for (int i = 0; i < runs; ++i)
    {
        processor.randomizer.randomizeParameters (0);
        lowCarrier += getParameter (processor, "C_Carrier_Freq") < 316.0f ? 1 : 0;
        lowCutoff += getParameter (processor, "C_Cutoff") < 1163.0f ? 1 : 0;
    }
    EXPECT_NEAR (lowCarrier / (double) runs, 0.5, 0.05);
    EXPECT_NEAR (lowCutoff / (double) runs, 0.5, 0.05);
}

TEST (Randomizer, AmountLimitedSteps)
{
    TorvanelAudioProcessor processor;
    float lowest = 1e9f, highest = 0.0f;
    for (int i = 0; i < 500; ++i)
    {
        setParameter (processor, "C_Cutoff", 1000.0f);
        processor.randomizer.randomizePartWithinAmount (0, 0.5f);
        const float cutoff = getParameter (processor, "C_Cutoff");
        lowest = std::min (lowest, cutoff);
        highest = std::max (highest, cutoff);
    }
    EXPECT_GE (lowest, 519.0f);
    EXPECT_LT (lowest, 600.0f);
    EXPECT_LE (highest, 9501.0f);
    EXPECT_GT (highest, 8500.0f);

    setParameter (processor, "C_Cutoff", 1000.0f);
    const auto before = allValues (processor);
    processor.randomizer.randomizePartWithinAmount (0, 0.0f);
    const auto after = allValues (processor);
    for (size_t i = 0; i < before.size(); ++i)
        EXPECT_NEAR (after[i], before[i], 1e-5f);
}

TEST (Randomizer, GesturesUnlessTheHostIsAbletonLive)
{
    TorvanelAudioProcessor processor;
    EXPECT_FALSE (processor.randomizer.hostIsAbletonLive);
    HostListener host;
    processor.addListener (&host);
    processor.randomizer.randomizeParameters (12);
    EXPECT_EQ (host.gestures, 12);

    torvanel::ParametersRandomizer live (processor.parameters, true);
    live.getList (12) = processor.randomizer.getList (12);
    host.gestures = 0;
    live.randomizeParameters (12);
    EXPECT_EQ (host.gestures, 0);
    EXPECT_GT (host.changes, 12);
    processor.removeListener (&host);
}

TEST (Randomizer, SeedsGiveRepeatableSequences)
{
    TorvanelAudioProcessor a, b;
    a.randomizer.setSeed (77);
    b.randomizer.setSeed (77);
    a.randomizer.randomizeParameters (3);
    b.randomizer.randomizeParameters (3);
    EXPECT_EQ (allValues (a), allValues (b));
    a.randomizer.reseed();
    a.randomizer.randomizeParameters (3);
    b.randomizer.randomizeParameters (3);
    EXPECT_NE (allValues (a), allValues (b));
}
