#pragma once

#include "voice/AREnvelope.h"
#include "voice/ModEnvelope.h"
#include "voice/PartSettings.h"

#include <juce_audio_basics/juce_audio_basics.h>

#include <array>

// Renders one hit of one part: a two-operator FM pair with feedback, a pitch envelope, a
// saturating state-variable filter, drive and an attack-release amplitude envelope, with
// per-hit random offsets. Every voice holds the settings of all twelve parts.
class TorvanelSynthVoice : public juce::SynthesiserVoice
{
public:
    static constexpr int numParts = 12;
    using AllPartSettings = std::array<PartVoiceSettings, numParts>;

    // The random offsets of one hit, in the voice's units.
    struct HitOffsets
    {
        float carrierFrequency = 0, modulatorFrequency = 0, fmDepth = 0, feedback = 0,
              carrierNote = 0, modulatorNote = 0;
        float attack = 0, release = 0, attackCurve = 0, releaseCurve = 0;
        float cutoff = 0, resonance = 0, modDepth = 0;
        float pitchRelease = 0, pitchCurve = 0, pitchDepth = 0;
    };

    TorvanelSynthVoice();
    ~TorvanelSynthVoice() override = default;

    bool canPlaySound (juce::SynthesiserSound*) override { return true; }
    void startNote (int midiNoteNumber, float velocity, juce::SynthesiserSound*, int pitchWheel) override;
    void stopNote (float velocity, bool allowTailOff) override;
    void pitchWheelMoved (int) override {}
    void controllerMoved (int, int) override {}
    void renderNextBlock (juce::AudioBuffer<float>& output, int startSample, int numSamples) override;
    void setCurrentPlaybackSampleRate (double newRate) override;

    // Written by the processor before every block.
    void setPartSettings (const AllPartSettings& newSettings) noexcept { parts = newSettings; }
    const PartVoiceSettings& getPartSettings (int part) const noexcept { return parts[(size_t) part]; }

    // Forgets the filter state and the feedback memory (done when the processor prepares).
    void clearFilterAndFeedback() noexcept;

    // Replaces the generator's seed so that a sequence of hits can be reproduced.
    void setRandomSeed (juce::int64 seed) noexcept { random.setSeed (seed); }

    int getCurrentPart() const noexcept { return currentPart; }
    bool isSounding() const noexcept { return ! ampEnvelope.isFinished(); }
    const HitOffsets& getHitOffsets (int part) const noexcept { return offsets[(size_t) part]; }
    float getRandomVelocityFactor (int part) const noexcept { return randomVelocityFactor[(size_t) part]; }

private:
    void drawHitOffsets (int part) noexcept;
    float drawOffset (float value, float low, float high, const ProbSetting& prob) noexcept;
    void computeBaseFrequencies (const PartVoiceSettings& s, const HitOffsets& o, float& fc, float& fm) const noexcept;
    float processFilter (float input, float cutoffHz, float resonance, int mode, float sampleTime) noexcept;

    int32_t currentPart = 0;
    std::array<int, 128> noteToPart {};

    double carrierPhase = 0.0, carrierIncrement = 0.0;
    double modulatorPhase = 0.0, modulatorIncrement = 0.0;
    double feedbackMemory = 0.0;

    AllPartSettings parts {};
    std::array<HitOffsets, numParts> offsets {};

    AREnvelope ampEnvelope;
    ModEnvelope pitchEnvelope;

    float filterS1 = 0.0f;
    float filterS2 = 1.0f;

    float noteVelocity = 1.0f;
    std::array<float, numParts> randomVelocityFactor;

    juce::SmoothedValue<float, juce::ValueSmoothingTypes::Linear> cutoffSmoother, resonanceSmoother, driveSmoother;

    juce::Random random;
};
