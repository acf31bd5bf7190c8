#include "TestHelpers.h"

#include "presets/PresetsManager.h"
#include "presets/SoundPreset.h"

using namespace testing_helpers;
using torvanel::PresetsManager;

namespace
{
// Every test starts and ends with no user preset folder.
class Presets : public ::testing::Test
{
protected:
    void SetUp() override { PresetsManager::presetsFolder().deleteRecursively(); }
    void TearDown() override { PresetsManager::presetsFolder().deleteRecursively(); }

    juce::File scratchFile (const juce::String& name)
    {
        auto folder = juce::File::getSpecialLocation (juce::File::tempDirectory).getChildFile ("torvanel-presets-test");
        folder.createDirectory();
        return folder.getChildFile (name);
    }
};

std::vector<float> allValues (TorvanelAudioProcessor& processor)
{
    std::vector<float> values;
    for (auto* parameter : processor.getParameters())
        values.push_back (parameter->getValue());
    return values;
}

void randomizeAll (TorvanelAudioProcessor& processor, int seed)
{
    juce::Random random (seed);
    for (auto* parameter : processor.getParameters())
        parameter->setValueNotifyingHost (random.nextFloat());
}
} // namespace

TEST_F (Presets, FolderTreeUnderTheHomeFolder)
{
    const auto home = juce::File::getSpecialLocation (juce::File::userHomeDirectory);
    EXPECT_TRUE (juce::File (PresetsManager::presetsFolderPath()).isAChildOf (home));
    EXPECT_TRUE (PresetsManager::presetsFolderPath().endsWith ("Audio/Presets/Pelgrin/Torvanel_1_3"));
    EXPECT_EQ (PresetsManager::getDefaultPresetFile().getFileName(), "User_Default.tvp");
    EXPECT_EQ (PresetsManager::getDefaultPresetFile().getParentDirectory(), PresetsManager::presetsFolder());

    TorvanelAudioProcessor processor;
    EXPECT_TRUE (PresetsManager::presetsFolder().isDirectory());
    EXPECT_TRUE (PresetsManager::midiFolder().isDirectory());
}

TEST_F (Presets, SavedKitFileFormatAndReload)
{
    TorvanelAudioProcessor source;
    randomizeAll (source, 11);
    source.parameters.state.setProperty ("Kit_Name", "Saved_Kit", nullptr);
    const auto file = scratchFile ("kit.tvp");
    ASSERT_TRUE (PresetsManager::savePreset (source.parameters.copyState(), file).wasOk());

    const auto text = file.loadFileAsString();
    EXPECT_TRUE (text.startsWith ("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n"));
    EXPECT_TRUE (text.contains ("\r\n"));
    EXPECT_FALSE (text.replace ("\r\n", "").containsChar ('\n'));

    TorvanelAudioProcessor target;
    ASSERT_TRUE (PresetsManager::loadPreset (file, target.parameters).wasOk());
    EXPECT_EQ (allValues (target), allValues (source));
    EXPECT_EQ (target.parameters.state.getProperty ("Kit_Name").toString(), "Saved_Kit");
}

TEST_F (Presets, ReadingRules)
{
    TorvanelAudioProcessor processor;
    setParameter (processor, "C_Carrier_Note", 60.0f);
    setParameter (processor, "D_Carrier_Note", 61.0f);
    setParameter (processor, "polyphony", 2.0f);

    const auto file = scratchFile ("rules.tvp");
    file.replaceWithText ("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                          "<AnotherRoot Kit_Name=\"Rules\" C_Sound_Name=\"Thump\">\n"
                          "  <PARAM id=\"C_Carrier_Note\"/>\n"
                          "  <PARAM id=\"E_Cutoff\" value=\"1234\"/>\n"
                          "  <PARAM id=\"No_Such_Parameter\" value=\"5\"/>\n"
                          "</AnotherRoot>\n");
    ASSERT_TRUE (PresetsManager::loadPreset (file, processor.parameters).wasOk());
    EXPECT_FLOAT_EQ (getParameter (processor, "C_Carrier_Note"), 36.0f); // no value: default
    EXPECT_FLOAT_EQ (getParameter (processor, "D_Carrier_Note"), 61.0f); // no element: kept
    EXPECT_NEAR (getParameter (processor, "E_Cutoff"), 1234.0f, 0.1f);
    EXPECT_FLOAT_EQ (getParameter (processor, "polyphony"), 2.0f);
    EXPECT_EQ (processor.parameters.state.getProperty ("C_Sound_Name").toString(), "Thump");
}

TEST_F (Presets, UnreadableKitFilesFailAndChangeNothing)
{
    TorvanelAudioProcessor processor;
    setParameter (processor, "C_Cutoff", 500.0f);
    const auto before = allValues (processor);

    juce::MemoryBlock binary (2048);
    juce::Random (4).fillBitsRandomly (binary.getData(), binary.getSize());
    const auto binaryFile = scratchFile ("binary.tvp");
    binaryFile.replaceWithData (binary.getData(), binary.getSize());
    const auto empty = scratchFile ("empty.tvp");
    empty.replaceWithText ("");
    const auto truncated = scratchFile ("truncated.tvp");
    truncated.replaceWithText ("<?xml version=\"1.0\"?>\n<Torvanel Kit_Name=\"x\"><PARAM id=\"C_Cutoff\" val");
    const auto folder = scratchFile ("folder.tvp");
    folder.createDirectory();
    const auto huge = scratchFile ("huge.tvp");
    {
        juce::FileOutputStream out (huge);
        out.setPosition (0);
        out.truncate();
        out.writeText ("<?xml version=\"1.0\"?><Torvanel>", false, false, nullptr);
        const std::string padding (1 << 20, ' ');
        for (int i = 0; i < 17; ++i)
            out.write (padding.data(), padding.size());
        out.writeText ("</Torvanel>", false, false, nullptr);
    }

    for (const auto& file : { scratchFile ("missing.tvp"), binaryFile, empty, truncated, folder, huge })
    {
        SCOPED_TRACE (file.getFileName().toStdString());
        const auto result = PresetsManager::loadPreset (file, processor.parameters);
        EXPECT_TRUE (result.failed()) << file.getFileName();
        EXPECT_EQ (result.getErrorMessage(), "Invalid preset file supplied, could not load preset.");
        EXPECT_EQ (allValues (processor), before);
    }
    huge.deleteFile();
}

TEST_F (Presets, SaveFailures)
{
    EXPECT_EQ (PresetsManager::savePreset ({}, scratchFile ("x.tvp")).getErrorMessage(),
               "Invalid preset data supplied, failed to save preset.");

    // A file where a folder should be makes the write fail.
    const auto blocker = scratchFile ("blocker");
    blocker.replaceWithText ("not a folder");
    TorvanelAudioProcessor processor;
    EXPECT_EQ (PresetsManager::savePreset (processor.parameters.copyState(), blocker.getChildFile ("kit.tvp"))
                   .getErrorMessage(),
               "Could not write preset to file.");
}

TEST_F (Presets, StartingKitIsTheUserDefaultWhenItExists)
{
    {
        TorvanelAudioProcessor first;
        EXPECT_EQ (first.currentKitPath, "");
        setParameter (first, "G_Resonance", 42.0f);
        first.parameters.state.setProperty ("Kit_Name", "Something", nullptr);
        first.parameters.state.setProperty ("G_Sound_Name", "Snappy", nullptr);
        ASSERT_TRUE (PresetsManager::savePreset (first.parameters.copyState(),
                                                 PresetsManager::getDefaultPresetFile()).wasOk());
    }

    TorvanelAudioProcessor second;
    EXPECT_EQ (second.currentKitName, "User_Default");
    EXPECT_EQ (second.currentKitPath, PresetsManager::getDefaultPresetFile().getFullPathName());
    EXPECT_EQ (second.parameters.state.getProperty ("Kit_Name").toString(), "User_Default");
    EXPECT_NEAR (getParameter (second, "G_Resonance"), 42.0f, 0.05f);
    EXPECT_EQ (second.partSoundNames[7], "Snappy");
    EXPECT_EQ (second.partSoundNames[0], "KICK_Dust"); // carried by the starting kit that was saved

    // A folder named like the default kit is not taken for it.
    PresetsManager::getDefaultPresetFile().deleteFile();
    PresetsManager::getDefaultPresetFile().createDirectory();
    TorvanelAudioProcessor third;
    EXPECT_NE (third.currentKitName, "User_Default");
    EXPECT_EQ (third.currentKitPath, "");
}

TEST_F (Presets, SettingsFileLivesInTheMakerFolder)
{
    const auto file = TorvanelAudioProcessor::settingsFileOptions().getDefaultFile();
    EXPECT_EQ (file.getFileName(), "Torvanel.prefs");
    EXPECT_EQ (file.getParentDirectory().getFileName(), "Pelgrin");
    EXPECT_TRUE (file.isAChildOf (juce::File::getSpecialLocation (juce::File::userHomeDirectory)));

    {
        TorvanelAudioProcessor processor;
        processor.settings->setValue ("editor_width", 1000);
    }
    EXPECT_TRUE (file.existsAsFile());
    auto xml = juce::XmlDocument::parse (file);
    ASSERT_NE (xml, nullptr);
    EXPECT_EQ (xml->getTagName(), "PROPERTIES");
    TorvanelAudioProcessor reopened;
    EXPECT_EQ (reopened.settings->getIntValue ("editor_width"), 1000);
    file.deleteFile();
}

TEST_F (Presets, SoundPresetMeaning)
{
    TorvanelAudioProcessor processor;
    setParameter (processor, partParam (3, "Tuned_Mode"), 1.0f);
    setParameter (processor, partParam (3, "Carrier_Note"), 70.0f);
    setParameter (processor, partParam (3, "oscillator_feedback_mode"), 1.0f);
    setParameter (processor, partParam (3, "Trigger_Probability"), 40.0f);
    setParameter (processor, partParam (3, "Pan"), 30.0f);

    auto sound = juce::parseXML ("<torvanel_sound Cutoff=\"0.5\" Cutoff_Prob=\"0.75\" Level=\"1.0\" "
                                 "Carrier_Note=\"0.2834645807743073\" Sound_Name=\"Test\"/>");
    ASSERT_TRUE (torvanel::SoundPreset::applyToPart (sound.get(), 3, processor.parameters, processor.partSoundNames, false));
    EXPECT_EQ (processor.partSoundNames[3], "Test");
    EXPECT_FLOAT_EQ (getParameter (processor, partParam (3, "Level")), 12.0f);
    EXPECT_NEAR (getParameter (processor, partParam (3, "Cutoff_Prob")), 0.5f, 1e-6f);
    EXPECT_FLOAT_EQ (getParameter (processor, partParam (3, "Tuned_Mode")), 1.0f);      // no use_tuned_mode: kept
    EXPECT_FLOAT_EQ (getParameter (processor, partParam (3, "Carrier_Note")), 70.0f);   // kept
    EXPECT_FLOAT_EQ (getParameter (processor, partParam (3, "oscillator_feedback_mode")), 0.0f); // MODE 1
    EXPECT_FLOAT_EQ (getParameter (processor, partParam (3, "Trigger_Probability")), 40.0f);
    EXPECT_FLOAT_EQ (getParameter (processor, partParam (3, "Pan")), 30.0f);

    auto tuned = juce::parseXML ("<TORVANEL_SOUND use_tuned_mode=\"1\" Tuned_Mode=\"0.0\" "
                                 "Carrier_Note=\"0.2834645807743073\" Carrier_Note_Prob=\"0.5\"/>");
    torvanel::SoundPreset::applyToPart (tuned.get(), 3, processor.parameters, processor.partSoundNames, false);
    EXPECT_FLOAT_EQ (getParameter (processor, partParam (3, "Tuned_Mode")), 0.0f);
    EXPECT_FLOAT_EQ (getParameter (processor, partParam (3, "Carrier_Note")), 36.0f);
    EXPECT_EQ (processor.partSoundNames[3], "");

    const auto before = allValues (processor);
    auto other = juce::parseXML ("<SOMETHING_ELSE Cutoff=\"0.1\" Sound_Name=\"No\"/>");
    EXPECT_FALSE (torvanel::SoundPreset::applyToPart (other.get(), 3, processor.parameters, processor.partSoundNames, false));
    EXPECT_FALSE (torvanel::SoundPreset::applyToPart (nullptr, 3, processor.parameters, processor.partSoundNames, false));
    EXPECT_EQ (allValues (processor), before);
}

TEST_F (Presets, SoundWrittenFromAPartReloadsExactly)
{
    TorvanelAudioProcessor source;
    randomizeAll (source, 21);
    auto element = torvanel::SoundPreset::createFromPart (5, source.parameters, "Made");
    EXPECT_EQ (element->getStringAttribute ("use_tuned_mode"), "1");
    EXPECT_EQ (element->getStringAttribute ("use_feed_mode"), "1");

    auto reparsed = juce::parseXML (element->toString());
    TorvanelAudioProcessor target;
    torvanel::SoundPreset::applyToPart (reparsed.get(), 9, target.parameters, target.partSoundNames, false);

    const char* excluded[] = { "Trigger_Probability", "Velocity_Random_Amount", "Pan", "Solo", "Mute" };
    for (int i = 0; i < 46; ++i)
    {
        auto* from = dynamic_cast<juce::RangedAudioParameter*> (source.getParameters()[5 * 46 + i]);
        auto* to = dynamic_cast<juce::RangedAudioParameter*> (target.getParameters()[9 * 46 + i]);
        const auto base = from->getParameterID().fromFirstOccurrenceOf ("F_", false, false);
        if (std::find_if (std::begin (excluded), std::end (excluded), [&] (auto* e) { return base == e; }) != std::end (excluded))
            continue;
        EXPECT_EQ (to->getValue(), from->getValue()) << base;
    }
    EXPECT_EQ (target.partSoundNames[9], "Made");
}
