#pragma once

#include <juce_core/juce_core.h>

namespace torvanel
{
constexpr int numParts = 12;

// Identifier spelling of a part: "C", "C_Sharp", ... "B". Index 0 and anything outside
// 1 to 11 give "C".
inline juce::String partIdName (int partIndex)
{
    static const char* const names[] = { "C_Sharp", "D", "D_Sharp", "E", "F", "F_Sharp",
                                         "G", "G_Sharp", "A", "A_Sharp", "B" };
    if (partIndex >= 1 && partIndex <= 11)
        return names[partIndex - 1];
    return "C";
}

// Full identifier of a part's parameter: part name, underscore, base name ("D_Cutoff").
inline juce::String partParameterId (int partIndex, const juce::String& baseName)
{
    return partIdName (partIndex) + "_" + baseName;
}

// The state property and preset attribute naming the sound a part was built from.
inline juce::String partSoundNameKey (int partIndex)
{
    return partIdName (partIndex) + "_Sound_Name";
}

// Display spelling of a part: the sharp note name of the index modulo 12 ("C#").
inline juce::String partDisplayName (int partIndex)
{
    static const char* const names[] = { "C", "C#", "D", "D#", "E", "F",
                                         "F#", "G", "G#", "A", "A#", "B" };
    return names[((partIndex % 12) + 12) % 12];
}
} // namespace torvanel
