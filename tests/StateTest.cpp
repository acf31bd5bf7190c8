#include "TestHelpers.h"

using namespace testing_helpers;

namespace
{
juce::MemoryBlock saveState (TorvanelAudioProcessor& processor)
{
    juce::MemoryBlock block;
    processor.getStateInformation (block);
    return block;
}

void restore (TorvanelAudioProcessor& processor, const juce::MemoryBlock& block)
{
    processor.setStateInformation (block.getData(), (int) block.getSize());
}

juce::MemoryBlock toBlob (const juce::XmlElement& xml)
{
    juce::MemoryBlock block;
    juce::AudioProcessor::copyXmlToBinary (xml, block);
    return block;
}

std::unique_ptr<juce::XmlElement> toXml (const juce::MemoryBlock& block)
{
    return juce::AudioProcessor::getXmlFromBinary (block.getData(), (int) block.getSize());
}

std::vector<float> allValues (TorvanelAudioProcessor& processor)
{
    std::vector<float> values;
    for (auto* parameter : processor.getParameters())
        values.push_back (parameter->getValue());
    return values;
}
} // namespace

TEST (PluginState, RoundTripIntoAFreshInstance)
{
    TorvanelAudioProcessor source;
    juce::Random random (3);
    for (auto* parameter : source.getParameters())
        parameter->setValueNotifyingHost (random.nextFloat());
    source.multiOutEnabled = true;
    source.currentKitName = "My Kit";
    for (int part = 0; part < 12; ++part)
        source.partSoundNames.set (part, "Sound " + juce::String (part));
    juce::XmlElement map ("Torvanel_MIDI_MAP");
    map.createNewChildElement ("C_Cutoff")->setAttribute ("cc", 74);
    map.createNewChildElement ("Output_Amplitude")->setAttribute ("cc", 7);
    source.ccMapper.loadMapFromXml (map);

    const auto blob = saveState (source);
    TorvanelAudioProcessor target;
    restore (target, blob);

    const auto expected = allValues (source);
    const auto actual = allValues (target);
    ASSERT_EQ (expected.size(), actual.size());
    for (size_t i = 0; i < expected.size(); ++i)
        EXPECT_NEAR (actual[i], expected[i], 1e-6f) << source.getParameters()[(int) i]->getName (100);

    EXPECT_TRUE (target.multiOutEnabled);
    EXPECT_EQ (target.currentKitName, "My Kit");
    EXPECT_EQ (target.partSoundNames, source.partSoundNames);
    EXPECT_TRUE (target.ccMapper.getMapTree().isEquivalentTo (source.ccMapper.getMapTree()));
    EXPECT_EQ (target.ccMapper.getMappedController ("C_Cutoff"), 74);

    // Each added element is optional: a blob without the map keeps the current one.
    auto xml = toXml (blob);
    xml->removeChildElement (xml->getChildByName ("Torvanel_MIDI_MAP"), true);
    TorvanelAudioProcessor third;
    third.ccMapper.loadMapFromXml (juce::XmlElement ("torvanel_midi_map"));
    juce::XmlElement keep ("Torvanel_MIDI_MAP");
    keep.createNewChildElement ("D_Cutoff")->setAttribute ("cc", 1);
    third.ccMapper.loadMapFromXml (keep);
    restore (third, toBlob (*xml));
    EXPECT_EQ (third.ccMapper.getMappedController ("D_Cutoff"), 1);
}

TEST (PluginState, BlobLayoutAndElementOrder)
{
    TorvanelAudioProcessor processor;
    processor.currentKitName = "Kit A";
    const auto blob = saveState (processor);
    ASSERT_GT (blob.getSize(), 9u);
    const auto* bytes = static_cast<const uint8_t*> (blob.getData());
    EXPECT_EQ (juce::String::fromUTF8 ((const char*) bytes, 4), "VC2!");
    EXPECT_EQ ((size_t) juce::ByteOrder::littleEndianInt (bytes + 4), blob.getSize() - 9);

    auto xml = toXml (blob);
    ASSERT_NE (xml, nullptr);
    EXPECT_EQ (xml->getTagName(), "Torvanel");
    EXPECT_EQ (xml->getStringAttribute ("Kit_Name"), "Kit A");

    juce::StringArray extras;
    for (auto* child : xml->getChildIterator())
        if (! child->hasTagName ("PARAM"))
            extras.add (child->getTagName());
    juce::StringArray expected { "multiOutState" };
    for (int part = 0; part < 12; ++part)
        expected.add (torvanel::partIdName (part) + "_Sound_Name");
    expected.add ("Torvanel_MIDI_MAP");
    expected.add ("Preset_Name");
    EXPECT_EQ (extras, expected);
    EXPECT_EQ (xml->getChildByName ("C_Sharp_Sound_Name")->getStringAttribute ("C_Sharp_Sound_Name"),
               processor.partSoundNames[1]);
    auto* carrier = xml->getChildByAttribute ("id", "C_Carrier_Freq");
    ASSERT_NE (carrier, nullptr);
    EXPECT_FLOAT_EQ ((float) carrier->getDoubleAttribute ("value"), getParameter (processor, "C_Carrier_Freq"));
}

TEST (PluginState, MissingAndOddElements)
{
    TorvanelAudioProcessor source;
    source.currentKitName = "Saved";
    auto xml = toXml (saveState (source));

    // No multiOutState: the switch stays as it was; a lower-case preset_name is found.
    auto withoutRouting = std::make_unique<juce::XmlElement> (*xml);
    withoutRouting->removeChildElement (withoutRouting->getChildByName ("multiOutState"), true);
    auto* presetName = withoutRouting->getChildByName ("Preset_Name");
    presetName->setTagName ("preset_name");

    TorvanelAudioProcessor target;
    target.multiOutEnabled = true;
    restore (target, toBlob (*withoutRouting));
    EXPECT_TRUE (target.multiOutEnabled);
    EXPECT_EQ (target.currentKitName, "Saved");

    // The attribute inside must match exactly: a wrong-case attribute reads as empty.
    auto wrongAttribute = std::make_unique<juce::XmlElement> (*xml);
    auto* element = wrongAttribute->getChildByName ("Preset_Name");
    element->removeAttribute ("Preset_Name");
    element->setAttribute ("preset_name", "x");
    restore (target, toBlob (*wrongAttribute));
    EXPECT_EQ (target.currentKitName, "");

    // multiOutState 2 enables; an unreadable one disables.
    for (auto [text, enabled] : { std::pair { "2", true }, std::pair { "abc", false }, std::pair { "0", false } })
    {
        auto routing = std::make_unique<juce::XmlElement> (*xml);
        routing->getChildByName ("multiOutState")->setAttribute ("multiOutState", text);
        target.multiOutEnabled = ! enabled;
        restore (target, toBlob (*routing));
        EXPECT_EQ (target.multiOutEnabled, enabled) << text;
    }
}

TEST (PluginState, RestoredStoreHoldsNoAddedElements)
{
    TorvanelAudioProcessor processor;
    restore (processor, saveState (processor));
    const auto state = processor.parameters.copyState();
    for (int i = 0; i < state.getNumChildren(); ++i)
        EXPECT_EQ (state.getChild (i).getType().toString(), "PARAM");
    EXPECT_EQ (state.getNumChildren(), 554);
}

TEST (PluginState, MalformedBlobsLeaveTheStateUntouched)
{
    TorvanelAudioProcessor processor;
    setParameter (processor, "C_Cutoff", 500.0f);
    processor.currentKitName = "Keep";
    const auto before = allValues (processor);

    const auto good = saveState (processor);
    std::vector<juce::MemoryBlock> bad;
    bad.emplace_back();                                            // empty
    bad.emplace_back (good.getData(), 8);                          // header only
    bad.emplace_back (good.getData(), good.getSize() / 2);         // truncated XML
    juce::MemoryBlock wrongMagic (good);
    static_cast<char*> (wrongMagic.getData())[0] = 'X';
    bad.push_back (wrongMagic);
    juce::MemoryBlock zeroLength (good);
    std::memset (static_cast<char*> (zeroLength.getData()) + 4, 0, 4);
    bad.push_back (zeroLength);
    bad.push_back (toBlob (juce::XmlElement ("SomethingElse")));
    juce::MemoryBlock noise (4096);
    juce::Random random (9);
    random.fillBitsRandomly (noise.getData(), noise.getSize());
    bad.push_back (noise);

    for (const auto& blob : bad)
    {
        processor.setStateInformation (blob.getData(), (int) blob.getSize());
        EXPECT_EQ (allValues (processor), before);
        EXPECT_EQ (processor.currentKitName, "Keep");
    }
    processor.setStateInformation (nullptr, 0);
    EXPECT_EQ (allValues (processor), before);
}

TEST (PluginState, ParametersMissingFromTheBlobKeepTheirValues)
{
    TorvanelAudioProcessor source;
    auto xml = toXml (saveState (source));
    xml->removeChildElement (xml->getChildByAttribute ("id", "polyphony"), true);
    xml->removeChildElement (xml->getChildByAttribute ("id", "E_Pan"), true);

    TorvanelAudioProcessor target;
    setParameter (target, "polyphony", 2.0f);
    setParameter (target, "E_Pan", -40.0f);
    restore (target, toBlob (*xml));
    EXPECT_FLOAT_EQ (getParameter (target, "polyphony"), 2.0f);
    EXPECT_FLOAT_EQ (getParameter (target, "E_Pan"), -40.0f);
    EXPECT_NE (target.parameters.state.getChildWithProperty ("id", "E_Pan").getProperty ("value"), juce::var());
}
