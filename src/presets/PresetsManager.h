#pragma once

#include <juce_audio_processors/juce_audio_processors.h>

namespace torvanel
{
// Reads and writes kit files, and knows where the user's preset folders live.
class PresetsManager
{
public:
    static const juce::String defaultPresetName;
    static const juce::String kitExtension;
    static const juce::String soundExtension;

    // <per-user application data>/Audio/Presets/Pelgrin/Torvanel_1_3: on macOS the user's
    // ~/Library/Audio/Presets/..., on Linux ~/.config/Audio/Presets/...
    static juce::String presetsFolderPath();
    static juce::File presetsFolder() { return juce::File (presetsFolderPath()); }
    static juce::File midiFolder() { return presetsFolder().getChildFile ("MIDI"); }
    static juce::File soundsFolder() { return presetsFolder().getChildFile ("Sounds"); }

    static juce::File getDefaultPresetFile();
    static void createPresetFolders();

    static juce::Result loadPreset (const juce::File& file, juce::AudioProcessorValueTreeState& store);
    static juce::Result savePreset (const juce::ValueTree& tree, const juce::File& file);
};
} // namespace torvanel
