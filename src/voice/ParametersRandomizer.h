#pragma once

#include <juce_audio_processors/juce_audio_processors.h>

namespace torvanel
{
// Rewrites sound parameters to invent new sounds: whole-range draws for a list of
// parameters, or steps of a limited size around each parameter's current value.
class ParametersRandomizer
{
public:
    static constexpr int listCount = 13;
    static constexpr int triggerProbabilityList = 12;

    ParametersRandomizer (juce::AudioProcessorValueTreeState& store, bool hostIsAbletonLive);

    juce::StringArray& getList (int index) { return *lists.getUnchecked (index); }
    const juce::StringArray& getList (int index) const { return *lists.getUnchecked (index); }

    // Every parameter of the list to a uniform normalised value.
    void randomizeParameters (int listIndex);

    // Each parameter of the part's list moves up or down by a random share of the amount
    // (0 to 1) of its distance to the range end, in real units.
    void randomizePartWithinAmount (int part, float amount);

    void reseed() { random.setSeedRandomly(); }
    void setSeed (juce::int64 seed) { random.setSeed (seed); }

    const bool hostIsAbletonLive;

private:
    void write (juce::RangedAudioParameter& parameter, float normalisedValue);

    juce::AudioProcessorValueTreeState& store;
    juce::OwnedArray<juce::StringArray> lists;
    juce::Random random;

    JUCE_DECLARE_NON_COPYABLE (ParametersRandomizer)
};
} // namespace torvanel
