#pragma once

#include "engine/PluginProcessor.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>

namespace testing_helpers
{
inline void setParameter (TorvanelAudioProcessor& processor, const juce::String& id, float value)
{
    auto* parameter = processor.parameters.getParameter (id);
    ASSERT_NE (parameter, nullptr) << id;
    parameter->setValueNotifyingHost (parameter->convertTo0to1 (value));
}

inline float getParameter (TorvanelAudioProcessor& processor, const juce::String& id)
{
    return processor.parameters.getRawParameterValue (id)->load();
}

inline juce::String partParam (int part, const juce::String& baseName)
{
    return TorvanelAudioProcessor::createParamUID (baseName, part, 1).getParamID();
}

// Every parameter back to its default (a new instance starts with a factory kit).
inline void resetToDefaults (TorvanelAudioProcessor& processor)
{
    for (auto* parameter : processor.getParameters())
        parameter->setValueNotifyingHost (parameter->getDefaultValue());
}

// Sets every part to a short, plain, quiet sine so that mixing can be measured almost linearly.
inline void makeAllPartsPlainSines (TorvanelAudioProcessor& processor, float levelDb = -20.0f)
{
    resetToDefaults (processor);
    for (int part = 0; part < TorvanelAudioProcessor::numParts; ++part)
    {
        setParameter (processor, partParam (part, "Carrier_Freq"), 200.0f);
        setParameter (processor, partParam (part, "Amp_Env_Attack"), 1.0f);
        setParameter (processor, partParam (part, "Amp_Env_Release"), 2000.0f);
        setParameter (processor, partParam (part, "Level"), levelDb);
    }
}

// Renders blocks through the processor with optional MIDI in the first block.
struct Renderer
{
    explicit Renderer (TorvanelAudioProcessor& p, int channels = 2) : processor (p), numChannels (channels) {}

    juce::AudioBuffer<float> render (int blockSize, int numBlocks, const juce::MidiBuffer& firstBlockMidi = {})
    {
        juce::AudioBuffer<float> all (numChannels, blockSize * numBlocks);
        juce::AudioBuffer<float> block (numChannels, blockSize);
        for (int b = 0; b < numBlocks; ++b)
        {
            juce::MidiBuffer midi;
            if (b == 0)
                midi = firstBlockMidi;
            block.clear();
            processor.processBlock (block, midi);
            for (int c = 0; c < numChannels; ++c)
                all.copyFrom (c, b * blockSize, block, c, 0, blockSize);
        }
        return all;
    }

    TorvanelAudioProcessor& processor;
    int numChannels;
};

inline juce::MidiBuffer noteOn (int note, float velocity = 1.0f, int samplePosition = 0, int channel = 1)
{
    juce::MidiBuffer midi;
    midi.addEvent (juce::MidiMessage::noteOn (channel, note, velocity), samplePosition);
    return midi;
}

// Controller messages (channel, number, value), one per sample position.
inline juce::MidiBuffer controllers (std::initializer_list<std::tuple<int, int, int>> events)
{
    juce::MidiBuffer midi;
    int position = 0;
    for (auto [channel, controller, value] : events)
        midi.addEvent (juce::MidiMessage::controllerEvent (channel, controller, value), position++);
    return midi;
}

inline double rms (const juce::AudioBuffer<float>& buffer, int channel, int start = 0, int length = -1)
{
    if (length < 0)
        length = buffer.getNumSamples() - start;
    return buffer.getRMSLevel (channel, start, length);
}

inline bool allFinite (const juce::AudioBuffer<float>& buffer)
{
    for (int c = 0; c < buffer.getNumChannels(); ++c)
        for (int i = 0; i < buffer.getNumSamples(); ++i)
            if (! std::isfinite (buffer.getSample (c, i)))
                return false;
    return true;
}
} // namespace testing_helpers
