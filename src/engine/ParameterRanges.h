#pragma once

#include <juce_audio_processors/juce_audio_processors.h>

// The shared ranges of the parameter set. Built before the parameter store so that the
// parameter definitions can refer to them.
class ParameterRanges
{
public:
    ParameterRanges();

    juce::NormalisableRange<float> frequencyRange;
    juce::NormalisableRange<float> percentRange;
    juce::NormalisableRange<float> linearPercentRange;
    juce::NormalisableRange<float> attackRange;
    juce::NormalisableRange<float> releaseRange;
    juce::NormalisableRange<float> curveRange;
    juce::NormalisableRange<float> cutoffRange;
    juce::NormalisableRange<float> resonanceRange;
    juce::NormalisableRange<float> filterModeRange;
    juce::NormalisableRange<float> pitchReleaseRange;
    juce::NormalisableRange<float> probabilityRange;
    juce::NormalisableRange<float> levelRange;
    juce::NormalisableRange<float> bipolarPercentRange;
    juce::NormalisableRange<float> switchRange;
    juce::NormalisableRange<float> driveRange;
};
