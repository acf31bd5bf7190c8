#include "pgrn/presets/FactoryPresetsManager.h"

namespace pgrn
{
FactoryPresetsManager::FactoryPresetsManager (const juce::String& attribute) : nameAttribute (attribute) {}

FactoryPresetsManager::~FactoryPresetsManager()
{
    names.clear();
    elements.clear();
}

void FactoryPresetsManager::addPreset (const juce::String& xmlText)
{
    auto element = juce::XmlDocument::parse (xmlText);
    if (element == nullptr)
        return;
    names.add (element->getStringAttribute (nameAttribute));
    elements.push_back (std::move (element));
}

const juce::XmlElement* FactoryPresetsManager::getElement (int index) const
{
    return juce::isPositiveAndBelow (index, size()) ? elements[(size_t) index].get() : nullptr;
}
} // namespace pgrn
