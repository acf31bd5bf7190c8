#pragma once

#include <juce_dsp/juce_dsp.h>


namespace pgrn::dsp
{
// Second-order Butterworth high-pass on every channel of a buffer, one coefficient set
// shared by all channels, to keep DC and sub-sonic drift off the outputs.
template <typename SampleType>
class DCFilter
{
public:
    using Filter = juce::dsp::IIR::Filter<SampleType>;
    using Coefficients = juce::dsp::IIR::Coefficients<SampleType>;

    void prepare (double newSampleRate, int numChannels)
    {
        sampleRate = newSampleRate;
        rebuildCoefficients();
        const int wanted = juce::jmax (0, numChannels);
        while (filters.size() > wanted)
            filters.removeLast();
        while (filters.size() < wanted)
            filters.add (new Filter (coefficients));
        for (auto* filter : filters)
            filter->coefficients = coefficients;
        reset();
    }

    void setCutoffFrequency (SampleType frequency)
    {
        cutoffFrequency = frequency;
        rebuildCoefficients();
        for (auto* filter : filters)
            filter->coefficients = coefficients;
        reset();
    }

    void process (juce::AudioBuffer<SampleType>& buffer) noexcept
    {
        const int channels = juce::jmin (buffer.getNumChannels(), filters.size());
        const int numSamples = buffer.getNumSamples();

        for (int c = 0; c < channels; ++c)
        {
            auto* filter = filters.getUnchecked (c);
            auto* samples = buffer.getWritePointer (c);
            for (int i = 0; i < numSamples; ++i)
                samples[i] = filter->processSample (samples[i]);
            filter->snapToZero();
        }
    }

    void reset() noexcept
    {
        for (auto* filter : filters)
            filter->reset();
    }

    SampleType getCutoffFrequency() const noexcept { return cutoffFrequency; }
    double getSampleRate() const noexcept { return sampleRate; }
    int getNumChannels() const noexcept { return filters.size(); }

private:
    void rebuildCoefficients()
    {
        // Keep the corner below Nyquist even for absurd rates, so the design stays stable.
        const auto corner = juce::jlimit (SampleType (1), SampleType (sampleRate * 0.45), cutoffFrequency);
        coefficients = Coefficients::makeHighPass (sampleRate, corner);
    }

    typename Coefficients::Ptr coefficients;
    juce::OwnedArray<Filter> filters;
    SampleType cutoffFrequency = SampleType (5);
    double sampleRate = 44100.0;
};
} // namespace pgrn::dsp
