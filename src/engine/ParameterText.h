#pragma once

#include <juce_core/juce_core.h>

// The value-to-text functions that replace the framework's default for a few parameters.
// Each takes the parameter's value in its own units and the host's maximum text length.
namespace torvanel::parameterText
{
juce::String noteName (float value, int maximumStringLength);
juce::String filterMode (float value, int maximumStringLength);
juce::String magnitude (float value, int maximumStringLength);
} // namespace torvanel::parameterText
