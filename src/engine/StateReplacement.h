#pragma once

#include <juce_audio_processors/juce_audio_processors.h>

namespace torvanel
{
// Makes a tree the parameter store's state. A PARAM without a value resets its parameter to
// the default, while a parameter the tree does not mention keeps its current value (the
// framework alone would reset those too, which would make kits wipe settings they never
// carried, such as the polyphony).
void replaceStateKeepingUnlistedParameters (juce::AudioProcessorValueTreeState& store, juce::ValueTree newState);
} // namespace torvanel
