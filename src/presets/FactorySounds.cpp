#include "presets/FactorySounds.h"

#include "presets/FactoryData.h"

namespace torvanel
{
namespace
{
// The embedded files are in registry order: the sounds family by family, then the kits.
void addEmbedded (pgrn::FactoryPresetsManager& library, const char* extension)
{
    for (int i = 0; i < FactoryData::count; ++i)
    {
        const auto& entry = FactoryData::entries[i];
        if (juce::String (entry.fileName).endsWithIgnoreCase (extension))
            library.addPreset (juce::String::fromUTF8 (entry.data, entry.size));
    }
}
} // namespace

void FactorySounds::initFactorySounds (pgrn::FactoryPresetsManager& library)
{
    addEmbedded (library, ".tvs");
}

void FactoryKits::initFactoryKits (pgrn::FactoryPresetsManager& library)
{
    addEmbedded (library, ".tvp");
}
} // namespace torvanel
