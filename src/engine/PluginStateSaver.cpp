#include "engine/PluginStateSaver.h"

namespace torvanel
{
PluginStateSaver::PluginStateSaver (juce::AudioProcessorValueTreeState& s, juce::AudioProcessor& p,
                                    juce::MemoryBlock& d)
    : store (s), processor (p), destination (d), root (store.copyState().createXml())
{
}

PluginStateSaver::~PluginStateSaver()
{
    if (root != nullptr)
        juce::AudioProcessor::copyXmlToBinary (*root, destination);
    root.reset();
}

void PluginStateSaver::addElement (const juce::String& name, const juce::String& value)
{
    if (root == nullptr)
        return;
    auto* element = root->createNewChildElement (name);
    element->setAttribute (name, value);
}

void PluginStateSaver::addChild (std::unique_ptr<juce::XmlElement> element)
{
    if (root != nullptr && element != nullptr)
        root->addChildElement (element.release());
}
} // namespace torvanel
