#include "presets/PresetsManager.h"

#include "engine/StateReplacement.h"

namespace torvanel
{
namespace
{
// Kits are tens of kilobytes; anything far beyond that is not a kit and is not read whole.
constexpr juce::int64 maxPresetFileBytes = 16 * 1024 * 1024;
} // namespace

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
    const bool readable = file.existsAsFile() && file.getSize() <= maxPresetFileBytes;
    auto xml = readable ? juce::XmlDocument::parse (file) : nullptr;
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
