// Any text read as a sound preset and applied to a part.
#include "FuzzSupport.h"

#include "pgrn/presets/SafeXml.h"
#include "presets/SoundPreset.h"

extern "C" int LLVMFuzzerTestOneInput (const uint8_t* data, size_t size)
{
    auto& processor = sharedProcessor();
    auto element = pgrn::SafeXml::parse (data, size);
    const int part = size > 0 ? data[0] % 12 : 0;
    torvanel::SoundPreset::applyToPart (element.get(), part, processor.parameters, processor.partSoundNames, false);

    for (auto* parameter : processor.getParameters())
    {
        const float value = parameter->getValue();
        if (! (value >= 0.0f && value <= 1.0f))
            std::abort();
    }
    return 0;
}
