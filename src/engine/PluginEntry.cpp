#include "engine/PluginProcessor.h"

// The wrappers of every plug-in format create the processor through this function.
juce::AudioProcessor* JUCE_CALLTYPE createPluginFilter()
{
    return new TorvanelAudioProcessor();
}
