// The state blob the host stores with its project.
#include "engine/PluginProcessor.h"
#include "engine/PluginStateLoader.h"
#include "engine/PluginStateSaver.h"

namespace
{
juce::String soundNameKey (int part) { return torvanel::partIdName (part) + "_Sound_Name"; }
} // namespace

void TorvanelAudioProcessor::getStateInformation (juce::MemoryBlock& destData)
{
    parameters.state.setProperty ("Kit_Name", currentKitName, nullptr);

    torvanel::PluginStateSaver saver (parameters, *this, destData);
    saver.addElement ("multiOutState", multiOutEnabled ? "1" : "0");
    for (int part = 0; part < numParts; ++part)
        saver.addElement (soundNameKey (part), partSoundNames[part]);
    saver.addChild (ccMapper.createMapXml());
    saver.addElement ("Preset_Name", currentKitName);
}

void TorvanelAudioProcessor::setStateInformation (const void* data, int sizeInBytes)
{
    auto xml = getXmlFromBinary (data, sizeInBytes);

    // Anything that is not this instrument's state document leaves the state untouched.
    if (xml == nullptr || ! xml->hasTagName (parameters.state.getType().toString()))
        return;

    torvanel::PluginStateLoader loader (parameters, std::move (xml));

    if (auto routing = loader.takeChild ("multiOutState"))
        multiOutEnabled = routing->getIntAttribute ("multiOutState", 0) > 0;

    for (int part = 0; part < numParts; ++part)
    {
        const auto name = loader.retrieveStringElement (soundNameKey (part), partSoundNames[part]);
        if (part < partSoundNames.size())
            partSoundNames.set (part, name);
        else
            partSoundNames.add (name);
    }

    if (auto map = loader.takeChild (torvanel::CCMapper::midiMapTag.toString()))
        ccMapper.loadMapFromXml (*map);

    currentKitName = loader.retrieveStringElement ("Preset_Name", currentKitName);
}
