#pragma once

#include <juce_audio_processors/juce_audio_processors.h>

#include <array>
#include <atomic>
#include <vector>

namespace torvanel
{
// The learnt map from MIDI controllers to parameters. The message thread edits the map
// (a value tree); every edit publishes an immutable snapshot that the audio thread picks up
// without waiting and without ever freeing memory.
class CCMapper
{
public:
    static const juce::Identifier midiMapTag;
    static const juce::Identifier ccValueProperty;

    explicit CCMapper (juce::AudioProcessorValueTreeState& store);
    ~CCMapper();

    // Message thread.
    void loadMapFromXml (const juce::XmlElement& element);
    void assignLastController (const juce::String& parameterId);
    void clearMapping (const juce::String& parameterId);
    const juce::ValueTree& getMapTree() const noexcept { return mapTree; }
    std::unique_ptr<juce::XmlElement> createMapXml() const { return mapTree.createXml(); }
    juce::Result saveMapToFile (const juce::File& file) const;
    juce::Result loadMapFromFile (const juce::File& file);
    int getMappedController (const juce::String& parameterId) const;

    // Audio thread: the controller step of a block.
    void processControllers (const juce::MidiBuffer& midi);

    int getLastReceivedController() const noexcept { return lastReceivedController.load(); }

private:
    struct Entry
    {
        int controller;
        juce::RangedAudioParameter* parameter;
    };
    using Snapshot = std::vector<Entry>;

    static int controllerOf (const juce::ValueTree& entry);
    void publishSnapshot();
    void releaseSnapshot (Snapshot* snapshot) noexcept;

    juce::AudioProcessorValueTreeState& store;
    juce::ValueTree mapTree;
    std::atomic<int> lastReceivedController { -1 };

    std::atomic<Snapshot*> current { nullptr };
    std::atomic<Snapshot*> retired { nullptr };
    std::array<int, 128> controllerValues {};

    JUCE_DECLARE_NON_COPYABLE (CCMapper)
};
} // namespace torvanel
