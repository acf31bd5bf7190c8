#include "FuzzSupport.h"

#include <cstdlib>

TorvanelAudioProcessor& sharedProcessor()
{
    // Both live for the whole run and are torn down by the process exit.
    static auto* juce = new juce::ScopedJuceInitialiser_GUI();
    static auto* processor = []
    {
        auto* p = new TorvanelAudioProcessor();
        p->prepareToPlay (48000.0, 128);
        return p;
    }();
    juce::ignoreUnused (juce);
    return *processor;
}
