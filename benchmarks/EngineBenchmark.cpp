// Prints what the engine costs at 48 kHz: one voice per rendered sample, and whole blocks
// of 64 and 512 samples with sixteen voices sounding (median and worst of many blocks).
#include "engine/PluginProcessor.h"
#include "voice/TorvanelSynthSound.h"
#include "voice/TorvanelSynthVoice.h"
#include "voice/TorvanelSynthesiser.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

namespace
{
constexpr double sampleRate = 48000.0;
using Clock = std::chrono::steady_clock;

double nanosecondsSince (Clock::time_point start)
{
    return std::chrono::duration<double, std::nano> (Clock::now() - start).count();
}

struct Figures
{
    double median, worst;
};

Figures summarise (std::vector<double> samples)
{
    std::sort (samples.begin(), samples.end());
    return { samples[samples.size() / 2], samples.back() };
}

// A busy sound: FM, feedback, resonance, drive, a looping pitch envelope and a long release.
void setBusySound (PartVoiceSettings& s)
{
    s.fm.carrierFrequency = 110.0f;
    s.fm.modulatorFrequency = 1370.0f;
    s.fm.fmDepth = 0.4f;
    s.fm.feedbackAmount = 0.5f;
    s.filter.cutoff = 3000.0f;
    s.filter.resonance = 0.6f;
    s.filter.modDepth = 0.5f;
    s.pitchEnv.depth = 0.3f;
    s.pitchEnv.loop = true;
    s.pitchEnv.release = 80.0f;
    s.ampEnv.attack = 1.0f;
    s.ampEnv.release = 2000.0f;
    s.driveGain = 10.0f;
}

Figures benchmarkOneVoice()
{
    TorvanelSynthesiser synth;
    auto* voice = new TorvanelSynthVoice();
    synth.addVoice (voice);
    synth.addSound (new TorvanelSynthSound());
    synth.setCurrentPlaybackSampleRate (sampleRate);

    TorvanelSynthVoice::AllPartSettings settings {};
    for (auto& part : settings)
        setBusySound (part);
    voice->setPartSettings (settings);

    const int blockSize = 512;
    juce::AudioBuffer<float> buffer (12, blockSize);
    std::vector<double> perSample;
    for (int run = -20; run < 400; ++run)
    {
        juce::MidiBuffer midi;
        midi.addEvent (juce::MidiMessage::noteOn (1, 60, 1.0f), 0);
        synth.renderNextBlock (buffer, midi, 0, blockSize); // start the hit outside the timing
        buffer.clear();
        const auto start = Clock::now();
        synth.renderNextBlock (buffer, {}, 0, blockSize);
        if (run >= 0) // the first runs warm the caches
            perSample.push_back (nanosecondsSince (start) / blockSize);
    }
    return summarise (perSample);
}

Figures benchmarkProcessBlock (int blockSize)
{
    TorvanelAudioProcessor processor;
    for (int part = 0; part < 12; ++part)
    {
        auto set = [&] (const char* base, float value)
        {
            auto* p = processor.parameters.getParameter (TorvanelAudioProcessor::createParamUID (base, part, 1).getParamID());
            p->setValueNotifyingHost (p->convertTo0to1 (value));
        };
        set ("FM_Depth", 40.0f);
        set ("Oscillator_Feedback", 50.0f);
        set ("Resonance", 60.0f);
        set ("Amp_Env_Release", 2000.0f);
        set ("Pitch_Env_Loop", 1.0f);
        set ("Pitch_Env_Depth", 30.0f);
        set ("Cutoff_Prob", 0.5f);
    }
    auto* polyphony = processor.parameters.getParameter ("polyphony");
    polyphony->setValueNotifyingHost (polyphony->convertTo0to1 (2.0f));
    processor.prepareToPlay (sampleRate, blockSize);

    juce::AudioBuffer<float> buffer (2, blockSize);
    juce::MidiBuffer midi;
    processor.processBlock (buffer, midi); // switch to sixteen voices
    for (int note = 36; note < 52; ++note)
        midi.addEvent (juce::MidiMessage::noteOn (1, note, 1.0f), 0);
    processor.processBlock (buffer, midi);
    midi.clear();
    for (int warmUp = 0; warmUp < 20; ++warmUp)
        processor.processBlock (buffer, midi);

    // Sixteen hits of two seconds: keep the measurement well inside them.
    const int blocks = juce::jmin (2000, (int) (1.5 * sampleRate / blockSize));
    std::vector<double> times;
    for (int b = 0; b < blocks; ++b)
    {
        const auto start = Clock::now();
        processor.processBlock (buffer, midi);
        times.push_back (nanosecondsSince (start));
    }
    return summarise (times);
}
} // namespace

int main()
{
    juce::ScopedJuceInitialiser_GUI juce;

    const auto voice = benchmarkOneVoice();
    std::printf ("one voice, 48 kHz: median %.1f ns/sample, worst %.1f ns/sample\n", voice.median, voice.worst);

    for (int blockSize : { 64, 512 })
    {
        const auto block = benchmarkProcessBlock (blockSize);
        const double budget = 1.0e9 * blockSize / sampleRate;
        std::printf ("processBlock %d samples, 16 voices, 48 kHz: median %.1f us, worst %.1f us "
                     "(%.1f%% / %.1f%% of the %.0f us real-time budget)\n",
                     blockSize, block.median / 1000.0, block.worst / 1000.0, 100.0 * block.median / budget,
                     100.0 * block.worst / budget, budget / 1000.0);
    }
    return 0;
}
