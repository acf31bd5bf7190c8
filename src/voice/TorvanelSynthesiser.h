#pragma once

#include <juce_audio_basics/juce_audio_basics.h>

#include <vector>

// The framework's synthesiser with two changes: its voice-list lock is reachable, so that
// the processor can walk the voices under the same lock, and stealing a voice allocates
// nothing (the framework's version rebuilds a heap array on every steal).
class TorvanelSynthesiser : public juce::Synthesiser
{
public:
    TorvanelSynthesiser();

    const juce::CriticalSection& getLock() const noexcept { return lock; }

protected:
    juce::SynthesiserVoice* findVoiceToSteal (juce::SynthesiserSound* soundToPlay, int midiChannel,
                                              int midiNoteNumber) const override;

private:
    mutable std::vector<juce::SynthesiserVoice*> stealCandidates;
};
