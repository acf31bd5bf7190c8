#include "OfflineRenderer.h"

#include "engine/PluginProcessor.h"
#include "pgrn/presets/SafeXml.h"
#include "presets/PresetsManager.h"
#include "presets/SoundPreset.h"
#include "voice/TorvanelSynthVoice.h"

#include <juce_audio_formats/juce_audio_formats.h>

#include <unistd.h>

namespace torvanel::render
{
namespace
{
constexpr double dcFilterTailSeconds = 0.2;
constexpr double longestRenderSeconds = 24.0 * 3600.0;

struct Failure
{
    int code;
    juce::String message;
};

struct TimedMessage
{
    double seconds;
    juce::MidiMessage message;
};

juce::File resolve (const juce::String& path)
{
    return juce::File::getCurrentWorkingDirectory().getChildFile (path);
}

void loadKit (TorvanelAudioProcessor& processor, const juce::String& kit)
{
    const int factoryIndex = processor.kitLibrary.indexOf (kit);
    if (factoryIndex >= 0)
    {
        processor.loadFactoryKit (factoryIndex);
    }
    else
    {
        const auto file = resolve (kit);
        if (! file.existsAsFile())
            throw Failure { inputError, "no factory kit or kit file named " + kit };
        if (PresetsManager::loadPreset (file, processor.parameters).failed())
            throw Failure { inputError, "not a readable kit file: " + file.getFullPathName() };
        processor.currentKitName = file.getFileNameWithoutExtension();
    }

    processor.refreshPartSoundNamesFromState();
}

void loadSound (TorvanelAudioProcessor& processor, const SoundChoice& choice)
{
    std::unique_ptr<juce::XmlElement> fromFile;
    const juce::XmlElement* element = processor.soundLibrary.getElement (processor.soundLibrary.indexOf (choice.nameOrFile));
    if (element == nullptr)
    {
        const auto file = resolve (choice.nameOrFile);
        if (! file.existsAsFile())
            throw Failure { inputError, "no factory sound or sound file named " + choice.nameOrFile };
        fromFile = pgrn::SafeXml::parse (file);
        if (! SoundPreset::isSoundElement (fromFile.get()))
            throw Failure { inputError, "not a readable sound file: " + file.getFullPathName() };
        element = fromFile.get();
    }
    SoundPreset::applyToPart (element, choice.part, processor.parameters, processor.partSoundNames, false);
}

void applySetting (TorvanelAudioProcessor& processor, const ParameterSetting& setting)
{
    auto* parameter = processor.parameters.getParameter (setting.id);
    if (parameter == nullptr)
        throw Failure { inputError, "unknown parameter identifier: " + setting.id };
    const auto& range = parameter->getNormalisableRange();
    if (setting.value < range.start || setting.value > range.end)
        throw Failure { inputError, "value " + juce::String (setting.value) + " is outside " + setting.id + "'s range "
                                        + juce::String (range.start) + " to " + juce::String (range.end) };
    parameter->setValueNotifyingHost (parameter->convertTo0to1 (setting.value));
}

std::vector<TimedMessage> collectEvents (const RenderOptions& options)
{
    std::vector<TimedMessage> events;
    if (options.midiFile.isNotEmpty())
    {
        const auto file = resolve (options.midiFile);
        juce::FileInputStream stream (file);
        juce::MidiFile midi;
        if (! stream.openedOk())
            throw Failure { inputError, "cannot open MIDI file: " + file.getFullPathName() };
        if (! midi.readFrom (stream) || midi.getTimeFormat() == 0)
            throw Failure { inputError, "not a readable Standard MIDI File: " + file.getFullPathName() };
        midi.convertTimestampTicksToSeconds();
        for (int t = 0; t < midi.getNumTracks(); ++t)
            for (const auto* holder : *midi.getTrack (t))
                if (! holder->message.isMetaEvent() && ! holder->message.isSysEx())
                    events.push_back ({ juce::jmax (0.0, holder->message.getTimeStamp()), holder->message });
    }
    for (const auto& note : options.notes)
        events.push_back ({ note.seconds, juce::MidiMessage::noteOn (1, note.note, (juce::uint8) note.velocity) });

    std::stable_sort (events.begin(), events.end(), [] (auto& a, auto& b) { return a.seconds < b.seconds; });
    if (! events.empty() && events.back().seconds > longestRenderSeconds)
        throw Failure { inputError, "the MIDI input lasts longer than a day" };
    return events;
}

// One WAV file being written through a temporary file, moved into place when complete.
struct WavTarget
{
    juce::File target;
    juce::TemporaryFile temporary;
    std::unique_ptr<juce::AudioFormatWriter> writer;
    int firstChannel;

    WavTarget (const juce::File& file, int channel, double rate, int bits)
        : target (file), temporary (file), firstChannel (channel)
    {
        auto stream = temporary.getFile().createOutputStream();
        if (stream == nullptr)
            throw Failure { writeFailure, "cannot write " + file.getFullPathName() };
        juce::WavAudioFormat wav;
        writer.reset (wav.createWriterFor (stream.get(), rate, 2, bits, {}, 0));
        if (writer == nullptr)
            throw Failure { writeFailure, "cannot write " + file.getFullPathName() };
        stream.release(); // the writer owns it now
    }

    void write (const juce::AudioBuffer<float>& block)
    {
        const float* channels[] = { block.getReadPointer (firstChannel), block.getReadPointer (firstChannel + 1) };
        if (! writer->writeFromFloatArrays (channels, 2, block.getNumSamples()))
            throw Failure { writeFailure, "cannot write " + target.getFullPathName() };
    }

    void finish()
    {
        writer.reset();
        if (! temporary.overwriteTargetFileWithTemporary())
            throw Failure { writeFailure, "cannot write " + target.getFullPathName() };
    }
};

std::vector<std::unique_ptr<WavTarget>> openTargets (TorvanelAudioProcessor& processor, const RenderOptions& options)
{
    std::vector<std::unique_ptr<WavTarget>> targets;
    const auto out = resolve (options.outFile);
    if (! options.stems)
    {
        targets.push_back (std::make_unique<WavTarget> (out, 0, options.sampleRate, options.bits));
        return targets;
    }
    for (int bus = 0; bus < TorvanelAudioProcessor::numParts; ++bus)
    {
        const auto name = bus == 0 ? juce::String ("MAIN") : processor.getBus (false, bus)->getName();
        const auto file = out.getSiblingFile (out.getFileNameWithoutExtension() + "-" + name + out.getFileExtension());
        targets.push_back (std::make_unique<WavTarget> (
            file, processor.getChannelIndexInProcessBlockBuffer (false, bus, 0), options.sampleRate, options.bits));
    }
    return targets;
}

bool anyVoiceSounding (TorvanelAudioProcessor& processor)
{
    for (int i = 0; i < processor.synth.getNumVoices(); ++i)
        if (static_cast<TorvanelSynthVoice*> (processor.synth.getVoice (i))->isSounding())
            return true;
    return false;
}

class Progress
{
public:
    explicit Progress (double expectedSeconds) : enabled (isatty (STDERR_FILENO) && expectedSeconds > 20.0) {}

    void show (std::ostream& err, double fraction)
    {
        const int percent = juce::jlimit (0, 100, (int) (fraction * 100.0));
        if (! enabled || percent == lastPercent)
            return;
        lastPercent = percent;
        err << "\r[" << std::string ((size_t) percent / 2, '#') << std::string (50 - (size_t) percent / 2, ' ') << "] "
            << percent << "%" << std::flush;
    }

    void done (std::ostream& err)
    {
        if (enabled && lastPercent >= 0)
            err << "\n";
    }

private:
    bool enabled;
    int lastPercent = -1;
};

void render (TorvanelAudioProcessor& processor, const RenderOptions& options, const std::vector<TimedMessage>& events,
             std::vector<std::unique_ptr<WavTarget>>& targets, std::ostream& err)
{
    const double rate = options.sampleRate;
    const int blockSize = options.blockSize;
    const auto lastEventSample = events.empty() ? (juce::int64) 0 : (juce::int64) std::llround (events.back().seconds * rate);
    const auto fixedLength = options.lengthSeconds > 0.0 ? (juce::int64) std::llround (options.lengthSeconds * rate) : (juce::int64) -1;
    const auto tailSamples = (juce::int64) std::llround (dcFilterTailSeconds * rate);
    const auto longest = (juce::int64) (longestRenderSeconds * rate);

    juce::AudioBuffer<float> block (processor.getTotalNumOutputChannels(), blockSize);
    juce::MidiBuffer midi;
    size_t nextEvent = 0;
    juce::int64 position = 0, silentSince = -1;
    Progress progress (fixedLength > 0 ? options.lengthSeconds : events.empty() ? 0.0 : events.back().seconds);

    for (;;)
    {
        juce::int64 length = blockSize;
        if (fixedLength >= 0)
            length = juce::jmin (length, fixedLength - position);
        if (length <= 0)
            break;

        midi.clear();
        while (nextEvent < events.size())
        {
            const auto at = (juce::int64) std::llround (events[nextEvent].seconds * rate);
            if (at >= position + length)
                break;
            midi.addEvent (events[nextEvent].message, (int) (at - position));
            ++nextEvent;
        }

        block.setSize (block.getNumChannels(), (int) length, false, false, true);
        processor.processBlock (block, midi);
        for (auto& target : targets)
            target->write (block);
        position += length;
        progress.show (err, fixedLength > 0 ? (double) position / (double) fixedLength
                                            : (double) position / (double) juce::jmax ((juce::int64) 1, lastEventSample));

        if (fixedLength < 0)
        {
            // Until the last hit has ended, then the DC filter's tail.
            const bool finished = nextEvent >= events.size() && ! anyVoiceSounding (processor);
            if (finished && silentSince < 0)
                silentSince = position;
            if ((silentSince >= 0 && position - silentSince >= tailSamples) || position >= longest)
                break;
        }
    }
    progress.done (err);
}

void listKits (TorvanelAudioProcessor& processor, std::ostream& out)
{
    for (const auto& name : processor.kitLibrary.getNames())
        out << name << "\n";
}

void listSounds (TorvanelAudioProcessor& processor, std::ostream& out)
{
    for (const auto& name : processor.soundLibrary.getNames())
        out << name << "\n";
}

void listParams (TorvanelAudioProcessor& processor, std::ostream& out)
{
    const auto& all = processor.getParameters();
    for (int i = 0; i < all.size(); ++i)
    {
        auto* p = dynamic_cast<juce::RangedAudioParameter*> (all[i]);
        const auto& range = p->getNormalisableRange();
        out << i << "\t" << p->getParameterID() << "\t" << p->getName (1024) << "\t" << range.start << "\t" << range.end
            << "\t" << p->convertFrom0to1 (p->getDefaultValue()) << "\t" << p->getLabel() << "\n";
    }
}
} // namespace

int run (const RenderOptions& options, std::ostream& out, std::ostream& err)
{
    try
    {
        TorvanelAudioProcessor processor;
        if (options.listKits || options.listSounds || options.listParams)
        {
            if (options.listKits) listKits (processor, out);
            if (options.listSounds) listSounds (processor, out);
            if (options.listParams) listParams (processor, out);
            return success;
        }

        const auto events = collectEvents (options);
        if (options.kit.isNotEmpty())
            loadKit (processor, options.kit);
        for (const auto& sound : options.sounds)
            loadSound (processor, sound);
        for (const auto& setting : options.settings)
            applySetting (processor, setting);

        if (options.saveKitFile.isNotEmpty())
        {
            processor.parameters.state.setProperty ("Kit_Name", processor.currentKitName, nullptr);
            const auto result = PresetsManager::savePreset (processor.parameters.copyState(), resolve (options.saveKitFile));
            if (result.failed())
                throw Failure { writeFailure, result.getErrorMessage() + " (" + options.saveKitFile + ")" };
        }
        if (options.outFile.isEmpty())
            return success;

        processor.multiOutEnabled = options.stems;
        processor.prepareToPlay (options.sampleRate, options.blockSize);
        juce::AudioBuffer<float> settle (processor.getTotalNumOutputChannels(), 0);
        juce::MidiBuffer none;
        processor.processBlock (settle, none); // builds the voices the polyphony setting asks for
        if (options.hasSeed)
        {
            processor.seedVoiceGenerators (options.seed);
            processor.randomizer.setSeed (options.seed);
        }

        auto targets = openTargets (processor, options);
        render (processor, options, events, targets, err);
        for (auto& target : targets)
            target->finish();
        for (auto& target : targets)
            out << target->target.getFullPathName() << "\n";
        return success;
    }
    catch (const Failure& failure)
    {
        err << "torvanel-render: " << failure.message << "\n";
        return failure.code;
    }
}
} // namespace torvanel::render
