#pragma once

#include <juce_audio_basics/juce_audio_basics.h>

// The instrument's single sound: every note on every channel reaches the voices.
class TorvanelSynthSound : public juce::SynthesiserSound
{
public:
    bool appliesToNote (int) override { return true; }
    bool appliesToChannel (int) override { return true; }
};
