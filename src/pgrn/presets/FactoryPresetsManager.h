#pragma once

#include <juce_core/juce_core.h>

#include <memory>
#include <vector>

namespace pgrn
{
// A registry of parsed factory presets and their names, in the order they were added.
class FactoryPresetsManager
{
public:
    explicit FactoryPresetsManager (const juce::String& nameAttribute);
    virtual ~FactoryPresetsManager();

    // Parses the text and appends its element and name. A text that does not parse is
    // skipped, so names and elements stay parallel.
    virtual void addPreset (const juce::String& xmlText);

    int size() const noexcept { return (int) elements.size(); }
    const juce::StringArray& getNames() const noexcept { return names; }
    juce::String getName (int index) const { return names[index]; }
    const juce::XmlElement* getElement (int index) const;
    int indexOf (const juce::String& name) const { return names.indexOf (name); }

private:
    std::vector<std::unique_ptr<juce::XmlElement>> elements;
    juce::StringArray names;
    juce::String nameAttribute;

    JUCE_DECLARE_NON_COPYABLE (FactoryPresetsManager)
};
} // namespace pgrn
