#pragma once

#include <juce_audio_processors/juce_audio_processors.h>

namespace torvanel
{
// Takes the extra elements back out of a state document; what remains becomes the
// parameter store's state when the loader goes out of scope.
class PluginStateLoader
{
public:
    PluginStateLoader (juce::AudioProcessorValueTreeState& store, std::unique_ptr<juce::XmlElement> root);
    ~PluginStateLoader();

    // Value of the first child whose tag matches ignoring case (attribute of the same
    // name, exact case); the child is removed. Returns the default when there is none.
    juce::String retrieveStringElement (const juce::String& name, const juce::String& defaultValue);

    // Removes and returns the first child whose tag matches ignoring case, or null.
    std::unique_ptr<juce::XmlElement> takeChild (const juce::String& name);

private:
    juce::XmlElement* findChild (const juce::String& name) const;

    juce::AudioProcessorValueTreeState& store;
    std::unique_ptr<juce::XmlElement> root;

    JUCE_DECLARE_NON_COPYABLE (PluginStateLoader)
};
} // namespace torvanel
