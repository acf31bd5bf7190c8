#include "TestHelpers.h"

using namespace testing_helpers;

namespace
{
constexpr double rate = 48000.0;
constexpr int blockSize = 512;

// Processor prepared at 48 kHz with plain sines on every part.
struct MixFixture
{
    MixFixture()
    {
        makeAllPartsPlainSines (processor);
        processor.prepareToPlay (rate, blockSize);
    }

    // Plays the given notes, lets the 60 ms ramps settle, then returns one more block.
    juce::AudioBuffer<float> playAndSettle (std::initializer_list<int> notes, int channels = 2)
    {
        juce::MidiBuffer midi;
        for (int note : notes)
            midi.addEvent (juce::MidiMessage::noteOn (1, note, 1.0f), 0);
        Renderer renderer (processor, channels);
        renderer.render (blockSize, 8, midi);
        return renderer.render (blockSize, 1);
    }

    TorvanelAudioProcessor processor;
};

bool setAllBuses (TorvanelAudioProcessor& processor, int disabledBus = -1)
{
    auto layout = processor.getBusesLayout();
    layout.outputBuses.clear();
    for (int bus = 0; bus < 16; ++bus)
        layout.outputBuses.add (bus == disabledBus ? juce::AudioChannelSet::disabled()
                                                   : juce::AudioChannelSet::stereo());
    return processor.setBusesLayout (layout);
}
} // namespace

TEST (Mixing, LinearBalancePanLaw)
{
    struct Case
    {
        float pan, left, right;
    };
    for (const auto& c : { Case { 0, 1, 1 }, Case { -100, 1, 0 }, Case { 50, 0.5f, 1 }, Case { 100, 0, 1 }, Case { -50, 1, 0.5f } })
    {
        MixFixture f;
        setParameter (f.processor, partParam (0, "Pan"), c.pan);
        f.playAndSettle ({ 60 });
        EXPECT_NEAR (f.processor.leftGainBuffer.getSample (0, blockSize - 1), c.left, 1e-5f) << c.pan;
        EXPECT_NEAR (f.processor.rightGainBuffer.getSample (0, blockSize - 1), c.right, 1e-5f) << c.pan;
    }
}

TEST (Mixing, LevelAndOutputGains)
{
    struct Case
    {
        float level, output, partGain, outputGain;
    };
    for (const auto& c : { Case { -70, 0, 3.1623e-4f, 1 }, Case { -6, 12, 0.50119f, 3.98107f }, Case { 0, -70, 1, 3.1623e-4f } })
    {
        MixFixture f;
        setParameter (f.processor, partParam (0, "Level"), c.level);
        setParameter (f.processor, "Output_Amplitude", c.output);
        f.playAndSettle ({ 60 });
        EXPECT_NEAR (f.processor.partGainBuffer.getSample (0, blockSize - 1), c.partGain, c.partGain * 1e-3f);
        EXPECT_NEAR (f.processor.outputGainBuffer.getSample (0, blockSize - 1), c.outputGain, c.outputGain * 1e-3f);
    }
}

TEST (Mixing, SoloAndMute)
{
    struct Case
    {
        bool soloC, muteC, muteD;
        bool hearC, hearD;
    };
    const Case cases[] = {
        { false, false, false, true, true },
        { true, false, true, true, false },
        { true, true, false, false, false },
        { false, true, false, false, true },
    };
    for (const auto& c : cases)
    {
        MixFixture f;
        setParameter (f.processor, partParam (0, "Solo"), c.soloC ? 1.0f : 0.0f);
        setParameter (f.processor, partParam (0, "Mute"), c.muteC ? 1.0f : 0.0f);
        setParameter (f.processor, partParam (2, "Mute"), c.muteD ? 1.0f : 0.0f);
        const auto out = f.playAndSettle ({ 60, 62 });
        EXPECT_EQ (f.processor.partLevels[0] > 0.0f, c.hearC);
        EXPECT_EQ (f.processor.partLevels[2] > 0.0f, c.hearD);
        EXPECT_EQ (out.getRMSLevel (0, 0, blockSize) > 1e-4f, c.hearC || c.hearD);
    }
}

TEST (Mixing, MeterFollowsTheGainedPartAndIsZeroWhenMuted)
{
    auto meterAt = [] (float levelDb, bool muted)
    {
        MixFixture f;
        setParameter (f.processor, partParam (0, "Level"), levelDb);
        setParameter (f.processor, partParam (0, "Mute"), muted ? 1.0f : 0.0f);
        f.playAndSettle ({ 60 });
        return f.processor.partLevels[0].load();
    };
    const float loud = meterAt (-6.0f, false);
    EXPECT_GT (loud, 0.1f);
    EXPECT_NEAR (loud / meterAt (-12.0f, false), std::pow (10.0f, 6.0f / 20.0f), 0.01f);
    EXPECT_EQ (meterAt (-6.0f, true), 0.0f);
}

TEST (Mixing, RoutingMainAndMultiOut)
{
    const int channels = 32;
    {
        // Multi-out asked for, but the host offers only the main pair: everything on main.
        MixFixture f;
        f.processor.multiOutEnabled = true;
        const auto out = f.playAndSettle ({ 60, 64 });
        EXPECT_GT (out.getRMSLevel (0, 0, blockSize), 1e-3f);
        EXPECT_GT (f.processor.partLevels[4], 0.0f);
    }
    {
        // All buses on: part C on MAIN, part E on bus 4 (channels 8 and 9).
        TorvanelAudioProcessor processor;
        makeAllPartsPlainSines (processor);
        ASSERT_TRUE (setAllBuses (processor));
        processor.multiOutEnabled = true;
        processor.prepareToPlay (rate, blockSize);
        Renderer renderer (processor, channels);
        juce::MidiBuffer midi;
        midi.addEvent (juce::MidiMessage::noteOn (1, 64, 1.0f), 0);
        const auto out = renderer.render (blockSize, 8, midi);
        for (int c = 0; c < channels; ++c)
            EXPECT_EQ (out.getRMSLevel (c, 0, out.getNumSamples()) > 1e-4f, c == 8 || c == 9) << c;
    }
    {
        // Bus E disabled: part E is silent, part F still plays on its bus.
        TorvanelAudioProcessor processor;
        makeAllPartsPlainSines (processor);
        ASSERT_TRUE (setAllBuses (processor, 4));
        processor.multiOutEnabled = true;
        processor.prepareToPlay (rate, blockSize);
        const int total = processor.getTotalNumOutputChannels();
        ASSERT_EQ (total, 30);
        Renderer renderer (processor, total);
        juce::MidiBuffer midi;
        midi.addEvent (juce::MidiMessage::noteOn (1, 64, 1.0f), 0);
        midi.addEvent (juce::MidiMessage::noteOn (1, 65, 1.0f), 0);
        const auto out = renderer.render (blockSize, 8, midi);
        // Bus F (index 5) now starts at channel 8, because bus E has no channels.
        for (int c = 0; c < total; ++c)
            EXPECT_EQ (out.getRMSLevel (c, 0, out.getNumSamples()) > 1e-4f, c == 8 || c == 9) << c;
    }
}

TEST (Mixing, SaturationBoundsTheOutput)
{
    MixFixture f;
    for (int part = 0; part < 12; ++part)
        setParameter (f.processor, partParam (part, "Level"), 12.0f);
    setParameter (f.processor, "Output_Amplitude", 12.0f);
    const auto out = f.playAndSettle ({ 60, 61, 62, 63, 64, 65, 66, 67, 68, 69, 70, 71 });
    ASSERT_TRUE (allFinite (out));
    // Twelve parts at +24 dB in total reach about 190 before the saturation, whose rational
    // curve then gives about 7; the high-pass can overshoot that only slightly.
    EXPECT_LT (out.getMagnitude (0, blockSize), 10.0f);
}

TEST (Mixing, SaturationCurve)
{
    const std::pair<float, float> cases[] = { { 0.0f, 0.0f }, { 0.5f, 0.4621f }, { 1.0f, 0.7616f }, { 2.0f, 0.9640f },
                                              { -2.0f, -0.9640f }, { 5.0f, 0.9999f }, { 10.0f, 1.0092f } };
    for (auto [input, output] : cases)
        EXPECT_NEAR (TorvanelAudioProcessor::saturate (input), output, 1.5e-3f) << input;
    for (float x = 0.0f; x < 5.0f; x += 0.01f)
        EXPECT_NEAR (TorvanelAudioProcessor::saturate (x), std::tanh (x), 2e-3f) << x;
}

TEST (DCFilter, FifteenHertzHighPassRemovesAnOffset)
{
    pgrn::dsp::DCFilter<float> filter;
    filter.prepare (48000.0, 2);
    filter.setCutoffFrequency (15.0f);
    juce::AudioBuffer<float> buffer (2, 48000);
    for (int c = 0; c < 2; ++c)
        juce::FloatVectorOperations::fill (buffer.getWritePointer (c), 1.0f, 48000);
    filter.process (buffer);
    EXPECT_GT (buffer.getSample (0, 0), 0.9f);
    EXPECT_LT (std::abs (buffer.getSample (0, 47999)), 1e-4f);
    EXPECT_LT (std::abs (buffer.getSample (1, 47999)), 1e-4f);

    // The corner: a 15 Hz sine comes out 3 dB down.
    filter.reset();
    juce::AudioBuffer<float> sine (1, 96000);
    for (int i = 0; i < 96000; ++i)
        sine.setSample (0, i, (float) std::sin (2.0 * juce::MathConstants<double>::pi * 15.0 * i / 48000.0));
    filter.process (sine);
    EXPECT_NEAR (sine.getRMSLevel (0, 48000, 48000), 0.7071f / std::sqrt (2.0f), 0.01f);
}
