#include "engine/PluginStateLoader.h"

#include "engine/StateReplacement.h"

namespace torvanel
{
PluginStateLoader::PluginStateLoader (juce::AudioProcessorValueTreeState& s, std::unique_ptr<juce::XmlElement> r)
    : store (s), root (std::move (r))
{
}

PluginStateLoader::~PluginStateLoader()
{
    if (root != nullptr)
        replaceStateKeepingUnlistedParameters (store, juce::ValueTree::fromXml (*root));
    root.reset();
}

juce::XmlElement* PluginStateLoader::findChild (const juce::String& name) const
{
    if (root == nullptr)
        return nullptr;
    for (auto* child : root->getChildIterator())
        if (child->getTagName().equalsIgnoreCase (name))
            return child;
    return nullptr;
}

std::unique_ptr<juce::XmlElement> PluginStateLoader::takeChild (const juce::String& name)
{
    auto* child = findChild (name);
    if (child == nullptr)
        return nullptr;
    root->removeChildElement (child, false);
    return std::unique_ptr<juce::XmlElement> (child);
}

juce::String PluginStateLoader::retrieveStringElement (const juce::String& name, const juce::String& defaultValue)
{
    auto child = takeChild (name);
    if (child == nullptr)
        return defaultValue;
    return child->getStringAttribute (name);
}
} // namespace torvanel
