#include "TestHelpers.h"

#include <thread>

using namespace testing_helpers;

TEST (Controllers, MapEditsWhileAnotherThreadProcessesControllers)
{
    TorvanelAudioProcessor processor;
    processor.prepareToPlay (48000, 32);
    std::atomic<bool> done { false };

    std::thread audio ([&]
    {
        juce::AudioBuffer<float> buffer (2, 32);
        juce::Random random (1);
        while (! done.load())
        {
            auto midi = controllers ({ { 1 + random.nextInt (16), random.nextInt (128), random.nextInt (128) },
                                       { 1, 74, random.nextInt (128) } });
            processor.processBlock (buffer, midi);
        }
    });

    juce::Random random (2);
    for (int i = 0; i < 3000; ++i)
    {
        const auto id = TorvanelAudioProcessor::createParamUID ("Cutoff", random.nextInt (12), 1).getParamID();
        switch (random.nextInt (3))
        {
            case 0: processor.ccMapper.assignLastController (id); break;
            case 1: processor.ccMapper.clearMapping (id); break;
            default:
            {
                juce::XmlElement map ("Torvanel_MIDI_MAP");
                map.createNewChildElement (id)->setAttribute ("cc", 74);
                processor.ccMapper.loadMapFromXml (map);
            }
        }
    }
    done = true;
    audio.join();
    SUCCEED();
}

