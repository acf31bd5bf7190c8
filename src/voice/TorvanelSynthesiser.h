#pragma once

#include <juce_audio_basics/juce_audio_basics.h>

// The framework's synthesiser with its voice-list lock reachable, so that the processor can
// walk the voices under the same lock the synthesiser itself uses.
class TorvanelSynthesiser : public juce::Synthesiser
{
public:
    const juce::CriticalSection& getLock() const noexcept { return lock; }
};
