#include "voice/TorvanelSynthSound.h"
#include "voice/TorvanelSynthVoice.h"
#include "voice/TorvanelSynthesiser.h"

#include <gtest/gtest.h>

#include <cmath>

namespace
{
// A one-voice synthesiser rendering into twelve part channels.
struct VoiceFixture
{
    explicit VoiceFixture (double rate = 48000.0)
    {
        voice = new TorvanelSynthVoice();
        synth.addVoice (voice);
        synth.addSound (new TorvanelSynthSound());
        synth.setCurrentPlaybackSampleRate (rate);
        for (auto& part : settings)
        {
            part.ampEnv.attack = 1.0f;
            part.ampEnv.release = 200.0f;
            part.filter.cutoff = 18000.0f;
        }
        apply();
    }

    void apply() { voice->setPartSettings (settings); }

    juce::AudioBuffer<float> play (int note, int numSamples, float velocity = 1.0f)
    {
        apply();
        juce::AudioBuffer<float> buffer (12, numSamples);
        buffer.clear();
        juce::MidiBuffer midi;
        midi.addEvent (juce::MidiMessage::noteOn (1, note, velocity), 0);
        synth.renderNextBlock (buffer, midi, 0, numSamples);
        return buffer;
    }

    juce::AudioBuffer<float> renderMore (int numSamples)
    {
        juce::AudioBuffer<float> buffer (12, numSamples);
        buffer.clear();
        synth.renderNextBlock (buffer, {}, 0, numSamples);
        return buffer;
    }

    TorvanelSynthesiser synth;
    TorvanelSynthVoice* voice = nullptr;
    TorvanelSynthVoice::AllPartSettings settings {};
};

int channelWithSignal (const juce::AudioBuffer<float>& buffer)
{
    int found = -1;
    for (int c = 0; c < buffer.getNumChannels(); ++c)
        if (buffer.getMagnitude (c, 0, buffer.getNumSamples()) > 0.0f)
            found = (found == -1) ? c : -2;
    return found;
}

// Frequency from upward zero crossings over the whole channel.
double measureFrequency (const juce::AudioBuffer<float>& buffer, int channel, double rate)
{
    const float* x = buffer.getReadPointer (channel);
    int first = -1, last = -1, crossings = 0;
    for (int i = 1; i < buffer.getNumSamples(); ++i)
        if (x[i - 1] <= 0.0f && x[i] > 0.0f)
        {
            if (first < 0) first = i;
            last = i;
            ++crossings;
        }
    return crossings > 1 ? (crossings - 1) * rate / (last - first) : 0.0;
}
} // namespace

TEST (Voice, NotesMapToPartsByNoteName)
{
    const std::pair<int, int> cases[] = { { 60, 0 }, { 72, 0 }, { 61, 1 }, { 38, 2 }, { 49, 1 }, { 127, 7 }, { 0, 0 } };
    for (auto [note, part] : cases)
    {
        VoiceFixture f;
        const auto out = f.play (note, 256);
        EXPECT_EQ (f.voice->getCurrentPart(), part) << "note " << note;
        EXPECT_EQ (channelWithSignal (out), part) << "note " << note;
    }

    VoiceFixture f;
    f.voice->startNote (200, 1.0f, nullptr, 0);
    EXPECT_EQ (f.voice->getCurrentPart(), 0);
}

TEST (Voice, TunedModeFrequencies)
{
    struct Case
    {
        float note, fineTune;
        double expectedHz;
    };
    const Case cases[] = { { 69, 0, 440.0 }, { 57, 0, 220.0 }, { 69, 0.5f, 440.0 * std::pow (2.0, 0.5 / 12.0) } };
    for (const auto& c : cases)
    {
        VoiceFixture f;
        auto& fm = f.settings[0].fm;
        fm.tunedMode = true;
        fm.carrierNote = c.note;
        fm.carrierFineTune = c.fineTune;
        f.settings[0].ampEnv.release = 2000.0f;
        const auto out = f.play (60, 48000);
        EXPECT_NEAR (measureFrequency (out, 0, 48000), c.expectedHz, 1.0) << c.note << " " << c.fineTune;
    }
}

TEST (Voice, PitchEnvelopeStartsAtThreeKilohertzAndFallsToTheCarrier)
{
    VoiceFixture f;
    f.settings[0].fm.carrierFrequency = 100.0f;
    f.settings[0].pitchEnv.depth = 1.0f;
    f.settings[0].pitchEnv.release = 100.0f;
    f.settings[0].ampEnv.release = 1000.0f;
    const auto out = f.play (60, 48000);

    juce::AudioBuffer<float> start (1, 480), end (1, 24000);
    start.copyFrom (0, 0, out, 0, 0, 480);
    end.copyFrom (0, 0, out, 0, 24000, 24000);
    EXPECT_GT (measureFrequency (start, 0, 48000), 2000.0);
    EXPECT_NEAR (measureFrequency (end, 0, 48000), 100.0, 1.0);
}

TEST (Voice, HitEndsSampleExactlyAfterItsEnvelope)
{
    VoiceFixture f;
    f.settings[0].ampEnv.attack = 1.0f;  // L = 48 at 48 kHz
    f.settings[0].ampEnv.release = 1.0f; // R = 48
    // 49 attack samples, 49 release samples, then one 0 that reports the end; the voice
    // frees itself on the sample after that.
    const auto out = f.play (60, 48 + 48 + 3);
    EXPECT_TRUE (f.voice->isVoiceActive());
    EXPECT_NE (out.getSample (0, 96), 0.0f);
    EXPECT_EQ (out.getSample (0, 98), 0.0f);
    f.renderMore (1);
    EXPECT_FALSE (f.voice->isVoiceActive());
}

TEST (Voice, NoteOffAndAllNotesOffLetTheHitPlayOut)
{
    VoiceFixture f;
    f.play (60, 64);
    f.synth.noteOff (1, 60, 0.0f, true);
    f.synth.allNotesOff (0, true);
    const auto out = f.renderMore (4800);
    EXPECT_TRUE (f.voice->isVoiceActive());
    EXPECT_GT (out.getRMSLevel (0, 4000, 800), 0.01f);
}

TEST (Voice, HardStopFreesTheVoiceButTheHitKeepsSounding)
{
    VoiceFixture f;
    f.play (60, 64);
    f.voice->stopNote (0.0f, false);
    EXPECT_FALSE (f.voice->isVoiceActive());
    const auto out = f.renderMore (480);
    EXPECT_GT (out.getRMSLevel (0, 0, 480), 0.01f);
}

TEST (Voice, TriggerProbability)
{
    struct Case
    {
        float probability;
        double minRate, maxRate;
    };
    for (const auto& c : { Case { 1.0f, 1.0, 1.0 }, Case { 0.0f, 0.0, 0.0 }, Case { 0.5f, 0.45, 0.55 } })
    {
        VoiceFixture f;
        f.settings[0].triggerProbability = c.probability;
        f.settings[0].ampEnv.release = 1.0f;
        int sounded = 0;
        const int hits = 2000;
        for (int i = 0; i < hits; ++i)
        {
            const auto out = f.play (60, 200);
            sounded += out.getMagnitude (0, 0, 200) > 0.0f ? 1 : 0;
        }
        const double rate = sounded / (double) hits;
        EXPECT_GE (rate, c.minRate) << c.probability;
        EXPECT_LE (rate, c.maxRate) << c.probability;
    }
}

TEST (Voice, SilentHitWritesNothingAndFreesAfterOneRender)
{
    VoiceFixture f;
    f.settings[0].triggerProbability = 0.0f;
    const auto out = f.play (60, 64);
    EXPECT_EQ (out.getMagnitude (0, 64), 0.0f);
    EXPECT_FALSE (f.voice->isVoiceActive());
}

// The n-th draw of a generator seeded like the voice.
static float nthDraw (juce::int64 seed, int n)
{
    juce::Random random (seed);
    float value = 0.0f;
    for (int i = 0; i < n; ++i)
        value = random.nextFloat();
    return value;
}

TEST (Voice, DrawsAreConsumedOnlyAboveOnePercent)
{
    // Cutoff is row 11 of the draw order; whether the carrier frequency row draws decides
    // which number the cutoff offset gets.
    struct Case
    {
        float carrierProb;
        int cutoffDrawIndex;
    };
    for (const auto& c : { Case { 0.0f, 3 }, Case { 0.01f, 3 }, Case { -0.01f, 3 }, Case { 0.02f, 4 }, Case { -0.02f, 4 } })
    {
        VoiceFixture f;
        f.settings[0].fm.carrierFrequencyProb = { std::abs (c.carrierProb), c.carrierProb >= 0 ? 1.0f : 0.0f };
        f.settings[0].filter.cutoff = 1000.0f;
        f.settings[0].filter.cutoffProb = { 1.0f, 1.0f };
        f.voice->setRandomSeed (1234);
        f.play (60, 16);
        const float r = nthDraw (1234, c.cutoffDrawIndex);
        EXPECT_FLOAT_EQ (f.voice->getHitOffsets (0).cutoff, r * ((18000.0f - 1000.0f) * 1.0f)) << c.carrierProb;
    }
}

TEST (Voice, WithoutProbabilitiesEveryHitDrawsTwoNumbers)
{
    VoiceFixture f;
    f.settings[0].randomVelocityAmount = 1.0f;
    f.voice->setRandomSeed (99);
    f.play (60, 16);
    f.play (60, 16);
    // Third hit's velocity draw is draw number 6 (trigger, velocity per hit).
    f.play (60, 16);
    EXPECT_FLOAT_EQ (f.voice->getRandomVelocityFactor (0), 1.0f - nthDraw (99, 6));
}

TEST (Voice, OffsetsStayInsideTheirRanges)
{
    struct Case
    {
        float cutoff, prob, low, high;
    };
    const Case cases[] = { { 1000, 1.0f, 1000, 18000 }, { 1000, -1.0f, 40, 1000 }, { 1000, 0.5f, 1000, 9500 } };
    for (const auto& c : cases)
    {
        VoiceFixture f;
        f.settings[0].filter.cutoff = c.cutoff;
        f.settings[0].filter.cutoffProb = { std::abs (c.prob), c.prob >= 0 ? 1.0f : 0.0f };
        float lowest = 1e9f, highest = -1e9f;
        for (int i = 0; i < 500; ++i)
        {
            f.play (60, 4);
            const float value = c.cutoff + f.voice->getHitOffsets (0).cutoff;
            lowest = std::min (lowest, value);
            highest = std::max (highest, value);
        }
        EXPECT_GE (lowest, c.low - 0.01f);
        EXPECT_LE (highest, c.high + 0.01f);
        EXPECT_LT (lowest, c.low + 0.1f * (c.high - c.low));
        EXPECT_GT (highest, c.high - 0.1f * (c.high - c.low));
    }

    VoiceFixture f;
    f.settings[0].filter.modDepth = -0.2f;
    f.settings[0].filter.modDepthProb = { 1.0f, 0.0f };
    f.settings[0].pitchEnv.release = 100.0f;
    f.settings[0].pitchEnv.releaseProb = { 1.0f, 1.0f };
    float maxRelease = 0.0f;
    for (int i = 0; i < 500; ++i)
    {
        f.play (60, 4);
        const float depth = -0.2f + f.voice->getHitOffsets (0).modDepth;
        EXPECT_GE (depth, -1.0f);
        EXPECT_LE (depth, -0.2f);
        maxRelease = std::max (maxRelease, 100.0f + f.voice->getHitOffsets (0).pitchRelease);
    }
    EXPECT_GT (maxRelease, 1500.0f);
    EXPECT_LE (maxRelease, 2000.0f);
}

TEST (Voice, RandomVelocityFactor)
{
    VoiceFixture f;
    f.play (60, 4);
    EXPECT_EQ (f.voice->getRandomVelocityFactor (0), 1.0f);

    f.settings[0].randomVelocityAmount = 1.0f;
    f.voice->setRandomSeed (5);
    f.play (60, 4);
    EXPECT_FLOAT_EQ (f.voice->getRandomVelocityFactor (0), 1.0f - nthDraw (5, 2));
}

TEST (Voice, OutputStaysWithinUnityEvenWhenDriven)
{
    VoiceFixture f;
    auto& s = f.settings[0];
    s.fm.fmDepth = 1.0f;
    s.fm.feedbackAmount = 0.99f;
    s.filter.resonance = 1.0f;
    s.filter.filterMode = 2;
    s.driveGain = 100.0f;
    s.fm.carrierFrequency = 100.0f;
    const auto out = f.play (60, 9600);
    EXPECT_LE (out.getMagnitude (0, 0, 9600), 1.0f);
    EXPECT_GT (out.getRMSLevel (0, 0, 9600), 0.1f);
}

TEST (Voice, LowSampleRatesKeepTheFilterStable)
{
    // 18 kHz is above Nyquist at these rates; the filter must stay finite.
    for (double rate : { 22050.0, 32000.0 })
        for (int mode : { 0, 1, 2, 3 })
        {
            VoiceFixture f (rate);
            auto& s = f.settings[0];
            s.filter.cutoff = 18000.0f;
            s.filter.filterMode = mode;
            s.filter.resonance = 1.0f;
            s.fm.fmDepth = 1.0f;
            s.ampEnv.release = 1000.0f;
            const auto out = f.play (60, (int) rate);
            for (int i = 0; i < out.getNumSamples(); ++i)
                ASSERT_TRUE (std::isfinite (out.getSample (0, i))) << rate << " mode " << mode << " sample " << i;
            EXPECT_GT (out.getRMSLevel (0, 0, out.getNumSamples()), 0.01f);
        }
}

TEST (Voice, FilterModesAndOutOfRangeModeIsSilent)
{
    for (int mode : { 0, 1, 2, 3, 4, -1 })
    {
        VoiceFixture f;
        f.settings[0].filter.filterMode = mode;
        f.settings[0].filter.cutoff = 1000.0f;
        const auto out = f.play (60, 4800);
        const bool silent = out.getMagnitude (0, 0, 4800) == 0.0f;
        EXPECT_EQ (silent, mode < 0 || mode > 3) << mode;
    }
}

TEST (Voice, FilterModDepthSignChoosesTheSource)
{
    // Negative depth follows the amplitude (near 1 here), positive depth the pitch envelope,
    // which has ended after one millisecond; the amount is the square of the depth.
    auto levelWith = [] (float cutoff, float depth)
    {
        VoiceFixture f;
        auto& s = f.settings[0];
        s.fm.carrierFrequency = 2000.0f;
        s.ampEnv.release = 2000.0f;
        s.filter.cutoff = cutoff;
        s.filter.modDepth = depth;
        s.pitchEnv.release = 1.0f;
        const auto out = f.play (60, 4800);
        return out.getRMSLevel (0, 2400, 2400);
    };
    const float open = levelWith (18000.0f, 0.0f);
    const float closed = levelWith (100.0f, 0.0f);
    ASSERT_GT (open, 2.0f * closed);
    EXPECT_NEAR (levelWith (100.0f, -1.0f), open, 0.1f * open);
    EXPECT_NEAR (levelWith (100.0f, 1.0f), closed, 0.1f * open);
    EXPECT_NEAR (levelWith (100.0f, -0.5f), levelWith (100.0f + 0.25f * 17900.0f, 0.0f), 0.1f * open);
}
