#pragma once

#include "pgrn/presets/FactoryPresetsManager.h"

namespace torvanel
{
// The factory sound texts, embedded in the plug-in.
struct FactorySounds
{
    static constexpr int count = 182;
    static void initFactorySounds (pgrn::FactoryPresetsManager& library);
};

// The factory kit texts, embedded in the plug-in.
struct FactoryKits
{
    static constexpr int count = 12;
    static constexpr int startingKitIndex = 5; // "Leftfield_Kit"
    static void initFactoryKits (pgrn::FactoryPresetsManager& library);
};
} // namespace torvanel
