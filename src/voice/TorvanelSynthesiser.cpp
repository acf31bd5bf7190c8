#include "voice/TorvanelSynthesiser.h"

#include <algorithm>

namespace
{
// Far more than the largest polyphony setting, so the candidate list never grows.
constexpr size_t candidateCapacity = 256;
} // namespace

TorvanelSynthesiser::TorvanelSynthesiser()
{
    stealCandidates.reserve (candidateCapacity);
}

// Same choice as the framework's: reuse the oldest note first, protect the lowest and the
// highest held notes; only the candidate list lives in storage reserved up front.
juce::SynthesiserVoice* TorvanelSynthesiser::findVoiceToSteal (juce::SynthesiserSound* soundToPlay, int,
                                                               int midiNoteNumber) const
{
    juce::SynthesiserVoice* low = nullptr;
    juce::SynthesiserVoice* top = nullptr;
    stealCandidates.clear();

    for (auto* voice : voices)
    {
        if (! voice->canPlaySound (soundToPlay))
            continue;
        stealCandidates.push_back (voice);

        if (! voice->isPlayingButReleased())
        {
            const int note = voice->getCurrentlyPlayingNote();
            if (low == nullptr || note < low->getCurrentlyPlayingNote())
                low = voice;
            if (top == nullptr || note > top->getCurrentlyPlayingNote())
                top = voice;
        }
    }

    if (stealCandidates.empty())
        return nullptr;
    if (top == low)
        top = nullptr;

    std::sort (stealCandidates.begin(), stealCandidates.end(),
               [] (const juce::SynthesiserVoice* a, const juce::SynthesiserVoice* b) { return a->wasStartedBefore (*b); });

    const auto unprotected = [&] (const juce::SynthesiserVoice* v) { return v != low && v != top; };

    for (auto* voice : stealCandidates)
        if (voice->getCurrentlyPlayingNote() == midiNoteNumber)
            return voice;
    for (auto* voice : stealCandidates)
        if (unprotected (voice) && voice->isPlayingButReleased())
            return voice;
    for (auto* voice : stealCandidates)
        if (unprotected (voice) && ! voice->isKeyDown())
            return voice;
    for (auto* voice : stealCandidates)
        if (unprotected (voice))
            return voice;

    return top != nullptr ? top : low;
}
