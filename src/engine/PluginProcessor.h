#pragma once

#include "engine/CCMapper.h"
#include "engine/ParameterRanges.h"
#include "engine/PartNames.h"
#include "engine/PartParameterHandles.h"
#include "pgrn/dsp/DCFilter.h"
#include "pgrn/presets/FactoryPresetsManager.h"
#include "voice/ParametersRandomizer.h"
#include "voice/PartSettings.h"
#include "voice/TorvanelSynthesiser.h"

#include <juce_audio_processors/juce_audio_processors.h>
#include <juce_dsp/juce_dsp.h>

#include <array>
#include <vector>

class TorvanelSynthVoice;

// The instrument's audio processor: parameter store, voices, per-part mixing and the
// block loop that turns MIDI into twelve parts of audio.
class TorvanelAudioProcessor : public juce::AudioProcessor
{
public:
    static constexpr int numParts = torvanel::numParts;
    static constexpr int partClipboardSize = 44;

    TorvanelAudioProcessor();
    ~TorvanelAudioProcessor() override;

    const juce::String getName() const override { return "Torvanel"; }
    void prepareToPlay (double sampleRate, int samplesPerBlock) override;
    void releaseResources() override {}
    void processBlock (juce::AudioBuffer<float>&, juce::MidiBuffer&) override;
    using juce::AudioProcessor::processBlock;
    bool canAddBus (bool isInput) const override;
    bool canRemoveBus (bool isInput) const override;
    double getTailLengthSeconds() const override { return 0.0; }
    bool acceptsMidi() const override { return true; }
    bool producesMidi() const override { return false; }
    juce::AudioProcessorEditor* createEditor() override;
    bool hasEditor() const override { return true; }
    int getNumPrograms() override { return 1; }
    int getCurrentProgram() override { return 0; }
    void setCurrentProgram (int) override {}
    const juce::String getProgramName (int) override { return {}; }
    void changeProgramName (int, const juce::String&) override {}
    void getStateInformation (juce::MemoryBlock& destData) override;
    void setStateInformation (const void* data, int sizeInBytes) override;
    bool isBusesLayoutSupported (const BusesLayout& layouts) const override;

    static juce::ParameterID createParamUID (const juce::String& baseName, int partIndex, int versionHint);
    static juce::ParameterID getProbParamUID (const juce::String& baseName, int partIndex, int unused);

    // The soft clipping applied to every output sample: the framework's rational tanh.
    static float saturate (float x) noexcept { return juce::dsp::FastMathApproximations::tanh (x); }

    // Reseeds every voice's generator from one seed, so that a run of hits can be repeated.
    void seedVoiceGenerators (juce::int64 seed);

    // Loads the kit of a program change that the block step left for the editor (message
    // thread, called from the editor's timer). Returns true when a kit was loaded.
    bool handlePendingProgramChange();

    // Reads the settings file options: the per-user settings file of the instrument.
    static juce::PropertiesFile::Options settingsFileOptions();

    // Replaces the store's state with factory kit `index`; the kit name follows it.
    void loadFactoryKit (int index);

    // Each part's sound name from the state's sound-name property, kept where it has none.
    void refreshPartSoundNamesFromState();

    // Prepared sample rate (0 before the first prepareToPlay).
    double getPreparedSampleRate() const noexcept { return preparedSampleRate; }

    // Shared with the editor's timer: written by one thread, read by the other.
    std::atomic<bool> pendingProgramChange { false };
    std::atomic<int> pendingProgramNumber { -1 };
    juce::StringArray midiPresetFiles;
    ParameterRanges parameterRanges;
    std::array<PartParameterHandles, numParts> partParameters {};
    juce::UndoManager undoManager;
    juce::AudioProcessorValueTreeState parameters;
    juce::String currentKitName;
    juce::String currentKitPath;
    TorvanelSynthesiser synth;

    juce::AudioBuffer<float> partBuffer;
    juce::AudioBuffer<float> partGainBuffer;
    std::vector<juce::SmoothedValue<float, juce::ValueSmoothingTypes::Linear>> partGainSmoothers;
    juce::AudioBuffer<float> partPanBuffer, leftGainBuffer, rightGainBuffer;
    std::vector<juce::SmoothedValue<float, juce::ValueSmoothingTypes::Linear>> partPanSmoothers;
    juce::SmoothedValue<float, juce::ValueSmoothingTypes::Linear> outputGainSmoother;
    juce::AudioBuffer<float> outputGainBuffer;
    std::atomic<float>* outputAmplitude = nullptr;
    pgrn::dsp::DCFilter<float> dcFilter;
    torvanel::ParametersRandomizer randomizer;

    std::array<float, 13> randomizerAmounts;
    int selectedPart = 0;
    std::atomic<bool> multiOutEnabled { false };
    bool anySolo = false;
    std::array<bool, numParts> partSolo {};
    std::array<bool, numParts> partMute {};

    struct PartClipboard
    {
        std::array<float, partClipboardSize> values {};
        bool hasContent = false;
    };
    PartClipboard partClipboard;

    juce::StringArray partSoundNames;
    std::array<std::atomic<float>, numParts> partLevels {};
    torvanel::CCMapper ccMapper;
    std::unique_ptr<juce::PropertiesFile> settings;
    pgrn::FactoryPresetsManager soundLibrary { "Sound_Name" };
    pgrn::FactoryPresetsManager kitLibrary { "Kit_Name" };

    std::atomic<float>* polyphony = nullptr;

private:
    juce::AudioProcessorValueTreeState::ParameterLayout createParameterLayout();
    void addProbParameter (const juce::String& baseName, const juce::String& displayName, int partIndex,
                           juce::AudioProcessorValueTreeState::ParameterLayout& layout);
    void setupParameters();

    static BusesProperties createBusesProperties();
    static int voiceCountForPolyphony (int choiceIndex);

    void loadStartingKit();
    void followPolyphonySetting();
    void handleProgramChanges (const juce::MidiBuffer& midi);
    void loadProgramChangeKitNow (int programNumber);
    void takeParameterSnapshot();
    void handOverSettingsToVoices();
    void processChunk (juce::AudioBuffer<float>& output, juce::MidiBuffer& midi, int numSamples);
    void collectChunkMidi (const juce::MidiBuffer& source, int chunkStart, int chunkLength);
    void mixParts (juce::AudioBuffer<float>& output, int numSamples);
    void mixPartIntoOutput (juce::AudioBuffer<float>& output, int part, int numSamples);

    std::array<PartVoiceSettings, numParts> partSettingsSnapshot {};
    juce::MidiBuffer chunkMidi;
    double preparedSampleRate = 0.0;
    int maxChunkLength = 512;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (TorvanelAudioProcessor)
};
