// One thread plays the audio thread (blocks with notes and controllers) while the test's own
// thread does what the message thread does: state save and restore, kit and sound loads,
// randomizing, controller-map edits and program changes handed to an open editor.
#include "TestHelpers.h"

#include "presets/PresetsManager.h"
#include "presets/SoundPreset.h"

#include <thread>

using namespace testing_helpers;
using torvanel::PresetsManager;

TEST (Concurrency, MessageThreadWorkWhileBlocksRun)
{
    PresetsManager::createPresetFolders();
    const auto midiKit = PresetsManager::midiFolder().getChildFile ("0 Concurrent.tvp");
    {
        TorvanelAudioProcessor maker;
        PresetsManager::savePreset (maker.parameters.copyState(), midiKit);
    }

    TorvanelAudioProcessor processor;
    processor.prepareToPlay (44100, 128);
    std::unique_ptr<juce::AudioProcessorEditor> editor (processor.createEditorIfNeeded());
    std::atomic<bool> done { false };
    std::atomic<long> blocks { 0 };

    std::thread audio ([&]
    {
        juce::AudioBuffer<float> buffer (processor.getTotalNumOutputChannels(), 128);
        juce::MidiBuffer midi;
        juce::Random random (5);
        while (! done.load())
        {
            midi.clear();
            midi.addEvent (juce::MidiMessage::noteOn (1 + random.nextInt (16), random.nextInt (128), 0.8f), random.nextInt (128));
            midi.addEvent (juce::MidiMessage::controllerEvent (1, 74, random.nextInt (128)), random.nextInt (128));
            if (random.nextInt (20) == 0)
                midi.addEvent (juce::MidiMessage::programChange (1, 0), 0);
            processor.processBlock (buffer, midi);
            ++blocks;
        }
    });

    juce::Random random (6);
    const auto kitFile = juce::File::createTempFile ("tvp");
    for (int i = 0; i < 150; ++i)
    {
        switch (i % 7)
        {
            case 0:
            {
                juce::MemoryBlock state;
                processor.getStateInformation (state);
                processor.setStateInformation (state.getData(), (int) state.getSize());
                break;
            }
            case 1:
                PresetsManager::savePreset (processor.parameters.copyState(), kitFile);
                PresetsManager::loadPreset (kitFile, processor.parameters);
                break;
            case 2:
                processor.loadFactoryKit (random.nextInt (12));
                break;
            case 3:
                torvanel::SoundPreset::applyToPart (processor.soundLibrary.getElement (random.nextInt (182)),
                                                    random.nextInt (12), processor.parameters, processor.partSoundNames,
                                                    false);
                break;
            case 4:
                processor.randomizer.randomizeParameters (random.nextInt (13));
                processor.randomizer.randomizePartWithinAmount (random.nextInt (12), 0.3f);
                break;
            case 5:
                processor.ccMapper.assignLastController (partParam (random.nextInt (12), "Cutoff"));
                processor.ccMapper.clearMapping (partParam (random.nextInt (12), "Cutoff"));
                break;
            default:
                processor.handlePendingProgramChange();
                setParameter (processor, "polyphony", (float) random.nextInt (3));
                break;
        }
        std::this_thread::yield();
    }

    done = true;
    audio.join();
    processor.editorBeingDeleted (editor.get());
    editor.reset();
    kitFile.deleteFile();
    PresetsManager::presetsFolder().deleteRecursively();
    EXPECT_GT (blocks.load(), 0);
    std::printf ("concurrency: %ld blocks during 150 message-thread actions\n", blocks.load());
}
