#include "engine/PluginProcessor.h"

#include "engine/ProgramChangeManager.h"
#include "engine/StateReplacement.h"
#include "presets/FactorySounds.h"
#include "presets/PresetsManager.h"
#include "voice/TorvanelSynthSound.h"
#include "voice/TorvanelSynthVoice.h"

#include <cmath>

namespace
{
constexpr int defaultVoiceCount = 8;
constexpr int initialBufferLength = 512;
constexpr int bufferHeadroom = 32;
constexpr double rampSeconds = 0.06;
constexpr float dcCutoffHz = 15.0f;
constexpr int chunkMidiReserveBytes = 64 * 1024;

using Handle = PartParameterHandles::Handle;

struct HandleBinding
{
    Handle PartParameterHandles::*member;
    const char* baseName;
};

const HandleBinding handleBindings[] = {
    { &PartParameterHandles::carrierFreq, "Carrier_Freq" },
    { &PartParameterHandles::carrierFreqProb, "Carrier_Freq_Prob" },
    { &PartParameterHandles::modulatorFreq, "Modulator_Freq" },
    { &PartParameterHandles::modulatorFreqProb, "Modulator_Freq_Prob" },
    { &PartParameterHandles::fmDepth, "FM_Depth" },
    { &PartParameterHandles::fmDepthProb, "FM_Depth_Prob" },
    { &PartParameterHandles::oscillatorFeedback, "Oscillator_Feedback" },
    { &PartParameterHandles::oscillatorFeedbackProb, "Oscillator_Feedback_Prob" },
    { &PartParameterHandles::tunedMode, "Tuned_Mode" },
    { &PartParameterHandles::carrierNote, "Carrier_Note" },
    { &PartParameterHandles::carrierNoteProb, "Carrier_Note_Prob" },
    { &PartParameterHandles::carrierCents, "Carrier_Cents" },
    { &PartParameterHandles::modulatorNote, "Modulator_Note" },
    { &PartParameterHandles::modulatorNoteProb, "Modulator_Note_Prob" },
    { &PartParameterHandles::modulatorCents, "Modulator_Cents" },
    { &PartParameterHandles::oscillatorFeedbackMode, "oscillator_feedback_mode" },
    { &PartParameterHandles::cutoff, "Cutoff" },
    { &PartParameterHandles::cutoffProb, "Cutoff_Prob" },
    { &PartParameterHandles::resonance, "Resonance" },
    { &PartParameterHandles::resonanceProb, "Resonance_Prob" },
    { &PartParameterHandles::filterMode, "Filter_Mode" },
    { &PartParameterHandles::filterModDepth, "Filter_Mod_Depth" },
    { &PartParameterHandles::filterModDepthProb, "Filter_Mod_Depth_Prob" },
    { &PartParameterHandles::ampEnvAttack, "Amp_Env_Attack" },
    { &PartParameterHandles::ampEnvAttackProb, "Amp_Env_Attack_Prob" },
    { &PartParameterHandles::ampEnvRelease, "Amp_Env_Release" },
    { &PartParameterHandles::ampEnvReleaseProb, "Amp_Env_Release_Prob" },
    { &PartParameterHandles::ampEnvAttackCurve, "Amp_Env_Attack_Curve" },
    { &PartParameterHandles::ampEnvAttackCurveProb, "Amp_Env_Attack_Curve_Prob" },
    { &PartParameterHandles::ampEnvReleaseCurve, "Amp_Env_Release_Curve" },
    { &PartParameterHandles::ampEnvReleaseCurveProb, "Amp_Env_Release_Curve_Prob" },
    { &PartParameterHandles::pitchEnvRelease, "Pitch_Env_Release" },
    { &PartParameterHandles::pitchEnvReleaseProb, "Pitch_Env_Release_Prob" },
    { &PartParameterHandles::pitchEnvReleaseCurve, "Pitch_Env_Release_Curve" },
    { &PartParameterHandles::pitchEnvReleaseCurveProb, "Pitch_Env_Release_Curve_Prob" },
    { &PartParameterHandles::pitchEnvLoop, "Pitch_Env_Loop" },
    { &PartParameterHandles::pitchEnvDepth, "Pitch_Env_Depth" },
    { &PartParameterHandles::pitchEnvDepthProb, "Pitch_Env_Depth_Prob" },
    { &PartParameterHandles::level, "Level" },
    { &PartParameterHandles::pan, "Pan" },
    { &PartParameterHandles::triggerProbability, "Trigger_Probability" },
    { &PartParameterHandles::velocityTracking, "Velocity_Tracking" },
    { &PartParameterHandles::solo, "Solo" },
    { &PartParameterHandles::mute, "Mute" },
    { &PartParameterHandles::velocityRandomAmount, "Velocity_Random_Amount" },
    { &PartParameterHandles::drive, "Drive" },
};

float read (Handle handle) noexcept
{
    return handle != nullptr ? handle->load (std::memory_order_relaxed) : 0.0f;
}

bool readSwitch (Handle handle) noexcept { return read (handle) > 0.5f; }

ProbSetting readProb (Handle handle) noexcept
{
    const float p = read (handle);
    return { std::abs (p), p >= 0.0f ? 1.0f : 0.0f };
}

float decibelsToGain (float decibels) noexcept
{
    return decibels <= -100.0f ? 0.0f : std::pow (10.0f, decibels / 20.0f);
}
} // namespace

//==============================================================================
TorvanelAudioProcessor::BusesProperties TorvanelAudioProcessor::createBusesProperties()
{
    auto buses = BusesProperties().withOutput ("MAIN", juce::AudioChannelSet::stereo(), true);
    for (int part = 1; part < numParts; ++part)
        buses = buses.withOutput (torvanel::partDisplayName (part), juce::AudioChannelSet::stereo(), true);
    for (int i = 0; i < 4; ++i)
        buses = buses.withOutput ("--", juce::AudioChannelSet::stereo(), false);
    return buses;
}

TorvanelAudioProcessor::TorvanelAudioProcessor()
    : juce::AudioProcessor (createBusesProperties()),
      parameters (*this, &undoManager, "Torvanel", createParameterLayout()),
      currentKitName ("INIT"),
      partBuffer (numParts, initialBufferLength),
      partGainBuffer (numParts, initialBufferLength),
      partPanBuffer (numParts, initialBufferLength),
      leftGainBuffer (numParts, initialBufferLength),
      rightGainBuffer (numParts, initialBufferLength),
      outputGainBuffer (1, initialBufferLength),
      randomizer (parameters, juce::PluginHostType().isAbletonLive()),
      ccMapper (parameters)
{
    randomizerAmounts.fill (1.0f);
    outputGainSmoother.setCurrentAndTargetValue (0.0f);

    torvanel::PresetsManager::createPresetFolders();
    setupParameters();

    for (int i = 0; i < defaultVoiceCount; ++i)
        synth.addVoice (new TorvanelSynthVoice());
    synth.addSound (new TorvanelSynthSound());

    const float defaultLevelGain = std::pow (10.0f, -0.3f);
    for (int part = 0; part < numParts; ++part)
    {
        partGainSmoothers.emplace_back (defaultLevelGain);
        partPanSmoothers.emplace_back (0.5f);
        partSolo[(size_t) part] = false;
        partMute[(size_t) part] = false;
        partLevels[(size_t) part].store (0.0f);
        partSoundNames.add ("Init");
    }

    midiPresetFiles = torvanel::ProgramChangeManager::scanMidiPresetsFolder();
    settings = std::make_unique<juce::PropertiesFile> (settingsFileOptions());
    torvanel::FactorySounds::initFactorySounds (soundLibrary);
    torvanel::FactoryKits::initFactoryKits (kitLibrary);

    loadStartingKit();
    refreshPartSoundNamesFromState();
}

TorvanelAudioProcessor::~TorvanelAudioProcessor()
{
    if (settings != nullptr)
        settings->saveIfNeeded();
}

juce::PropertiesFile::Options TorvanelAudioProcessor::settingsFileOptions()
{
    juce::PropertiesFile::Options options;
    options.applicationName = "Torvanel";
    options.filenameSuffix = ".prefs";
    options.folderName = "Pelgrin";
    options.osxLibrarySubFolder = "Application Support";
    options.commonToAllUsers = false;
    options.storageFormat = juce::PropertiesFile::storeAsXML;
    options.millisecondsBeforeSaving = 3000;
    return options;
}

void TorvanelAudioProcessor::loadStartingKit()
{
    const auto defaultKit = torvanel::PresetsManager::getDefaultPresetFile();
    if (defaultKit.existsAsFile())
    {
        torvanel::PresetsManager::loadPreset (defaultKit, parameters);
        currentKitPath = defaultKit.getFullPathName();
        currentKitName = torvanel::PresetsManager::defaultPresetName;
        parameters.state.setProperty ("Kit_Name", currentKitName, nullptr);
    }
    else
    {
        loadFactoryKit (torvanel::FactoryKits::startingKitIndex);
    }
}

void TorvanelAudioProcessor::loadFactoryKit (int index)
{
    if (auto* kit = kitLibrary.getElement (index))
    {
        torvanel::replaceStateKeepingUnlistedParameters (parameters, juce::ValueTree::fromXml (*kit));
        currentKitName = parameters.state.getProperty ("Kit_Name").toString();
    }
}

void TorvanelAudioProcessor::refreshPartSoundNamesFromState()
{
    for (int part = 0; part < numParts; ++part)
        partSoundNames.set (part, parameters.state.getProperty (torvanel::partSoundNameKey (part),
                                                                 partSoundNames[part]).toString());
}

void TorvanelAudioProcessor::setupParameters()
{
    static const char* const randomizedBaseNames[] = {
        "Carrier_Freq", "Carrier_Note", "Carrier_Cents", "Modulator_Freq", "Modulator_Note", "Modulator_Cents",
        "FM_Depth", "Oscillator_Feedback", "oscillator_feedback_mode", "Amp_Env_Release", "Amp_Env_Attack_Curve",
        "Amp_Env_Release_Curve", "Cutoff", "Resonance", "Filter_Mode", "Filter_Mod_Depth", "Pitch_Env_Release",
        "Pitch_Env_Release_Curve", "Pitch_Env_Loop", "Pitch_Env_Depth",
    };

    for (int part = 0; part < numParts; ++part)
    {
        for (const auto& binding : handleBindings)
            partParameters[(size_t) part].*(binding.member) =
                parameters.getRawParameterValue (createParamUID (binding.baseName, part, 1).getParamID());

        for (const auto* baseName : randomizedBaseNames)
            randomizer.getList (part).add (createParamUID (baseName, part, 1).getParamID());
        randomizer.getList (torvanel::ParametersRandomizer::triggerProbabilityList)
            .add (createParamUID ("Trigger_Probability", part, 1).getParamID());
    }

    outputAmplitude = parameters.getRawParameterValue ("Output_Amplitude");
    polyphony = parameters.getRawParameterValue ("polyphony");
}

//==============================================================================
bool TorvanelAudioProcessor::canAddBus (bool isInput) const
{
    return ! isInput && getBusCount (false) < 16;
}

bool TorvanelAudioProcessor::canRemoveBus (bool isInput) const
{
    return ! isInput && getBusCount (false) > 1;
}

bool TorvanelAudioProcessor::isBusesLayoutSupported (const BusesLayout& layouts) const
{
    if (! layouts.inputBuses.isEmpty() || layouts.outputBuses.isEmpty())
        return false;

    // Buses the host switched off carry nothing; every bus in use is a stereo pair, and the
    // main pair is always in use.
    if (layouts.getMainOutputChannelSet() != juce::AudioChannelSet::stereo())
        return false;
    for (const auto& bus : layouts.outputBuses)
        if (! bus.isDisabled() && bus != juce::AudioChannelSet::stereo())
            return false;

    return true;
}

juce::AudioProcessorEditor* TorvanelAudioProcessor::createEditor()
{
    return new juce::GenericAudioProcessorEditor (*this);
}

//==============================================================================
void TorvanelAudioProcessor::prepareToPlay (double sampleRate, int samplesPerBlock)
{
    const int blockLength = juce::jmax (1, samplesPerBlock);

    synth.setCurrentPlaybackSampleRate (sampleRate);
    for (int i = 0; i < synth.getNumVoices(); ++i)
        if (auto* voice = dynamic_cast<TorvanelSynthVoice*> (synth.getVoice (i)))
            voice->clearFilterAndFeedback();

    const int length = blockLength + bufferHeadroom;
    for (auto* buffer : { &partBuffer, &partGainBuffer, &partPanBuffer, &leftGainBuffer, &rightGainBuffer })
        buffer->setSize (numParts, length);
    outputGainBuffer.setSize (1, length);
    maxChunkLength = length;
    chunkMidi.ensureSize (chunkMidiReserveBytes);

    const int rampLength = static_cast<int> (std::floor (rampSeconds * sampleRate));
    outputGainSmoother.reset (rampLength);
    for (auto& smoother : partGainSmoothers)
        smoother.reset (rampLength);
    for (auto& smoother : partPanSmoothers)
        smoother.reset (rampLength);

    dcFilter.prepare (sampleRate, getTotalNumOutputChannels());
    dcFilter.setCutoffFrequency (dcCutoffHz);

    preparedSampleRate = sampleRate;
}

int TorvanelAudioProcessor::voiceCountForPolyphony (int choiceIndex)
{
    switch (choiceIndex)
    {
        case 0: return 1;
        case 2: return 16;
        default: return 8;
    }
}

void TorvanelAudioProcessor::followPolyphonySetting()
{
    const int wanted = voiceCountForPolyphony (juce::roundToInt (read (polyphony)));
    if (wanted == synth.getNumVoices())
        return;

    // Rebuilding the voice list cuts sounding notes; the host is told to hold off meanwhile.
    suspendProcessing (true);
    while (synth.getNumVoices() > 0)
        synth.removeVoice (0);
    for (int i = 0; i < wanted; ++i)
        synth.addVoice (new TorvanelSynthVoice());
    suspendProcessing (false);
}

void TorvanelAudioProcessor::handleProgramChanges (const juce::MidiBuffer& midi)
{
    int programNumber = -1;
    for (const auto metadata : midi)
        if (metadata.numBytes >= 2 && (metadata.data[0] & 0xf0) == 0xc0)
            programNumber = metadata.data[1] & 0x7f;

    if (programNumber < 0)
        return;

    if (getActiveEditor() != nullptr)
    {
        pendingProgramNumber = programNumber;
        pendingProgramChange = true;
        return;
    }

    loadProgramChangeKitNow (programNumber);
}

void TorvanelAudioProcessor::loadProgramChangeKitNow (int programNumber)
{
    // No editor to hand the change to: the kit is read here, with processing held off.
    suspendProcessing (true);
    // A loaded kit's root attributes are the state's properties, so the names come from there.
    const auto file = torvanel::ProgramChangeManager::getPresetFileForMIDIProgramChange (midiPresetFiles, programNumber);
    if (torvanel::PresetsManager::loadPreset (file, parameters).wasOk())
        refreshPartSoundNamesFromState();
    suspendProcessing (false);
}

bool TorvanelAudioProcessor::handlePendingProgramChange()
{
    if (! pendingProgramChange)
        return false;

    bool loaded = false;
    const auto file = torvanel::ProgramChangeManager::getPresetFileForMIDIProgramChange (midiPresetFiles,
                                                                                        pendingProgramNumber);
    if (file.existsAsFile())
    {
        torvanel::PresetsManager::loadPreset (file, parameters);
        currentKitName = file.getFileNameWithoutExtension();
        currentKitPath = file.getFullPathName();
        parameters.state.setProperty ("Kit_Name", currentKitName, nullptr);
        loaded = true;
    }
    pendingProgramChange = false;
    return loaded;
}

void TorvanelAudioProcessor::takeParameterSnapshot()
{
    anySolo = false;

    for (size_t part = 0; part < (size_t) numParts; ++part)
    {
        const auto& h = partParameters[part];
        auto& s = partSettingsSnapshot[part];

        s.fm.carrierFrequency = read (h.carrierFreq);
        s.fm.modulatorFrequency = read (h.modulatorFreq);
        s.fm.fmDepth = read (h.fmDepth) * 0.01f;
        s.fm.feedbackAmount = read (h.oscillatorFeedback) * 0.01f * 0.99f;
        s.fm.tunedMode = readSwitch (h.tunedMode);
        s.fm.carrierNote = read (h.carrierNote);
        s.fm.carrierFineTune = read (h.carrierCents) * 0.01f;
        s.fm.modulatorNote = read (h.modulatorNote);
        s.fm.modulatorFineTune = read (h.modulatorCents) * 0.01f;
        s.fm.feedbackMode = juce::roundToInt (read (h.oscillatorFeedbackMode));
        s.fm.carrierFrequencyProb = readProb (h.carrierFreqProb);
        s.fm.modulatorFrequencyProb = readProb (h.modulatorFreqProb);
        s.fm.fmDepthProb = readProb (h.fmDepthProb);
        s.fm.feedbackProb = readProb (h.oscillatorFeedbackProb);
        s.fm.carrierNoteProb = readProb (h.carrierNoteProb);
        s.fm.modulatorNoteProb = readProb (h.modulatorNoteProb);

        s.ampEnv.attack = read (h.ampEnvAttack);
        s.ampEnv.release = read (h.ampEnvRelease);
        s.ampEnv.attackCurve = read (h.ampEnvAttackCurve);
        s.ampEnv.releaseCurve = read (h.ampEnvReleaseCurve);
        s.ampEnv.attackProb = readProb (h.ampEnvAttackProb);
        s.ampEnv.releaseProb = readProb (h.ampEnvReleaseProb);
        s.ampEnv.attackCurveProb = readProb (h.ampEnvAttackCurveProb);
        s.ampEnv.releaseCurveProb = readProb (h.ampEnvReleaseCurveProb);

        s.filter.cutoff = read (h.cutoff);
        s.filter.resonance = read (h.resonance) * 0.01f;
        s.filter.filterMode = juce::roundToInt (read (h.filterMode));
        s.filter.modDepth = read (h.filterModDepth) * 0.01f;
        s.filter.cutoffProb = readProb (h.cutoffProb);
        s.filter.resonanceProb = readProb (h.resonanceProb);
        s.filter.modDepthProb = readProb (h.filterModDepthProb);

        s.pitchEnv.release = read (h.pitchEnvRelease);
        s.pitchEnv.curve = read (h.pitchEnvReleaseCurve);
        s.pitchEnv.loop = readSwitch (h.pitchEnvLoop);
        s.pitchEnv.depth = read (h.pitchEnvDepth) * 0.01f;
        s.pitchEnv.releaseProb = readProb (h.pitchEnvReleaseProb);
        s.pitchEnv.curveProb = readProb (h.pitchEnvReleaseCurveProb);
        s.pitchEnv.depthProb = readProb (h.pitchEnvDepthProb);

        s.triggerProbability = read (h.triggerProbability) * 0.01f;
        s.velocityTracking = readSwitch (h.velocityTracking);
        s.randomVelocityAmount = read (h.velocityRandomAmount) * 0.01f;
        s.driveGain = 1.0f + 99.0f * read (h.drive);

        partGainSmoothers[part].setTargetValue (decibelsToGain (read (h.level)));
        partPanSmoothers[part].setTargetValue (read (h.pan) * 0.01f * 0.5f + 0.5f);
        partSolo[part] = readSwitch (h.solo);
        partMute[part] = readSwitch (h.mute);
        anySolo = anySolo || partSolo[part];
    }
}

void TorvanelAudioProcessor::handOverSettingsToVoices()
{
    const juce::ScopedLock lock (synth.getLock());
    for (int i = 0; i < synth.getNumVoices(); ++i)
        if (auto* voice = static_cast<TorvanelSynthVoice*> (synth.getVoice (i)))
            voice->setPartSettings (partSettingsSnapshot);
}

void TorvanelAudioProcessor::seedVoiceGenerators (juce::int64 seed)
{
    const juce::ScopedLock lock (synth.getLock());
    for (int i = 0; i < synth.getNumVoices(); ++i)
        if (auto* voice = static_cast<TorvanelSynthVoice*> (synth.getVoice (i)))
            voice->setRandomSeed (seed + i);
}

//==============================================================================
void TorvanelAudioProcessor::processBlock (juce::AudioBuffer<float>& buffer, juce::MidiBuffer& midiMessages)
{
    juce::ScopedNoDenormals noDenormals;

    followPolyphonySetting();
    handleProgramChanges (midiMessages);
    ccMapper.processControllers (midiMessages);
    takeParameterSnapshot();
    handOverSettingsToVoices();
    outputGainSmoother.setTargetValue (decibelsToGain (read (outputAmplitude)));

    const int numSamples = buffer.getNumSamples();
    if (! buffer.hasBeenCleared())
        buffer.clear();

    // Without a sample rate the voices cannot run; a host that skips prepareToPlay hears silence.
    if (preparedSampleRate <= 0.0 || numSamples <= 0)
        return;

    if (numSamples <= maxChunkLength)
    {
        processChunk (buffer, midiMessages, numSamples);
        return;
    }

    // A block longer than announced is rendered in pieces that fit the prepared buffers.
    for (int start = 0; start < numSamples; start += maxChunkLength)
    {
        const int length = juce::jmin (maxChunkLength, numSamples - start);
        juce::AudioBuffer<float> piece (buffer.getArrayOfWritePointers(), buffer.getNumChannels(), start, length);
        collectChunkMidi (midiMessages, start, length);
        processChunk (piece, chunkMidi, length);
    }
}

void TorvanelAudioProcessor::collectChunkMidi (const juce::MidiBuffer& source, int chunkStart, int chunkLength)
{
    chunkMidi.clear();
    for (const auto metadata : source)
        if (metadata.samplePosition >= chunkStart && metadata.samplePosition < chunkStart + chunkLength)
            chunkMidi.addEvent (metadata.data, metadata.numBytes, metadata.samplePosition - chunkStart);
}

void TorvanelAudioProcessor::processChunk (juce::AudioBuffer<float>& output, juce::MidiBuffer& midi, int numSamples)
{
    if (! partBuffer.hasBeenCleared())
        partBuffer.clear();

    synth.renderNextBlock (partBuffer, midi, 0, numSamples);
    mixParts (output, numSamples);
}
