#pragma once

#include <juce_audio_processors/juce_audio_processors.h>

namespace torvanel
{
// The sound preset format: one element of normalised parameter values without part prefix,
// which can be read into any part.
namespace SoundPreset
{
    extern const char* const tagName;

    bool isSoundElement (const juce::XmlElement* element);

    // Writes the element's values into a part, each as a host-notified change (with gestures
    // unless the host is one that mishandles them), and sets the part's sound name.
    // Returns false, changing nothing, when the element is not a sound.
    bool applyToPart (const juce::XmlElement* element, int part, juce::AudioProcessorValueTreeState& store,
                      juce::StringArray& partSoundNames, bool hostIsAbletonLive);

    // The part's sound as an element, with tuned and feedback modes included so that it
    // reloads to exactly the same values.
    std::unique_ptr<juce::XmlElement> createFromPart (int part, juce::AudioProcessorValueTreeState& store,
                                                      const juce::String& soundName);
} // namespace SoundPreset
} // namespace torvanel
