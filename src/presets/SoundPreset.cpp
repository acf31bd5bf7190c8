#include "presets/SoundPreset.h"

#include "engine/ParameterWriter.h"
#include "engine/PartNames.h"
#include "pgrn/presets/SafeXml.h"

namespace torvanel
{
namespace
{
enum class Write { value, pair };

struct Step
{
    const char* baseName;
    Write kind;
};

// The order in which a sound is written into a part.
const Step soundSteps[] = {
    { "Carrier_Freq", Write::pair }, { "Modulator_Freq", Write::pair }, { "FM_Depth", Write::pair },
    { "Oscillator_Feedback", Write::pair }, { "Cutoff", Write::pair }, { "Resonance", Write::pair },
    { "Filter_Mode", Write::value }, { "Filter_Mod_Depth", Write::pair }, { "Amp_Env_Attack", Write::pair },
    { "Amp_Env_Release", Write::pair }, { "Amp_Env_Attack_Curve", Write::pair },
    { "Amp_Env_Release_Curve", Write::pair }, { "Pitch_Env_Release", Write::pair },
    { "Pitch_Env_Release_Curve", Write::pair }, { "Pitch_Env_Loop", Write::value },
    { "Pitch_Env_Depth", Write::pair }, { "Level", Write::value }, { "Velocity_Tracking", Write::value },
    { "Drive", Write::value },
};

const Step tunedSteps[] = {
    { "Tuned_Mode", Write::value }, { "Carrier_Note", Write::pair }, { "Carrier_Cents", Write::value },
    { "Modulator_Note", Write::pair }, { "Modulator_Cents", Write::value },
};

struct PartWriter
{
    const juce::XmlElement& element;
    int part;
    juce::AudioProcessorValueTreeState& store;
    bool withGestures;

    void writeValue (const juce::String& attribute) const
    {
        auto* parameter = store.getParameter (partParameterId (part, attribute));
        if (parameter == nullptr)
            return;
        const float current = parameter->getValue();
        const auto value = element.hasAttribute (attribute)
                               ? (float) pgrn::SafeXml::parseNumber (element.getStringAttribute (attribute))
                               : current;
        writeNormalisedValue (*parameter, juce::jlimit (0.0f, 1.0f, value), withGestures);
    }

    void write (const Step& step) const
    {
        writeValue (step.baseName);
        if (step.kind == Write::pair)
            writeValue (juce::String (step.baseName) + "_Prob");
    }
};

bool flagIsOne (const juce::XmlElement& element, const char* name)
{
    return element.hasAttribute (name) && pgrn::SafeXml::parseInteger (element.getStringAttribute (name)) == 1;
}

juce::String normalisedText (float value)
{
    // Whole numbers as "1.0", others with up to 16 significant digits.
    return juce::String ((double) value, 0);
}
} // namespace

namespace SoundPreset
{
const char* const tagName = "TORVANEL_SOUND";

bool isSoundElement (const juce::XmlElement* element)
{
    return element != nullptr && element->getTagName().equalsIgnoreCase (tagName);
}

bool applyToPart (const juce::XmlElement* element, int part, juce::AudioProcessorValueTreeState& store,
                  juce::StringArray& partSoundNames, bool hostIsAbletonLive)
{
    if (! isSoundElement (element) || part < 0 || part >= numParts)
        return false;

    const PartWriter writer { *element, part, store, ! hostIsAbletonLive };
    for (const auto& step : soundSteps)
        writer.write (step);

    if (flagIsOne (*element, "use_tuned_mode"))
        for (const auto& step : tunedSteps)
            writer.write (step);

    if (flagIsOne (*element, "use_feed_mode"))
        writer.writeValue ("oscillator_feedback_mode");
    else if (auto* mode = store.getParameter (partParameterId (part, "oscillator_feedback_mode")))
        writeNormalisedValue (*mode, 0.0f, true);

    const auto name = element->getStringAttribute ("Sound_Name");
    if (part < partSoundNames.size())
        partSoundNames.set (part, name);
    else
        partSoundNames.add (name);
    return true;
}

std::unique_ptr<juce::XmlElement> createFromPart (int part, juce::AudioProcessorValueTreeState& store,
                                                  const juce::String& soundName)
{
    auto element = std::make_unique<juce::XmlElement> (tagName);
    auto add = [&] (const juce::String& baseName)
    {
        if (auto* parameter = store.getParameter (partParameterId (part, baseName)))
            element->setAttribute (baseName, normalisedText (parameter->getValue()));
    };
    auto addStep = [&] (const Step& step)
    {
        add (step.baseName);
        if (step.kind == Write::pair)
            add (juce::String (step.baseName) + "_Prob");
    };

    for (const auto& step : soundSteps)
        addStep (step);
    element->setAttribute ("use_tuned_mode", "1");
    for (const auto& step : tunedSteps)
        addStep (step);
    element->setAttribute ("use_feed_mode", "1");
    add ("oscillator_feedback_mode");
    element->setAttribute ("Sound_Name", soundName);
    return element;
}
} // namespace SoundPreset
} // namespace torvanel
