// Any text read as a sound preset and applied to a part.
#include "FuzzSupport.h"

#include "presets/SoundPreset.h"

extern "C" int LLVMFuzzerTestOneInput (const uint8_t* data, size_t size)
{
    auto& processor = sharedProcessor();
    const auto text = juce::String::fromUTF8 (reinterpret_cast<const char*> (data), (int) size);
    auto element = juce::XmlDocument::parse (text);
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
