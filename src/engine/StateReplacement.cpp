#include "engine/StateReplacement.h"

#include "pgrn/presets/SafeXml.h"

#include <set>

namespace torvanel
{
void replaceStateKeepingUnlistedParameters (juce::AudioProcessorValueTreeState& store, juce::ValueTree newState)
{
    static const juce::Identifier paramType ("PARAM"), idProperty ("id"), valueProperty ("value");

    std::set<juce::String> listed;
    for (auto child : newState)
    {
        if (! child.hasType (paramType))
            continue;
        listed.insert (child.getProperty (idProperty).toString());

        // Values arrive as text; read them here so that the framework never converts
        // untrusted digits itself.
        const auto& value = child.getProperty (valueProperty);
        if (value.isString())
            child.setProperty (valueProperty, pgrn::SafeXml::parseNumber (value.toString()), nullptr);
    }

    for (auto* parameter : store.processor.getParameters())
    {
        auto* ranged = dynamic_cast<juce::RangedAudioParameter*> (parameter);
        if (ranged == nullptr || listed.count (ranged->getParameterID()) > 0)
            continue;
        juce::ValueTree entry (paramType);
        entry.setProperty (idProperty, ranged->getParameterID(), nullptr);
        entry.setProperty (valueProperty, ranged->convertFrom0to1 (ranged->getValue()), nullptr);
        newState.appendChild (entry, nullptr);
    }

    store.replaceState (newState);
}
} // namespace torvanel
