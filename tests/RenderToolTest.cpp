#include "TestHelpers.h"

#include "OfflineRenderer.h"
#include "RenderOptions.h"
#include "presets/PresetsManager.h"

#include <juce_audio_formats/juce_audio_formats.h>

#include <sstream>

using namespace torvanel::render;

namespace
{
struct Outcome
{
    int code;
    std::string out, err;
};

Outcome runCommand (const juce::StringArray& arguments)
{
    const auto parsed = parseCommandLine (arguments);
    if (parsed.error.isNotEmpty())
        return { usageError, {}, parsed.error.toStdString() };
    std::ostringstream out, err;
    const int code = run (parsed.options, out, err);
    return { code, out.str(), err.str() };
}

juce::File scratch (const juce::String& name)
{
    auto folder = juce::File::getSpecialLocation (juce::File::tempDirectory).getChildFile ("torvanel-render-test");
    folder.createDirectory();
    return folder.getChildFile (name);
}

juce::String demoBeat()
{
    return juce::File (TORVANEL_TEST_DATA_DIR).getParentDirectory().getParentDirectory()
        .getChildFile ("resources/demo/demo-beat.mid").getFullPathName();
}

std::unique_ptr<juce::AudioFormatReader> openWav (const juce::File& file)
{
    juce::WavAudioFormat wav;
    return std::unique_ptr<juce::AudioFormatReader> (wav.createReaderFor (file.createInputStream().release(), true));
}
} // namespace

TEST (RenderOptions, NotesPartsAndBadCommandLines)
{
    struct NoteCase
    {
        const char* text;
        bool ok;
        int note;
        double seconds;
        int velocity;
    };
    const NoteCase notes[] = { { "36", true, 36, 0.0, 127 }, { "38@0.5", true, 38, 0.5, 127 }, { "42@1.25:64", true, 42, 1.25, 64 },
                               { "40:1", true, 40, 0.0, 1 }, { "128", false }, { "-1", false }, { "36:0", false },
                               { "36:128", false }, { "36@", false }, { "36@-1", false }, { "x", false }, { "36:", false } };
    for (const auto& c : notes)
    {
        NoteEvent note;
        EXPECT_EQ (parseNote (c.text, note), c.ok) << c.text;
        if (c.ok)
        {
            EXPECT_EQ (note.note, c.note);
            EXPECT_DOUBLE_EQ (note.seconds, c.seconds);
            EXPECT_EQ (note.velocity, c.velocity);
        }
    }

    const std::pair<const char*, int> parts[] = { { "C", 0 }, { "C#", 1 }, { "db", 1 }, { "A#", 10 }, { "B", 11 },
                                                  { "0", 0 }, { "11", 11 }, { "12", -1 }, { "H", -1 }, { "", -1 } };
    for (auto [text, part] : parts)
        EXPECT_EQ (parsePart (text), part) << text;

    const std::vector<juce::StringArray> usageErrors = {
        { "--bogus" }, { "--out" }, { "--out", "x.wav" }, { "--note", "36" }, { "--bits", "20", "--note", "36", "--out", "x.wav" },
        { "--sound", "H=KICK_Fat", "--note", "36", "--out", "x.wav" }, { "--set", "C_Level", "--note", "36", "--out", "x.wav" },
        { "--block-size", "0", "--note", "36", "--out", "x.wav" }, { "--sample-rate", "fast", "--note", "36", "--out", "x.wav" },
    };
    for (const auto& args : usageErrors)
        EXPECT_TRUE (parseCommandLine (args).error.isNotEmpty()) << args.joinIntoString (" ");
}

TEST (RenderTool, InputErrorsWriteNothing)
{
    const auto out = scratch ("failed.wav");
    out.deleteFile();
    const auto junk = scratch ("junk.mid");
    junk.replaceWithText ("this is not a MIDI file");
    const std::vector<juce::StringArray> inputErrors = {
        { "--midi", scratch ("missing.mid").getFullPathName(), "--out", out.getFullPathName() },
        { "--midi", junk.getFullPathName(), "--out", out.getFullPathName() },
        { "--kit", "No_Such_Kit", "--note", "36", "--out", out.getFullPathName() },
        { "--kit", junk.getFullPathName(), "--note", "36", "--out", out.getFullPathName() },
        { "--sound", "C=No_Such_Sound", "--note", "36", "--out", out.getFullPathName() },
        { "--set", "C_Nothing=1", "--note", "36", "--out", out.getFullPathName() },
        { "--set", "C_Level=20", "--note", "36", "--out", out.getFullPathName() },
    };
    for (const auto& args : inputErrors)
    {
        const auto outcome = runCommand (args);
        EXPECT_EQ (outcome.code, inputError) << args.joinIntoString (" ");
        EXPECT_NE (outcome.err.find ("torvanel-render: "), std::string::npos);
        EXPECT_EQ (std::count (outcome.err.begin(), outcome.err.end(), '\n'), 1) << outcome.err;
        EXPECT_FALSE (out.exists());
    }
}

TEST (RenderTool, SeededRendersAreByteForByteRepeatable)
{
    const auto a = scratch ("a.wav"), b = scratch ("b.wav"), c = scratch ("c.wav");
    const juce::StringArray common { "--midi", demoBeat(), "--kit", "Glitch_Kit", "--seed", "42" };
    auto args = common;
    args.addArray ({ "--out", a.getFullPathName() });
    ASSERT_EQ (runCommand (args).code, success);
    args = common;
    args.addArray ({ "--out", b.getFullPathName() });
    ASSERT_EQ (runCommand (args).code, success);
    args = { "--midi", demoBeat(), "--kit", "Glitch_Kit", "--seed", "43", "--out", c.getFullPathName() };
    ASSERT_EQ (runCommand (args).code, success);

    juce::MemoryBlock first, second, third;
    a.loadFileAsData (first);
    b.loadFileAsData (second);
    c.loadFileAsData (third);
    EXPECT_EQ (first, second);
    EXPECT_NE (first, third);

    auto reader = openWav (a);
    ASSERT_NE (reader, nullptr);
    EXPECT_EQ (reader->numChannels, 2u);
    EXPECT_EQ (reader->bitsPerSample, 24u);
    EXPECT_EQ (reader->sampleRate, 48000.0);
    EXPECT_GT (reader->lengthInSamples, 48000 * 8); // four bars at 112 BPM and the last hits' tails
}

TEST (RenderTool, FormatsLengthsAndStems)
{
    const auto out = scratch ("format.wav");
    ASSERT_EQ (runCommand ({ "--note", "36", "--note", "38@0.1:64", "--bits", "32", "--sample-rate", "44100", "--length", "1.5",
                             "--block-size", "100", "--out", out.getFullPathName() }).code,
               success);
    auto reader = openWav (out);
    ASSERT_NE (reader, nullptr);
    EXPECT_EQ (reader->bitsPerSample, 32u);
    EXPECT_TRUE (reader->usesFloatingPointData);
    EXPECT_EQ (reader->lengthInSamples, 66150);

    const auto stems = scratch ("beat.wav");
    const auto outcome = runCommand ({ "--note", "36", "--note", "40", "--seed", "1", "--stems", "--out", stems.getFullPathName() });
    ASSERT_EQ (outcome.code, success);
    const char* buses[] = { "MAIN", "C#", "D", "D#", "E", "F", "F#", "G", "G#", "A", "A#", "B" };
    for (const char* bus : buses)
    {
        const auto file = stems.getSiblingFile (juce::String ("beat-") + bus + ".wav");
        ASSERT_TRUE (file.existsAsFile()) << bus;
        auto stem = openWav (file);
        juce::AudioBuffer<float> audio (2, (int) stem->lengthInSamples);
        stem->read (&audio, 0, audio.getNumSamples(), 0, true, true);
        const bool expectSound = juce::String (bus) == "MAIN" || juce::String (bus) == "E";
        EXPECT_EQ (audio.getMagnitude (0, 0, audio.getNumSamples()) > 1e-3f, expectSound) << bus;
    }
}

TEST (RenderTool, SaveKitSoundsSettingsAndLists)
{
    const auto kit = scratch ("saved.tvp");
    ASSERT_EQ (runCommand ({ "--kit", "Hardcore_Kit", "--sound", "D#=SNR_Metal", "--set", "C_Level=-3.5", "--set", "polyphony=2",
                             "--save-kit", kit.getFullPathName() }).code,
               success);
    TorvanelAudioProcessor processor;
    ASSERT_TRUE (torvanel::PresetsManager::loadPreset (kit, processor.parameters).wasOk());
    EXPECT_NEAR (testing_helpers::getParameter (processor, "C_Level"), -3.5f, 0.01f);
    EXPECT_FLOAT_EQ (testing_helpers::getParameter (processor, "polyphony"), 2.0f);
    EXPECT_EQ (processor.parameters.state.getProperty ("Kit_Name").toString(), "Hardcore_Kit");

    const auto params = runCommand ({ "--list-params" });
    EXPECT_EQ (std::count (params.out.begin(), params.out.end(), '\n'), 554);
    EXPECT_NE (params.out.find ("0\tC_Carrier_Freq\tC Carrier Frequency\t20\t3000\t220\tHz\n"), std::string::npos);
    const auto kits = runCommand ({ "--list-kits" });
    EXPECT_EQ (std::count (kits.out.begin(), kits.out.end(), '\n'), 12);
    const auto sounds = runCommand ({ "--list-sounds" });
    EXPECT_EQ (std::count (sounds.out.begin(), sounds.out.end(), '\n'), 182);
}
