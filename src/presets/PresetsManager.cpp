#include "presets/PresetsManager.h"

#include "engine/StateReplacement.h"
#include "pgrn/presets/SafeXml.h"

namespace torvanel
{
const juce::String PresetsManager::defaultPresetName ("User_Default");
const juce::String PresetsManager::kitExtension ("tvp");
const juce::String PresetsManager::soundExtension ("tvs");

juce::String PresetsManager::presetsFolderPath()
{
    return juce::File::getSpecialLocation (juce::File::userApplicationDataDirectory)
        .getChildFile ("Audio/Presets/Pelgrin/Torvanel_1_3")
        .getFullPathName();
}

juce::File PresetsManager::getDefaultPresetFile()
{
    return juce::File (presetsFolderPath() + "/" + defaultPresetName).withFileExtension (kitExtension);
}

void PresetsManager::createPresetFolders()
{
    presetsFolder().createDirectory();
    midiFolder().createDirectory();
}

juce::Result PresetsManager::loadPreset (const juce::File& file, juce::AudioProcessorValueTreeState& store)
{
    auto xml = pgrn::SafeXml::parse (file);
    if (xml == nullptr)
        return juce::Result::fail ("Invalid preset file supplied, could not load preset.");

    replaceStateKeepingUnlistedParameters (store, juce::ValueTree::fromXml (*xml));
    return juce::Result::ok();
}

juce::Result PresetsManager::savePreset (const juce::ValueTree& tree, const juce::File& file)
{
    if (! tree.isValid())
        return juce::Result::fail ("Invalid preset data supplied, failed to save preset.");

    auto xml = tree.createXml();
    if (xml == nullptr || ! xml->writeTo (file))
        return juce::Result::fail ("Could not write preset to file.");
    return juce::Result::ok();
}
} // namespace torvanel
