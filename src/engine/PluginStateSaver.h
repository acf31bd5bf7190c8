#pragma once

#include <juce_audio_processors/juce_audio_processors.h>

namespace torvanel
{
// Builds the state blob: the parameter store's XML plus extra elements, written into the
// destination block when the saver goes out of scope.
class PluginStateSaver
{
public:
    PluginStateSaver (juce::AudioProcessorValueTreeState& store, juce::AudioProcessor& processor,
                      juce::MemoryBlock& destination);
    ~PluginStateSaver();

    // Appends <name name="value"/> as the root's last child.
    void addElement (const juce::String& name, const juce::String& value);
    void addChild (std::unique_ptr<juce::XmlElement> element);

private:
    juce::AudioProcessorValueTreeState& store;
    juce::AudioProcessor& processor;
    juce::MemoryBlock& destination;
    std::unique_ptr<juce::XmlElement> root;

    JUCE_DECLARE_NON_COPYABLE (PluginStateSaver)
};
} // namespace torvanel
