// Abuse the block step the way hosts and controllers sometimes do: odd block sizes and rates,
// re-preparation between blocks, floods of MIDI with out-of-range bytes, every parameter
// automated every block and polyphony switched while notes sound.
#include "TestHelpers.h"

using namespace testing_helpers;

namespace
{
void addRandomMidi (juce::MidiBuffer& midi, juce::Random& random, int blockSize, int events)
{
    for (int e = 0; e < events; ++e)
    {
        const int position = random.nextInt (blockSize);
        const auto status = (juce::uint8) (random.nextBool() ? 0x90 : (0x80 + 0x10 * random.nextInt (7)));
        juce::uint8 bytes[3] = { (juce::uint8) (status | random.nextInt (16)), (juce::uint8) random.nextInt (256),
                                 (juce::uint8) random.nextInt (256) };
        midi.addEvent (bytes, 3, position);
    }
}

float saturationLimit()
{
    // Twelve parts at their loudest (+12 dB level, +12 dB output), through the rational
    // curve, and some room for the high-pass's overshoot.
    const float loudest = 12.0f * std::pow (10.0f, 24.0f / 20.0f);
    return 2.0f * juce::dsp::FastMathApproximations::tanh (loudest);
}
} // namespace

TEST (Stress, RandomBlocksRatesMidiFloodsAndAutomation)
{
    TorvanelAudioProcessor processor;
    juce::Random random (20261211);
    const double rates[] = { 22050, 32000, 44100, 48000, 88200, 96000, 176400, 192000 };
    const float limit = saturationLimit();
    juce::MidiBuffer midi;
    juce::AudioBuffer<float> buffer;
    long blocks = 0, events = 0;

    processor.prepareToPlay (48000, 512);
    for (int round = 0; round < 600; ++round)
    {
        if (random.nextInt (8) == 0)
            processor.prepareToPlay (rates[random.nextInt (8)], 1 + random.nextInt (8192));

        const int blockSize = random.nextInt (6) == 0 ? 1 + random.nextInt (8192) : 1 + random.nextInt (1024);
        buffer.setSize (processor.getTotalNumOutputChannels(), blockSize, false, false, true);

        for (auto* parameter : processor.getParameters())
            parameter->setValue (random.nextFloat());
        processor.multiOutEnabled = random.nextBool();

        midi.clear();
        const int flood = random.nextInt (10) == 0 ? 3000 : random.nextInt (40);
        addRandomMidi (midi, random, blockSize, flood);
        events += flood;

        processor.processBlock (buffer, midi);
        ++blocks;

        const int voices = processor.synth.getNumVoices();
        const int wanted = juce::roundToInt (processor.parameters.getRawParameterValue ("polyphony")->load());
        ASSERT_EQ (voices, wanted == 0 ? 1 : wanted == 2 ? 16 : 8);
        for (int c = 0; c < buffer.getNumChannels(); ++c)
            for (int i = 0; i < blockSize; ++i)
            {
                const float x = buffer.getSample (c, i);
                ASSERT_TRUE (std::isfinite (x)) << "block " << blocks;
                ASSERT_LE (std::abs (x), limit) << "block " << blocks;
            }
    }
    std::printf ("stress: %ld blocks, %ld MIDI events\n", blocks, events);
}
