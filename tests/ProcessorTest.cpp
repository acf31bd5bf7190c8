#include "TestHelpers.h"

#include "voice/TorvanelSynthVoice.h"

using namespace testing_helpers;

TEST (Processor, FixedAnswersToTheHost)
{
    TorvanelAudioProcessor processor;
    EXPECT_EQ (processor.getName(), "Torvanel");
    EXPECT_TRUE (processor.acceptsMidi());
    EXPECT_FALSE (processor.producesMidi());
    EXPECT_EQ (processor.getTailLengthSeconds(), 0.0);
    EXPECT_TRUE (processor.hasEditor());
    EXPECT_EQ (processor.getNumPrograms(), 1);
    EXPECT_EQ (processor.getCurrentProgram(), 0);
    EXPECT_EQ (processor.getProgramName (0), "");
    EXPECT_EQ (processor.synth.getNumVoices(), 8);
    EXPECT_EQ (processor.synth.getNumSounds(), 1);
    EXPECT_EQ (processor.partSoundNames.size(), 12);
}

TEST (Processor, BusesAndLayoutRules)
{
    TorvanelAudioProcessor processor;
    ASSERT_EQ (processor.getBusCount (false), 16);
    EXPECT_EQ (processor.getBusCount (true), 0);
    const char* names[] = { "MAIN", "C#", "D", "D#", "E", "F", "F#", "G", "G#", "A", "A#", "B", "--", "--", "--", "--" };
    for (int bus = 0; bus < 16; ++bus)
    {
        EXPECT_EQ (processor.getBus (false, bus)->getName(), names[bus]);
        EXPECT_EQ (processor.getBus (false, bus)->isEnabledByDefault(), bus < 12);
    }
    EXPECT_EQ (processor.getTotalNumOutputChannels(), 24);
    EXPECT_TRUE (processor.checkBusesLayoutSupported (processor.getBusesLayout()));

    juce::AudioProcessor::BusesLayout monoMain;
    monoMain.outputBuses.add (juce::AudioChannelSet::mono());
    EXPECT_FALSE (processor.checkBusesLayoutSupported (monoMain));

    juce::AudioProcessor::BusesLayout withInput;
    withInput.inputBuses.add (juce::AudioChannelSet::stereo());
    withInput.outputBuses.add (juce::AudioChannelSet::stereo());
    EXPECT_FALSE (processor.checkBusesLayoutSupported (withInput));

    juce::AudioProcessor::BusesLayout none;
    EXPECT_FALSE (processor.checkBusesLayoutSupported (none));

    auto allOn = processor.getBusesLayout();
    for (auto& bus : allOn.outputBuses)
        bus = juce::AudioChannelSet::stereo();
    EXPECT_TRUE (processor.checkBusesLayoutSupported (allOn));
    allOn.outputBuses.getReference (4) = juce::AudioChannelSet::mono();
    EXPECT_FALSE (processor.checkBusesLayoutSupported (allOn));
    allOn.outputBuses.getReference (0) = juce::AudioChannelSet::disabled();
    EXPECT_FALSE (processor.checkBusesLayoutSupported (allOn));

    EXPECT_FALSE (processor.canAddBus (true));
    EXPECT_FALSE (processor.canAddBus (false));
    EXPECT_FALSE (processor.canRemoveBus (true));
    EXPECT_TRUE (processor.canRemoveBus (false));
}

TEST (Processor, PolyphonyFollowsTheSettingAtTheNextBlock)
{
    TorvanelAudioProcessor processor;
    processor.prepareToPlay (48000, 256);
    Renderer renderer (processor);
    const std::pair<int, int> steps[] = { { 2, 16 }, { 2, 16 }, { 0, 1 }, { 1, 8 }, { 0, 1 } };
    for (auto [choice, voices] : steps)
    {
        setParameter (processor, "polyphony", (float) choice);
        renderer.render (256, 1, noteOn (60));
        EXPECT_EQ (processor.synth.getNumVoices(), voices) << choice;
    }
}

TEST (Processor, NotesPlayThePartOfTheirNoteName)
{
    const std::pair<int, int> cases[] = { { 60, 0 }, { 72, 0 }, { 36, 0 }, { 38, 2 }, { 49, 1 }, { 127, 7 } };
    for (auto [note, part] : cases)
    {
        TorvanelAudioProcessor processor;
        processor.prepareToPlay (48000, 512);
        Renderer (processor).render (512, 2, noteOn (note));
        for (int p = 0; p < 12; ++p)
            EXPECT_EQ (processor.partLevels[(size_t) p] > 0.0f, p == part) << "note " << note << " part " << p;
    }
}

TEST (Processor, BeforeTheFirstPrepareLevelAndPanJump)
{
    TorvanelAudioProcessor processor;
    setParameter (processor, partParam (3, "Level"), 0.0f);
    setParameter (processor, partParam (3, "Pan"), 100.0f);
    juce::AudioBuffer<float> buffer (2, 64);
    juce::MidiBuffer midi;
    processor.processBlock (buffer, midi);
    EXPECT_FLOAT_EQ (processor.partGainSmoothers[3].getCurrentValue(), 1.0f);
    EXPECT_FLOAT_EQ (processor.partPanSmoothers[3].getCurrentValue(), 1.0f);
    EXPECT_EQ (buffer.getMagnitude (0, 64), 0.0f);
}

TEST (Processor, EveryBlockSizeAndSampleRateGivesBoundedFiniteOutput)
{
    const double rates[] = { 22050, 44100, 48000, 88200, 96000, 192000 };
    const int sizes[] = { 1, 7, 31, 64, 333, 512, 1024, 4096, 8192 };
    for (double rate : rates)
    {
        TorvanelAudioProcessor processor;
        for (int part = 0; part < 12; ++part)
        {
            setParameter (processor, partParam (part, "FM_Depth"), 100.0f);
            setParameter (processor, partParam (part, "Oscillator_Feedback"), 100.0f);
            setParameter (processor, partParam (part, "Resonance"), 100.0f);
            setParameter (processor, partParam (part, "Drive"), 1.0f);
            setParameter (processor, partParam (part, "Pitch_Env_Depth"), 100.0f);
            setParameter (processor, partParam (part, "Filter_Mode"), (float) (part % 4));
        }
        for (int size : sizes)
        {
            processor.prepareToPlay (rate, size);
            juce::MidiBuffer midi;
            for (int note = 0; note < 128; note += 5)
                midi.addEvent (juce::MidiMessage::noteOn (1 + note % 16, note, 1.0f), (note * 7) % size);
            const auto out = Renderer (processor).render (size, juce::jmax (1, 4096 / size), midi);
            ASSERT_TRUE (allFinite (out)) << rate << " " << size;
            EXPECT_LT (out.getMagnitude (0, out.getNumSamples()), 2.0f) << rate << " " << size;
        }
    }
}

TEST (Processor, BlocksLongerThanPreparedRenderInPiecesWithTheSameResult)
{
    auto renderLongBlock = [] (int preparedSize)
    {
        TorvanelAudioProcessor processor;
        processor.prepareToPlay (48000, preparedSize);
        processor.seedVoiceGenerators (42);
        juce::MidiBuffer midi;
        midi.addEvent (juce::MidiMessage::noteOn (1, 60, 1.0f), 0);
        midi.addEvent (juce::MidiMessage::noteOn (1, 62, 0.5f), 1500);
        return Renderer (processor).render (4096, 1, midi);
    };
    const auto reference = renderLongBlock (4096);
    const auto pieces = renderLongBlock (64);
    ASSERT_GT (reference.getRMSLevel (0, 0, 4096), 0.01f);
    for (int c = 0; c < 2; ++c)
        for (int i = 0; i < 4096; ++i)
            ASSERT_FLOAT_EQ (pieces.getSample (c, i), reference.getSample (c, i)) << c << " " << i;
}

TEST (Processor, ParameterSnapshotReachesEveryVoice)
{
    TorvanelAudioProcessor processor;
    processor.prepareToPlay (48000, 128);
    setParameter (processor, partParam (5, "Oscillator_Feedback"), 50.0f);
    setParameter (processor, partParam (5, "Drive"), 0.5f);
    setParameter (processor, partParam (5, "Cutoff_Prob"), -0.25f);
    setParameter (processor, partParam (5, "Carrier_Cents"), 50.0f);
    setParameter (processor, partParam (5, "Filter_Mode"), 2.0f);
    Renderer (processor).render (128, 1);
    for (int v = 0; v < processor.synth.getNumVoices(); ++v)
    {
        const auto& s = static_cast<TorvanelSynthVoice*> (processor.synth.getVoice (v))->getPartSettings (5);
        EXPECT_NEAR (s.fm.feedbackAmount, 0.5f * 0.99f, 1e-3f);
        EXPECT_NEAR (s.driveGain, 1.0f + 99.0f * 0.5f, 0.05f);
        EXPECT_NEAR (s.filter.cutoffProb.probability, 0.25f, 1e-3f);
        EXPECT_EQ (s.filter.cutoffProb.direction, 0.0f);
        EXPECT_NEAR (s.fm.carrierFineTune, 0.5f, 1e-3f);
        EXPECT_EQ (s.filter.filterMode, 2);
    }
}

TEST (Processor, SeededRendersRepeatExactly)
{
    auto render = []
    {
        TorvanelAudioProcessor processor;
        for (int part = 0; part < 12; ++part)
        {
            setParameter (processor, partParam (part, "Cutoff_Prob"), 1.0f);
            setParameter (processor, partParam (part, "Trigger_Probability"), 60.0f);
            setParameter (processor, partParam (part, "Velocity_Random_Amount"), 80.0f);
        }
        processor.prepareToPlay (44100, 256);
        processor.seedVoiceGenerators (7);
        juce::MidiBuffer midi;
        for (int i = 0; i < 24; ++i)
            midi.addEvent (juce::MidiMessage::noteOn (1, 48 + i, 1.0f), i * 10);
        return Renderer (processor).render (256, 20, midi);
    };
    const auto a = render();
    const auto b = render();
    for (int i = 0; i < a.getNumSamples(); ++i)
        ASSERT_EQ (a.getSample (0, i), b.getSample (0, i)) << i;
}
