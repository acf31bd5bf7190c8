#pragma once

#include <juce_core/juce_core.h>

namespace torvanel
{
// Maps MIDI program numbers to the kit files of the presets folder's "MIDI" sub-folder.
class ProgramChangeManager
{
public:
    // Names (with extension) of the kit files directly in the MIDI folder, in natural order.
    static juce::StringArray scanMidiPresetsFolder();

    // The file for a program number, or the empty file when the number is not in the list.
    static juce::File getPresetFileForMIDIProgramChange (const juce::StringArray& fileNames, int programNumber);
};
} // namespace torvanel
