// The state blob the host stores with its project.
#include "engine/PluginProcessor.h"
#include "engine/PluginStateLoader.h"
#include "engine/PluginStateSaver.h"
#include "pgrn/presets/SafeXml.h"

namespace
{
// The framework's blob: magic "VC2!", a little-endian length, then the XML text. The text
// taken is the shorter of the length and what is there; it goes through the checked parser.
std::unique_ptr<juce::XmlElement> parseStateBlob (const void* data, int sizeInBytes)
{
    constexpr juce::uint32 magic = 0x21324356;
    if (data == nullptr || sizeInBytes <= 8)
        return nullptr;
    const auto* bytes = static_cast<const char*> (data);
    if (juce::ByteOrder::littleEndianInt (bytes) != magic)
        return nullptr;
    const auto length = (size_t) juce::ByteOrder::littleEndianInt (bytes + 4);
    if (length == 0)
        return nullptr;
    return pgrn::SafeXml::parse (bytes + 8, juce::jmin (length, (size_t) sizeInBytes - 8));
}
} // namespace

void TorvanelAudioProcessor::getStateInformation (juce::MemoryBlock& destData)
{
    parameters.state.setProperty ("Kit_Name", currentKitName, nullptr);

    torvanel::PluginStateSaver saver (parameters, *this, destData);
    saver.addElement ("multiOutState", multiOutEnabled ? "1" : "0");
    for (int part = 0; part < numParts; ++part)
        saver.addElement (torvanel::partSoundNameKey (part), partSoundNames[part]);
    saver.addChild (ccMapper.createMapXml());
    saver.addElement ("Preset_Name", currentKitName);
}

void TorvanelAudioProcessor::setStateInformation (const void* data, int sizeInBytes)
{
    auto xml = parseStateBlob (data, sizeInBytes);

    // Anything that is not this instrument's state document leaves the state untouched.
    if (xml == nullptr || ! xml->hasTagName (parameters.state.getType().toString()))
        return;

    torvanel::PluginStateLoader loader (parameters, std::move (xml));

    if (auto routing = loader.takeChild ("multiOutState"))
        multiOutEnabled = pgrn::SafeXml::parseInteger (routing->getStringAttribute ("multiOutState")) > 0;

    for (int part = 0; part < numParts; ++part)
    {
        const auto name = loader.retrieveStringElement (torvanel::partSoundNameKey (part), partSoundNames[part]);
        if (part < partSoundNames.size())
            partSoundNames.set (part, name);
        else
            partSoundNames.add (name);
    }

    if (auto map = loader.takeChild (torvanel::CCMapper::midiMapTag.toString()))
        ccMapper.loadMapFromXml (*map);

    currentKitName = loader.retrieveStringElement ("Preset_Name", currentKitName);
}
