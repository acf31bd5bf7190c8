// Mixing of the twelve rendered part channels into the host's outputs: level and pan ramps,
// mute and solo, meters, routing to the main pair or the per-part buses, then soft clipping
// and DC blocking of every output channel.
#include "engine/PluginProcessor.h"

namespace
{
using FVO = juce::FloatVectorOperations;

float rootMeanSquare (const float* samples, int numSamples) noexcept
{
    if (numSamples <= 0)
        return 0.0f;
    double sum = 0.0;
    for (int i = 0; i < numSamples; ++i)
        sum += static_cast<double> (samples[i]) * samples[i];
    return static_cast<float> (std::sqrt (sum / numSamples));
}

void saturateChannels (juce::AudioBuffer<float>& buffer, int numSamples) noexcept
{
    for (int c = 0; c < buffer.getNumChannels(); ++c)
    {
        auto* samples = buffer.getWritePointer (c);
        for (int i = 0; i < numSamples; ++i)
            samples[i] = TorvanelAudioProcessor::saturate (samples[i]);
    }
}
} // namespace

void TorvanelAudioProcessor::mixParts (juce::AudioBuffer<float>& output, int numSamples)
{
    auto* outputGain = outputGainBuffer.getWritePointer (0);
    for (int i = 0; i < numSamples; ++i)
        outputGain[i] = outputGainSmoother.getNextValue();

    for (int part = 0; part < numParts; ++part)
    {
        const auto p = (size_t) part;
        const bool audible = ! partMute[p] && (! anySolo || partSolo[p]);
        if (! audible)
        {
            partLevels[p] = 0.0f;
            continue;
        }

        auto* gain = partGainBuffer.getWritePointer (part);
        auto* pan = partPanBuffer.getWritePointer (part);
        auto* left = leftGainBuffer.getWritePointer (part);
        auto* right = rightGainBuffer.getWritePointer (part);

        for (int i = 0; i < numSamples; ++i)
        {
            gain[i] = partGainSmoothers[p].getNextValue();
            const float q = partPanSmoothers[p].getNextValue();
            pan[i] = q;
            left[i] = q < 0.5f ? 1.0f : 2.0f - 2.0f * q;
            right[i] = q > 0.5f ? 1.0f : 2.0f * q;
        }

        auto* samples = partBuffer.getWritePointer (part);
        FVO::multiply (samples, gain, numSamples);
        FVO::multiply (samples, outputGain, numSamples);
        partLevels[p] = rootMeanSquare (samples, numSamples);

        mixPartIntoOutput (output, part, numSamples);
    }

    saturateChannels (output, numSamples);
    dcFilter.process (output);
}

void TorvanelAudioProcessor::mixPartIntoOutput (juce::AudioBuffer<float>& output, int part, int numSamples)
{
    const auto* samples = partBuffer.getReadPointer (part);
    const auto* left = leftGainBuffer.getReadPointer (part);
    const auto* right = rightGainBuffer.getReadPointer (part);
    const int outputChannels = output.getNumChannels();

    const bool mainMode = ! multiOutEnabled || getTotalNumOutputChannels() == 2;
    if (mainMode)
    {
        if (outputChannels > 0)
            FVO::addWithMultiply (output.getWritePointer (0), samples, left, numSamples);
        if (outputChannels > 1)
            FVO::addWithMultiply (output.getWritePointer (1), samples, right, numSamples);
        return;
    }

    const auto* bus = getBus (false, part);
    if (bus == nullptr)
        return;

    const int busChannels = bus->getNumberOfChannels();
    const int firstChannel = getChannelIndexInProcessBlockBuffer (false, part, 0);
    for (int c = 0; c < busChannels; ++c)
    {
        const int channel = firstChannel + c;
        if (channel < 0 || channel >= outputChannels)
            break;
        FVO::addWithMultiply (output.getWritePointer (channel), samples, c == 0 ? left : right, numSamples);
    }
}
