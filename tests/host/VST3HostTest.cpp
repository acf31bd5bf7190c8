// Loads the built VST3 bundle, the file a DAW loads, through the framework's hosting
// classes: plays notes, and round-trips the state into a second instance.
#include <gtest/gtest.h>
#include <juce_audio_processors/juce_audio_processors.h>
#include <juce_events/juce_events.h>

#include <thread>

namespace
{
std::unique_ptr<juce::AudioPluginInstance> loadPlugin (double rate, int block)
{
    juce::VST3PluginFormat format;
    juce::OwnedArray<juce::PluginDescription> found;
    const auto bundle = juce::File (TORVANEL_VST3_BUNDLE).getLinkedTarget();
    format.findAllTypesForFile (found, juce::File (bundle.getFullPathName()).getFullPathName());
    if (found.isEmpty())
        return nullptr;
    juce::String error;
    auto instance = format.createInstanceFromDescription (*found[0], rate, block, error);
    EXPECT_TRUE (error.isEmpty()) << error;
    return instance;
}

juce::AudioBuffer<float> play (juce::AudioPluginInstance& plugin, int blocks, int block)
{
    juce::AudioBuffer<float> all (2, blocks * block);
    juce::AudioBuffer<float> buffer (juce::jmax (plugin.getTotalNumOutputChannels(), 2), block);
    for (int b = 0; b < blocks; ++b)
    {
        juce::MidiBuffer midi;
        if (b % 20 == 0)
            for (int note : { 36, 38, 40 })
                midi.addEvent (juce::MidiMessage::noteOn (1, note, (juce::uint8) 120), 0);
        buffer.clear();
        plugin.processBlock (buffer, midi);
        for (int c = 0; c < 2; ++c)
            all.copyFrom (c, b * block, buffer, c, 0, block);
    }
    return all;
}
} // namespace

TEST (VST3Host, BundlePlaysNotesAndKeepsItsState)
{
    juce::ScopedJuceInitialiser_GUI juce;
    constexpr double rate = 48000.0;
    constexpr int block = 256;

    auto plugin = loadPlugin (rate, block);
    ASSERT_NE (plugin, nullptr) << "cannot load " << TORVANEL_VST3_BUNDLE;
    EXPECT_EQ (plugin->getName(), "Torvanel");
    EXPECT_TRUE (plugin->acceptsMidi());
    // The instrument's 554, the wrapper's bypass and its controller stand-ins.
    EXPECT_GE (plugin->getParameters().size(), 554);
    EXPECT_EQ (plugin->getParameters()[0]->getName (100), "C Carrier Frequency");
    EXPECT_EQ (plugin->getParameters()[553]->getName (100), "Polyphony");

    plugin->prepareToPlay (rate, block);
    const auto audio = play (*plugin, 100, block);
    EXPECT_GT (audio.getRMSLevel (0, 0, audio.getNumSamples()), 1e-3f);
    for (int i = 0; i < audio.getNumSamples(); ++i)
        ASSERT_TRUE (std::isfinite (audio.getSample (0, i)));

    juce::Random random (9);
    for (auto* parameter : plugin->getParameters())
        parameter->setValueNotifyingHost (random.nextFloat());
    juce::MemoryBlock state;
    plugin->getStateInformation (state);
    // Restoring its own state makes the host's view show the values as the plug-in stores
    // them (placed on each parameter's step).
    plugin->setStateInformation (state.getData(), (int) state.getSize());

    auto second = loadPlugin (rate, block);
    ASSERT_NE (second, nullptr);
    second->setStateInformation (state.getData(), (int) state.getSize());
    int differentFromDefault = 0;
    for (int i = 0; i < 554; ++i)
    {
        differentFromDefault += second->getParameters()[i]->getValue() != second->getParameters()[i]->getDefaultValue() ? 1 : 0;
        EXPECT_NEAR (second->getParameters()[i]->getValue(), plugin->getParameters()[i]->getValue(), 1e-6f)
            << plugin->getParameters()[i]->getName (100);
    }
    EXPECT_GT (differentFromDefault, 400);

    plugin->releaseResources();
    plugin.reset();
    second.reset();
}

TEST (VST3Host, ValidatorStyleAbuse)
{
    juce::ScopedJuceInitialiser_GUI juce;
    auto plugin = loadPlugin (44100.0, 512);
    ASSERT_NE (plugin, nullptr);
    juce::Random random (17);
    const int ownParameters = 554;

    // Parameters fuzzed at several rates and block sizes, with notes.
    for (double rate : { 22050.0, 44100.0, 48000.0, 96000.0, 192000.0 })
        for (int block : { 1, 17, 64, 512, 2048 })
        {
            plugin->prepareToPlay (rate, block);
            juce::AudioBuffer<float> buffer (juce::jmax (2, plugin->getTotalNumOutputChannels()), block);
            for (int b = 0; b < 12; ++b)
            {
                for (int i = 0; i < ownParameters; ++i)
                    plugin->getParameters()[i]->setValue (random.nextFloat());
                juce::MidiBuffer midi;
                midi.addEvent (juce::MidiMessage::noteOn (1 + random.nextInt (16), random.nextInt (128), (juce::uint8) 100),
                               random.nextInt (block));
                buffer.clear();
                plugin->processBlock (buffer, midi);
                for (int c = 0; c < buffer.getNumChannels(); ++c)
                    for (int i = 0; i < block; ++i)
                        ASSERT_TRUE (std::isfinite (buffer.getSample (c, i))) << rate << " " << block;
            }
            plugin->releaseResources();
        }

    // The editor opened and closed while audio runs, parameters set from several threads,
    // state saved and restored meanwhile.
    plugin->prepareToPlay (48000.0, 256);
    std::atomic<bool> done { false };
    std::thread audio ([&]
    {
        juce::AudioBuffer<float> buffer (juce::jmax (2, plugin->getTotalNumOutputChannels()), 256);
        juce::Random r (3);
        while (! done)
        {
            juce::MidiBuffer midi;
            midi.addEvent (juce::MidiMessage::noteOn (1, r.nextInt (128), (juce::uint8) 100), 0);
            plugin->processBlock (buffer, midi);
        }
    });
    std::vector<std::thread> setters;
    for (int t = 0; t < 2; ++t)
        setters.emplace_back ([&, t]
        {
            juce::Random r (t);
            while (! done)
                plugin->getParameters()[r.nextInt (ownParameters)]->setValueNotifyingHost (r.nextFloat());
        });

    for (int round = 0; round < 5; ++round)
    {
        std::unique_ptr<juce::AudioProcessorEditor> editor (plugin->createEditorIfNeeded());
        ASSERT_NE (editor, nullptr);
        editor->setVisible (true);
        juce::MessageManager::getInstance()->runDispatchLoopUntil (50);
        juce::MemoryBlock state;
        plugin->getStateInformation (state);
        plugin->setStateInformation (state.getData(), (int) state.getSize());
        editor.reset();
    }

    done = true;
    audio.join();
    for (auto& setter : setters)
        setter.join();
    plugin->releaseResources();
}
