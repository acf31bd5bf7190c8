#include "voice/ParametersRandomizer.h"

#include "engine/ParameterWriter.h"

namespace torvanel
{
ParametersRandomizer::ParametersRandomizer (juce::AudioProcessorValueTreeState& s, bool isAbletonLive)
    : hostIsAbletonLive (isAbletonLive), store (s)
{
    for (int i = 0; i < listCount; ++i)
        lists.add (new juce::StringArray());
    random.setSeedRandomly();
}

void ParametersRandomizer::write (juce::RangedAudioParameter& parameter, float normalisedValue)
{
    writeNormalisedValue (parameter, normalisedValue, ! hostIsAbletonLive);
}

void ParametersRandomizer::randomizeParameters (int listIndex)
{
    if (! juce::isPositiveAndBelow (listIndex, listCount))
        return;
    for (const auto& id : getList (listIndex))
        if (auto* parameter = store.getParameter (id))
            write (*parameter, random.nextFloat());
}

void ParametersRandomizer::randomizePartWithinAmount (int part, float amount)
{
    if (! juce::isPositiveAndBelow (part, triggerProbabilityList))
        return;

    for (const auto& id : getList (part))
    {
        auto* parameter = store.getParameter (id);
        if (parameter == nullptr)
            continue;

        const auto& range = parameter->getNormalisableRange();
        const float v = range.convertFrom0to1 (juce::jlimit (0.0f, 1.0f, parameter->getValue()));
        const bool up = random.nextBool();
        const float r = random.nextFloat();
        const float moved = up ? v + r * ((range.end - v) * amount)
                               : v - (v - range.start) * amount * r;
        write (*parameter, juce::jlimit (0.0f, 1.0f, range.convertTo0to1 (moved)));
    }
}
} // namespace torvanel
