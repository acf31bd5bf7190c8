#include "TestHelpers.h"

#include "engine/ParameterText.h"

using namespace testing_helpers;

namespace
{
struct ExpectedParameter
{
    int index;
    juce::String id;
    int version;
    juce::String name;
    float start, end, interval, skew, defaultValue;
    juce::String label;
};

std::vector<ExpectedParameter> loadExpectedTable()
{
    juce::StringArray lines;
    juce::File (TORVANEL_TEST_DATA_DIR).getChildFile ("parameters.tsv").readLines (lines);
    std::vector<ExpectedParameter> rows;
    for (int i = 1; i < lines.size(); ++i)
    {
        if (lines[i].isEmpty())
            continue;
        auto f = juce::StringArray::fromTokens (lines[i], "\t", {});
        while (f.size() < 10)
            f.add ({});
        rows.push_back ({ f[0].getIntValue(), f[1], f[2].getIntValue(), f[3], f[4].getFloatValue(),
                          f[5].getFloatValue(), f[6].getFloatValue(), f[7].getFloatValue(),
                          f[8].getFloatValue(), f[9] });
    }
    return rows;
}

juce::RangedAudioParameter& parameterAt (TorvanelAudioProcessor& processor, int index)
{
    return *dynamic_cast<juce::RangedAudioParameter*> (processor.getParameters()[index]);
}
} // namespace

TEST (ParameterLayout, MatchesTheExpectedTableRowByRow)
{
    TorvanelAudioProcessor processor;
    const auto expected = loadExpectedTable();
    ASSERT_EQ (expected.size(), 554u);
    ASSERT_EQ (processor.getParameters().size(), 554);

    for (const auto& row : expected)
    {
        auto& parameter = parameterAt (processor, row.index);
        SCOPED_TRACE (row.id.toStdString());
        EXPECT_EQ (parameter.getParameterID(), row.id);
        EXPECT_EQ (parameter.getVersionHint(), row.version);
        EXPECT_EQ (parameter.getName (1024), row.name);
        EXPECT_EQ (parameter.getLabel(), row.label);

        const auto& range = parameter.getNormalisableRange();
        EXPECT_FLOAT_EQ (range.start, row.start);
        EXPECT_FLOAT_EQ (range.end, row.end);
        EXPECT_FLOAT_EQ (range.interval, row.interval);
        EXPECT_FLOAT_EQ (range.skew, row.skew);
        EXPECT_FALSE (range.symmetricSkew);
        EXPECT_NEAR (parameter.convertFrom0to1 (parameter.getDefaultValue()), row.defaultValue,
                     1.0e-3f * juce::jmax (1.0f, std::abs (row.defaultValue)));
    }
}

TEST (ParameterLayout, IdentifiersAndDisplayNamesOfParts)
{
    EXPECT_EQ (TorvanelAudioProcessor::createParamUID ("Cutoff", 0, 1).getParamID(), "C_Cutoff");
    EXPECT_EQ (TorvanelAudioProcessor::createParamUID ("Cutoff", 1, 1).getParamID(), "C_Sharp_Cutoff");
    EXPECT_EQ (TorvanelAudioProcessor::createParamUID ("Cutoff", 12, 1).getParamID(), "C_Cutoff");
    EXPECT_EQ (TorvanelAudioProcessor::createParamUID ("Cutoff", -3, 1).getParamID(), "C_Cutoff");
    EXPECT_EQ (TorvanelAudioProcessor::getProbParamUID ("Cutoff", 3, 7).getParamID(), "D_Sharp_Cutoff_Prob");
    EXPECT_EQ (TorvanelAudioProcessor::getProbParamUID ("Cutoff", 3, 7).getVersionHint(), 1);

    TorvanelAudioProcessor processor;
    auto* cutoff = processor.parameters.getParameter ("A_Sharp_Cutoff");
    ASSERT_NE (cutoff, nullptr);
    EXPECT_EQ (cutoff->getName (100), "A# Cutoff");
}

TEST (ParameterLayout, TextFunctions)
{
    TorvanelAudioProcessor processor;
    struct Case
    {
        const char* id;
        float value;
        int maxLength;
        const char* text;
    };
    const Case cases[] = {
        { "C_Filter_Mode", 0.0f, 100, "LPF" },
        { "C_Filter_Mode", 1.0f, 100, "HPF" },
        { "C_Filter_Mode", 1.6f, 100, "BPF" },
        { "C_Filter_Mode", 3.0f, 100, "NOTCH" },
        { "C_Filter_Mod_Depth", -40.0f, 100, "40" },
        { "C_Filter_Mod_Depth", 25.0f, 100, "25" },
        { "C_Carrier_Note", 61.9f, 100, "C#4" },
        { "C_Carrier_Note", 61.9f, 3, "C#" },
        { "C_Carrier_Note", 60.0f, 100, "C4" },
        { "B_Modulator_Note", 36.0f, 100, "C2" },
        { "C_Carrier_Note", 36.0f, 1, "" },
    };
    // The text functions see raw values (the host's path snaps them to the interval first),
    // and the parameters use them.
    using namespace torvanel::parameterText;
    for (const auto& c : cases)
    {
        const juce::String id (c.id);
        const auto text = id.endsWith ("Note") ? noteName (c.value, c.maxLength)
                        : id.endsWith ("Mode") ? filterMode (c.value, c.maxLength)
                                               : magnitude (c.value, c.maxLength);
        EXPECT_EQ (text, c.text) << c.id << " at " << c.value;

        auto* parameter = processor.parameters.getParameter (id);
        const float snapped = parameter->convertFrom0to1 (parameter->convertTo0to1 (c.value));
        if (snapped == c.value)
            EXPECT_EQ (parameter->getText (parameter->convertTo0to1 (c.value), c.maxLength), c.text) << c.id;
    }
    EXPECT_EQ (filterMode (4.0f, 100), "");
    EXPECT_EQ (processor.parameters.getParameter ("C_Filter_Mod_Depth")->getLabel(), "%");
    EXPECT_EQ (processor.parameters.getParameter ("C_Filter_Mode")->getCategory(),
               juce::AudioProcessorParameter::genericParameter);
}

TEST (ParameterLayout, DefaultsOfTheParameters)
{
    TorvanelAudioProcessor processor;
    resetToDefaults (processor);
    for (int part = 0; part < 12; ++part)
    {
        EXPECT_FLOAT_EQ (getParameter (processor, partParam (part, "Level")), -6.0f);
        EXPECT_FLOAT_EQ (getParameter (processor, partParam (part, "Trigger_Probability")), 100.0f);
        EXPECT_NEAR (getParameter (processor, partParam (part, "Cutoff")), 11000.0f, 0.5f);
    }
    EXPECT_FLOAT_EQ (getParameter (processor, "Output_Amplitude"), 0.0f);
    EXPECT_EQ (processor.parameters.getParameter ("polyphony")->getCurrentValueAsText(), "NORMAL");
}
