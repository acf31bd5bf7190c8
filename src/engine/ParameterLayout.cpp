// The parameter set: identifiers, ranges, defaults, labels and text functions of all 554
// parameters, in the order the host sees them.
#include "engine/ParameterText.h"
#include "engine/PluginProcessor.h"

#include <cmath>

namespace
{
using Layout = juce::AudioProcessorValueTreeState::ParameterLayout;
using FloatAttributes = juce::AudioParameterFloatAttributes;

enum class TextKind { standard, noteName, filterMode, magnitude };

// One row of the per-part parameter table.
struct PartParameterRow
{
    const char* baseName;
    const char* nameText;
    juce::NormalisableRange<float> ParameterRanges::*range; // null for the note and cents ranges
    float rangeStart, rangeEnd; // used when range is null (interval 1, skew 1)
    float defaultValue;
    const char* label;
    TextKind text;
    const char* probNameText; // null when the parameter has no companion
    bool isChoice = false;
    int versionHint = 1;
};

const PartParameterRow partParameterRows[] = {
    { "Carrier_Freq", "Carrier Frequency", &ParameterRanges::frequencyRange, 0, 0, 220.0f, "Hz", TextKind::standard, "Carrier Frequency Probability" },
    { "Tuned_Mode", "Carrier Tuned Mode", &ParameterRanges::switchRange, 0, 0, 0.0f, "", TextKind::standard, nullptr },
    { "Carrier_Note", "Carrier Note", nullptr, 0, 127, 36.0f, "", TextKind::noteName, "Carrier Note Probability" },
    { "Carrier_Cents", "Carrier Cents", nullptr, -100, 100, 0.0f, "cents", TextKind::standard, nullptr },
    { "Modulator_Freq", "Modulator Frequency", &ParameterRanges::frequencyRange, 0, 0, 220.0f, "Hz", TextKind::standard, "Modulator Frequency Probability" },
    { "Modulator_Note", "Modulator Note", nullptr, 0, 127, 36.0f, "", TextKind::noteName, "Modulator Note Probability" },
    { "Modulator_Cents", "Modulator Cents", nullptr, -100, 100, 0.0f, "cents", TextKind::standard, nullptr },
    { "FM_Depth", "FM Depth", &ParameterRanges::percentRange, 0, 0, 0.0f, "%", TextKind::standard, "FM Depth Probability" },
    { "Oscillator_Feedback", "Oscillator Feedback", &ParameterRanges::percentRange, 0, 0, 0.0f, "%", TextKind::standard, "Oscillator Feedback Probability" },
    { "oscillator_feedback_mode", "Oscillator Feedback Mode", nullptr, 0, 1, 0.0f, "", TextKind::standard, nullptr, true, 2 },
    { "Amp_Env_Attack", "Amp Envelope Attack", &ParameterRanges::attackRange, 0, 0, 10.0f, "ms", TextKind::standard, "Amp Envelope Attack Probability" },
    { "Amp_Env_Release", "Amp Envelope Release", &ParameterRanges::releaseRange, 0, 0, 200.0f, "ms", TextKind::standard, "Amp Envelope Release Probability" },
    { "Amp_Env_Attack_Curve", "Amp Envelope Attack Curve", &ParameterRanges::curveRange, 0, 0, 1.0f, "", TextKind::standard, "Amp Envelope Attack Curve Probability" },
    { "Amp_Env_Release_Curve", "Amp Envelope Release Curve", &ParameterRanges::curveRange, 0, 0, 1.0f, "", TextKind::standard, "Amp Envelope Release Curve Probability" },
    { "Cutoff", "Cutoff", &ParameterRanges::cutoffRange, 0, 0, 11000.0f, "Hz", TextKind::standard, "Cutoff Probability" },
    { "Resonance", "Resonance", &ParameterRanges::resonanceRange, 0, 0, 0.0f, "%", TextKind::standard, "Resonance Probability" },
    { "Filter_Mode", "Filter Mode", &ParameterRanges::filterModeRange, 0, 0, 0.0f, "", TextKind::filterMode, nullptr },
    { "Filter_Mod_Depth", "Filter Mod Depth", &ParameterRanges::bipolarPercentRange, 0, 0, 0.0f, "%", TextKind::magnitude, "Filter Mod Depth Probability" },
    { "Pitch_Env_Release", "Pitch Envelope Release", &ParameterRanges::pitchReleaseRange, 0, 0, 200.0f, "ms", TextKind::standard, "Pitch Envelope Release Probability" },
    { "Pitch_Env_Release_Curve", "Pitch Envelope Release Curve", &ParameterRanges::curveRange, 0, 0, 1.0f, "", TextKind::standard, "Pitch Envelope Release Curve Probability" },
    { "Pitch_Env_Loop", "Pitch Envelope Loop", &ParameterRanges::switchRange, 0, 0, 0.0f, "", TextKind::standard, nullptr },
    { "Pitch_Env_Depth", "Pitch Envelope Depth", &ParameterRanges::percentRange, 0, 0, 0.0f, "%", TextKind::standard, "Pitch Envelope Depth Probability" },
    { "Trigger_Probability", "Trigger Probability", &ParameterRanges::linearPercentRange, 0, 0, 100.0f, "%", TextKind::standard, nullptr },
    { "Velocity_Random_Amount", "Random Velocity", &ParameterRanges::linearPercentRange, 0, 0, 0.0f, "%", TextKind::standard, nullptr },
    { "Drive", "Drive", &ParameterRanges::driveRange, 0, 0, 0.0f, "", TextKind::standard, nullptr },
    { "Level", "Level", &ParameterRanges::levelRange, 0, 0, -6.0f, "dB", TextKind::standard, nullptr },
    { "Velocity_Tracking", "Velocity Tracking", &ParameterRanges::switchRange, 0, 0, 0.0f, "", TextKind::standard, nullptr },
    { "Pan", "Pan", &ParameterRanges::bipolarPercentRange, 0, 0, 0.0f, "%", TextKind::standard, nullptr },
    { "Solo", "Solo", &ParameterRanges::switchRange, 0, 0, 0.0f, "", TextKind::standard, nullptr },
    { "Mute", "Mute", &ParameterRanges::switchRange, 0, 0, 0.0f, "", TextKind::standard, nullptr },
};

FloatAttributes attributesFor (const PartParameterRow& row)
{
    auto attributes = FloatAttributes().withLabel (row.label);
    switch (row.text)
    {
        case TextKind::noteName: return attributes.withStringFromValueFunction (torvanel::parameterText::noteName);
        case TextKind::filterMode:
            return attributes.withStringFromValueFunction (torvanel::parameterText::filterMode)
                .withCategory (juce::AudioProcessorParameter::genericParameter);
        case TextKind::magnitude: return attributes.withStringFromValueFunction (torvanel::parameterText::magnitude);
        case TextKind::standard: break;
    }
    return attributes;
}
} // namespace

namespace torvanel::parameterText
{
juce::String noteName (float value, int maximumStringLength)
{
    if (maximumStringLength < 2)
        return {};
    const auto text = juce::MidiMessage::getMidiNoteName (static_cast<int> (value), true, true, 4);
    return text.substring (0, maximumStringLength - 1);
}

juce::String filterMode (float value, int)
{
    switch (juce::roundToInt (value))
    {
        case 0: return "LPF";
        case 1: return "HPF";
        case 2: return "BPF";
        case 3: return "NOTCH";
        default: return {};
    }
}

juce::String magnitude (float value, int)
{
    return juce::String (std::abs (value));
}
} // namespace torvanel::parameterText

juce::ParameterID TorvanelAudioProcessor::createParamUID (const juce::String& baseName, int partIndex, int versionHint)
{
    return { torvanel::partParameterId (partIndex, baseName), versionHint };
}

juce::ParameterID TorvanelAudioProcessor::getProbParamUID (const juce::String& baseName, int partIndex, int)
{
    return createParamUID (baseName + "_Prob", partIndex, 1);
}

void TorvanelAudioProcessor::addProbParameter (const juce::String& baseName, const juce::String& displayName,
                                               int partIndex, Layout& layout)
{
    layout.add (std::make_unique<juce::AudioParameterFloat> (getProbParamUID (baseName, partIndex, 1), displayName,
                                                             parameterRanges.probabilityRange, 0.0f,
                                                             FloatAttributes()));
}

Layout TorvanelAudioProcessor::createParameterLayout()
{
    Layout layout;

    for (int part = 0; part < numParts; ++part)
    {
        const auto prefix = torvanel::partDisplayName (part) + " ";

        for (const auto& row : partParameterRows)
        {
            const auto id = createParamUID (row.baseName, part, row.versionHint);
            const auto name = prefix + row.nameText;

            if (row.isChoice)
            {
                layout.add (std::make_unique<juce::AudioParameterChoice> (
                    id, name, juce::StringArray { "MODE 1", "MODE 2" }, (int) row.defaultValue));
            }
            else
            {
                const auto range = row.range != nullptr
                                       ? parameterRanges.*(row.range)
                                       : juce::NormalisableRange<float> (row.rangeStart, row.rangeEnd, 1.0f, 1.0f);
                layout.add (std::make_unique<juce::AudioParameterFloat> (id, name, range, row.defaultValue,
                                                                         attributesFor (row)));
            }

            if (row.probNameText != nullptr)
                addProbParameter (row.baseName, prefix + row.probNameText, part, layout);
        }
    }

    layout.add (std::make_unique<juce::AudioParameterFloat> (juce::ParameterID { "Output_Amplitude", 1 },
                                                             "Output Amplitude", parameterRanges.levelRange, 0.0f,
                                                             FloatAttributes().withLabel ("dB")));
    layout.add (std::make_unique<juce::AudioParameterChoice> (juce::ParameterID { "polyphony", 2 }, "Polyphony",
                                                              juce::StringArray { "MONO", "NORMAL", "HIGH" }, 1));
    return layout;
}
