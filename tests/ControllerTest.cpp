#include "TestHelpers.h"

#include "engine/ProgramChangeManager.h"
#include "presets/PresetsManager.h"

using namespace testing_helpers;
using torvanel::PresetsManager;

namespace
{
void runBlock (TorvanelAudioProcessor& processor, juce::MidiBuffer midi, int blockSize = 64)
{
    juce::AudioBuffer<float> buffer (2, blockSize);
    processor.processBlock (buffer, midi);
}

void learn (TorvanelAudioProcessor& processor, int controller, const juce::String& parameterId)
{
    runBlock (processor, controllers ({ { 1, controller, 0 } }));
    processor.ccMapper.assignLastController (parameterId);
}
} // namespace

TEST (Controllers, MappedControllersMoveParametersAlongTheirRange)
{
    TorvanelAudioProcessor processor;
    processor.prepareToPlay (48000, 64);
    learn (processor, 7, "Output_Amplitude");
    learn (processor, 74, "C_Cutoff");
    learn (processor, 74, "D_Cutoff");

    runBlock (processor, controllers ({ { 1, 7, 64 }, { 16, 74, 127 } }));
    EXPECT_NEAR (processor.parameters.getParameter ("Output_Amplitude")->getValue(), 64.0f / 127.0f, 1e-4f);
    EXPECT_NEAR (getParameter (processor, "Output_Amplitude"), -18.06f, 0.05f);
    EXPECT_FLOAT_EQ (getParameter (processor, "C_Cutoff"), 18000.0f);
    EXPECT_FLOAT_EQ (getParameter (processor, "D_Cutoff"), 18000.0f);

    // The last value of a block wins; controller 123 is not a controller for the map.
    learn (processor, 1, "E_Resonance");
    runBlock (processor, controllers ({ { 1, 1, 10 }, { 3, 1, 90 }, { 1, 123, 0 } }));
    EXPECT_NEAR (processor.parameters.getParameter ("E_Resonance")->getValue(), 90.0f / 127.0f, 1e-3f);
    EXPECT_EQ (processor.ccMapper.getLastReceivedController(), 1);

    runBlock (processor, controllers ({ { 1, 123, 0 } }));
    EXPECT_EQ (processor.ccMapper.getLastReceivedController(), 1);
}

TEST (Controllers, LearningKeepsOneEntryPerParameter)
{
    TorvanelAudioProcessor processor;
    processor.prepareToPlay (48000, 64);
    processor.ccMapper.assignLastController ("A_Drive");
    EXPECT_EQ (processor.ccMapper.getMappedController ("A_Drive"), -1); // nothing received yet

    learn (processor, 21, "A_Drive");
    learn (processor, 20, "A_Drive");
    EXPECT_EQ (processor.ccMapper.getMapTree().getNumChildren(), 1);
    EXPECT_EQ (processor.ccMapper.getMappedController ("A_Drive"), 20);

    const float before = processor.parameters.getParameter ("A_Drive")->getValue();
    runBlock (processor, controllers ({ { 1, 21, 100 } }));
    EXPECT_EQ (processor.parameters.getParameter ("A_Drive")->getValue(), before);

    processor.ccMapper.clearMapping ("A_Drive");
    processor.ccMapper.clearMapping ("A_Drive");
    EXPECT_EQ (processor.ccMapper.getMapTree().getNumChildren(), 0);
    runBlock (processor, controllers ({ { 1, 20, 100 } }));
    EXPECT_EQ (processor.parameters.getParameter ("A_Drive")->getValue(), before);
}

TEST (Controllers, MapXmlAndFiles)
{
    TorvanelAudioProcessor processor;
    processor.prepareToPlay (48000, 64);
    learn (processor, 74, "C_Cutoff");
    learn (processor, 7, "Output_Amplitude");

    auto xml = processor.ccMapper.createMapXml();
    ASSERT_NE (xml, nullptr);
    EXPECT_EQ (xml->getTagName(), "Torvanel_MIDI_MAP");
    ASSERT_EQ (xml->getNumChildElements(), 2);
    EXPECT_EQ (xml->getChildElement (0)->getTagName(), "C_Cutoff");
    EXPECT_EQ (xml->getChildElement (0)->getIntAttribute ("cc"), 74);
    EXPECT_EQ (xml->getChildElement (1)->getTagName(), "Output_Amplitude");

    const auto file = juce::File::createTempFile ("mpcc");
    ASSERT_TRUE (processor.ccMapper.saveMapToFile (file).wasOk());
    EXPECT_TRUE (file.loadFileAsString().startsWith ("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n"));

    TorvanelAudioProcessor other;
    ASSERT_TRUE (other.ccMapper.loadMapFromFile (file).wasOk());
    EXPECT_TRUE (other.ccMapper.getMapTree().isEquivalentTo (processor.ccMapper.getMapTree()));

    // A differently named root is ignored, one differing only in case is taken; junk changes nothing.
    other.ccMapper.loadMapFromXml (juce::XmlElement ("Other_MAP"));
    EXPECT_EQ (other.ccMapper.getMapTree().getNumChildren(), 2);
    file.replaceWithText ("\x01\x02 not xml");
    EXPECT_TRUE (other.ccMapper.loadMapFromFile (file).failed());
    EXPECT_EQ (other.ccMapper.getMapTree().getNumChildren(), 2);
    other.ccMapper.loadMapFromXml (juce::XmlElement ("TORVANEL_midi_map"));
    EXPECT_EQ (other.ccMapper.getMapTree().getNumChildren(), 0);

    // Entries naming no parameter, or with junk numbers, are skipped without harm.
    auto odd = juce::parseXML ("<Torvanel_MIDI_MAP><Nope cc=\"5\"/><B_Pan cc=\"x\"/><B_Level cc=\"5\"/></Torvanel_MIDI_MAP>");
    other.ccMapper.loadMapFromXml (*odd);
    other.prepareToPlay (48000, 64);
    runBlock (other, controllers ({ { 1, 5, 127 } }));
    EXPECT_FLOAT_EQ (getParameter (other, "B_Level"), 12.0f);
    file.deleteFile();
}

namespace
{
// Three kits in the MIDI folder, told apart by part C's cutoff and sound name.
class ProgramChange : public ::testing::Test
{
protected:
    void SetUp() override
    {
        PresetsManager::presetsFolder().deleteRecursively();
        PresetsManager::createPresetFolders();
        writeKit ("1 Deep", 100.0f);
        writeKit ("2 Dry", 200.0f);
        writeKit ("10 Wide", 300.0f);
    }

    void TearDown() override { PresetsManager::presetsFolder().deleteRecursively(); }

    static void writeKit (const juce::String& name, float cutoff)
    {
        TorvanelAudioProcessor maker;
        setParameter (maker, "C_Cutoff", cutoff);
        maker.parameters.state.setProperty ("C_Sound_Name", name + " sound", nullptr);
        PresetsManager::savePreset (maker.parameters.copyState(),
                                    PresetsManager::midiFolder().getChildFile (name + ".tvp"));
    }

    static juce::MidiBuffer programChanges (std::initializer_list<std::pair<int, int>> changes)
    {
        juce::MidiBuffer midi;
        int position = 0;
        for (auto [channel, program] : changes)
            midi.addEvent (juce::MidiMessage::programChange (channel, program), position++);
        return midi;
    }
};
} // namespace

TEST_F (ProgramChange, NaturalOrderOfTheMidiFolder)
{
    const auto names = torvanel::ProgramChangeManager::scanMidiPresetsFolder();
    EXPECT_EQ (names, juce::StringArray ({ "1 Deep.tvp", "2 Dry.tvp", "10 Wide.tvp" }));
    EXPECT_EQ (torvanel::ProgramChangeManager::getPresetFileForMIDIProgramChange (names, 2).getFileName(), "10 Wide.tvp");
    EXPECT_EQ (torvanel::ProgramChangeManager::getPresetFileForMIDIProgramChange (names, 3), juce::File());
    EXPECT_EQ (torvanel::ProgramChangeManager::getPresetFileForMIDIProgramChange (names, -1), juce::File());

    PresetsManager::midiFolder().deleteRecursively();
    EXPECT_TRUE (torvanel::ProgramChangeManager::scanMidiPresetsFolder().isEmpty());
}

TEST_F (ProgramChange, WithoutEditorTheBlockLoadsTheKit)
{
    struct Case
    {
        std::vector<std::pair<int, int>> changes;
        float expectedCutoff;
        const char* expectedSound;
    };
    const Case cases[] = {
        { { { 1, 0 } }, 100.0f, "1 Deep sound" },
        { { { 10, 1 } }, 200.0f, "2 Dry sound" },
        { { { 1, 2 } }, 300.0f, "10 Wide sound" },
        { { { 1, 0 }, { 5, 2 } }, 300.0f, "10 Wide sound" },
        { { { 1, 3 } }, -1.0f, nullptr }, // beyond the list: nothing changes
    };
    for (const auto& c : cases)
    {
        TorvanelAudioProcessor processor;
        processor.prepareToPlay (48000, 64);
        const auto kitName = processor.currentKitName;
        const float cutoffBefore = getParameter (processor, "C_Cutoff");
        const auto soundBefore = processor.partSoundNames[0];
        juce::MidiBuffer midi;
        int position = 0;
        for (auto [channel, program] : c.changes)
            midi.addEvent (juce::MidiMessage::programChange (channel, program), position++);
        runBlock (processor, midi);
        EXPECT_NEAR (getParameter (processor, "C_Cutoff"), c.expectedCutoff < 0 ? cutoffBefore : c.expectedCutoff, 0.5f);
        EXPECT_EQ (processor.partSoundNames[0], c.expectedSound != nullptr ? juce::String (c.expectedSound) : soundBefore);
        EXPECT_EQ (processor.currentKitName, kitName);
        EXPECT_FALSE (processor.pendingProgramChange.load());
        EXPECT_FALSE (processor.isSuspended());
    }
}

TEST_F (ProgramChange, WithEditorTheTimerLoadsTheKit)
{
    TorvanelAudioProcessor processor;
    processor.prepareToPlay (48000, 64);
    std::unique_ptr<juce::AudioProcessorEditor> editor (processor.createEditorIfNeeded());
    ASSERT_NE (processor.getActiveEditor(), nullptr);
    const float cutoffBefore = getParameter (processor, "C_Cutoff");

    runBlock (processor, programChanges ({ { 1, 0 }, { 1, 1 } }));
    EXPECT_TRUE (processor.pendingProgramChange.load());
    EXPECT_EQ (processor.pendingProgramNumber.load(), 1);
    EXPECT_EQ (getParameter (processor, "C_Cutoff"), cutoffBefore);

    EXPECT_TRUE (processor.handlePendingProgramChange());
    EXPECT_FALSE (processor.pendingProgramChange.load());
    EXPECT_NEAR (getParameter (processor, "C_Cutoff"), 200.0f, 0.5f);
    EXPECT_EQ (processor.currentKitName, "2 Dry");
    EXPECT_EQ (processor.parameters.state.getProperty ("Kit_Name").toString(), "2 Dry");
    EXPECT_TRUE (processor.currentKitPath.endsWith ("2 Dry.tvp"));

    runBlock (processor, programChanges ({ { 1, 9 } }));
    EXPECT_FALSE (processor.handlePendingProgramChange());
    EXPECT_FALSE (processor.pendingProgramChange.load());
    EXPECT_EQ (processor.currentKitName, "2 Dry");

    processor.editorBeingDeleted (editor.get());
    editor.reset();
}
