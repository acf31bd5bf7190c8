// Any file read as a kit: the specified failure or a loaded state, never a crash.
#include "FuzzSupport.h"

#include "presets/PresetsManager.h"

extern "C" int LLVMFuzzerTestOneInput (const uint8_t* data, size_t size)
{
    auto& processor = sharedProcessor();
    static const auto file = juce::File::getSpecialLocation (juce::File::tempDirectory)
                                 .getChildFile ("torvanel-fuzz-kit-" + juce::String (juce::Time::currentTimeMillis()) + ".tvp");
    file.replaceWithData (data, size);

    const auto result = torvanel::PresetsManager::loadPreset (file, processor.parameters);
    if (result.failed() && result.getErrorMessage() != "Invalid preset file supplied, could not load preset.")
        std::abort();

    juce::AudioBuffer<float> buffer (2, 64);
    juce::MidiBuffer midi;
    midi.addEvent (juce::MidiMessage::noteOn (1, 61, 1.0f), 0);
    processor.processBlock (buffer, midi);
    return 0;
}
