// Any file read as a controller map, then controllers sent through it.
#include "FuzzSupport.h"

extern "C" int LLVMFuzzerTestOneInput (const uint8_t* data, size_t size)
{
    auto& processor = sharedProcessor();
    static const auto file = juce::File::getSpecialLocation (juce::File::tempDirectory)
                                 .getChildFile ("torvanel-fuzz-map-" + juce::String (juce::Time::currentTimeMillis()) + ".mpcc");
    file.replaceWithData (data, size);
    processor.ccMapper.loadMapFromFile (file);

    juce::AudioBuffer<float> buffer (2, 32);
    juce::MidiBuffer midi;
    for (size_t i = 0; i + 1 < juce::jmin<size_t> (size, 64); i += 2)
        midi.addEvent (juce::MidiMessage::controllerEvent (1 + data[i] % 16, data[i] & 0x7f, data[i + 1] & 0x7f), 0);
    processor.processBlock (buffer, midi);
    return 0;
}
