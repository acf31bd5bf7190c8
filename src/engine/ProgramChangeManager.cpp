#include "engine/ProgramChangeManager.h"

#include "presets/PresetsManager.h"

namespace torvanel
{
juce::StringArray ProgramChangeManager::scanMidiPresetsFolder()
{
    juce::StringArray names;
    const auto folder = PresetsManager::midiFolder();
    if (! folder.isDirectory())
        return names;

    for (const auto& entry : juce::RangedDirectoryIterator (folder, false, "*." + PresetsManager::kitExtension,
                                                            juce::File::findFiles))
        names.add (entry.getFile().getFileName());

    names.sortNatural();
    return names;
}

juce::File ProgramChangeManager::getPresetFileForMIDIProgramChange (const juce::StringArray& fileNames, int programNumber)
{
    if (programNumber < 0 || programNumber >= fileNames.size())
        return {};
    return PresetsManager::midiFolder().getChildFile (fileNames[programNumber]);
}
} // namespace torvanel
