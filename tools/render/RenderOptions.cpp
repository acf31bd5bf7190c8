#include "RenderOptions.h"

namespace torvanel::render
{
namespace
{
bool isWholeNumber (const juce::String& text)
{
    return text.isNotEmpty() && text.trimCharactersAtStart ("-").containsOnly ("0123456789");
}

bool isNumber (const juce::String& text)
{
    return text.isNotEmpty() && text.trimCharactersAtStart ("-+").containsOnly ("0123456789.eE-+")
           && text.containsAnyOf ("0123456789");
}
} // namespace

juce::String usage()
{
    return "usage: torvanel-render [--midi FILE.mid] [--note NOTE[@SECONDS][:VELOCITY]]... [--kit NAME|FILE]\n"
           "                       [--sound PART=NAME|FILE]... [--set ID=VALUE]... --out FILE.wav [--stems]\n"
           "                       [--sample-rate HZ] [--block-size N] [--bits 16|24|32] [--length SECONDS]\n"
           "                       [--seed N] [--save-kit FILE]\n"
           "       torvanel-render --list-kits | --list-sounds | --list-params\n";
}

int parsePart (const juce::String& text)
{
    if (isWholeNumber (text))
    {
        const int index = text.getIntValue();
        return juce::isPositiveAndBelow (index, 12) ? index : -1;
    }
    static const char* const sharps[] = { "C", "C#", "D", "D#", "E", "F", "F#", "G", "G#", "A", "A#", "B" };
    static const char* const flats[] = { "C", "Db", "D", "Eb", "E", "F", "Gb", "G", "Ab", "A", "Bb", "B" };
    for (int i = 0; i < 12; ++i)
        if (text.equalsIgnoreCase (sharps[i]) || text.equalsIgnoreCase (flats[i]))
            return i;
    return -1;
}

bool parseNote (const juce::String& text, NoteEvent& note)
{
    auto rest = text;
    juce::String velocityText, timeText;
    if (rest.containsChar (':'))
    {
        velocityText = rest.fromLastOccurrenceOf (":", false, false);
        rest = rest.upToLastOccurrenceOf (":", false, false);
    }
    if (rest.containsChar ('@'))
    {
        timeText = rest.fromFirstOccurrenceOf ("@", false, false);
        rest = rest.upToFirstOccurrenceOf ("@", false, false);
    }
    if (! isWholeNumber (rest) || (timeText.isNotEmpty() && ! isNumber (timeText))
        || (velocityText.isNotEmpty() && ! isWholeNumber (velocityText)) || (text.containsChar (':') && velocityText.isEmpty())
        || (text.containsChar ('@') && timeText.isEmpty()))
        return false;

    note.note = rest.getIntValue();
    note.seconds = timeText.isNotEmpty() ? timeText.getDoubleValue() : 0.0;
    note.velocity = velocityText.isNotEmpty() ? velocityText.getIntValue() : 127;
    return juce::isPositiveAndBelow (note.note, 128) && note.seconds >= 0.0 && note.seconds < 24.0 * 3600.0
           && note.velocity >= 1 && note.velocity <= 127;
}

ParseResult parseCommandLine (const juce::StringArray& args)
{
    ParseResult result;
    auto& o = result.options;
    auto fail = [&] (const juce::String& message) { result.error = message; return result; };

    for (int i = 0; i < args.size(); ++i)
    {
        const auto& arg = args[i];
        auto needsValue = [&] { return i + 1 < args.size(); };
        auto takeValue = [&] { return args[++i]; };

        if (arg == "--help" || arg == "-h") { o.help = true; continue; }
        if (arg == "--stems") { o.stems = true; continue; }
        if (arg == "--list-kits") { o.listKits = true; continue; }
        if (arg == "--list-sounds") { o.listSounds = true; continue; }
        if (arg == "--list-params") { o.listParams = true; continue; }

        static const juce::StringArray valued { "--midi", "--note", "--kit", "--sound", "--set", "--out", "--sample-rate",
                                                "--block-size", "--bits", "--length", "--seed", "--save-kit" };
        if (! valued.contains (arg))
            return fail ("unknown option: " + arg);
        if (! needsValue())
            return fail (arg + " needs a value");
        const auto value = takeValue();

        if (arg == "--midi") o.midiFile = value;
        else if (arg == "--out") o.outFile = value;
        else if (arg == "--kit") o.kit = value;
        else if (arg == "--save-kit") o.saveKitFile = value;
        else if (arg == "--note")
        {
            NoteEvent note;
            if (! parseNote (value, note))
                return fail ("--note takes NOTE[@SECONDS][:VELOCITY] with a note of 0 to 127 and a velocity of 1 to 127: " + value);
            o.notes.push_back (note);
        }
        else if (arg == "--sound")
        {
            const int part = parsePart (value.upToFirstOccurrenceOf ("=", false, false));
            const auto what = value.fromFirstOccurrenceOf ("=", false, false);
            if (! value.containsChar ('=') || part < 0 || what.isEmpty())
                return fail ("--sound takes PART=NAME|FILE with PART as C, C#, ... B or 0 to 11: " + value);
            o.sounds.push_back ({ part, what });
        }
        else if (arg == "--set")
        {
            const auto id = value.upToFirstOccurrenceOf ("=", false, false);
            const auto number = value.fromFirstOccurrenceOf ("=", false, false);
            if (! value.containsChar ('=') || id.isEmpty() || ! isNumber (number))
                return fail ("--set takes ID=VALUE with a number: " + value);
            o.settings.push_back ({ id, number.getFloatValue() });
        }
        else if (arg == "--sample-rate")
        {
            o.sampleRate = value.getDoubleValue();
            if (! isNumber (value) || o.sampleRate < 8000.0 || o.sampleRate > 384000.0)
                return fail ("--sample-rate takes a rate from 8000 to 384000 Hz: " + value);
        }
        else if (arg == "--block-size")
        {
            o.blockSize = value.getIntValue();
            if (! isWholeNumber (value) || o.blockSize < 1 || o.blockSize > 65536)
                return fail ("--block-size takes 1 to 65536 samples: " + value);
        }
        else if (arg == "--bits")
        {
            o.bits = value.getIntValue();
            if (value != "16" && value != "24" && value != "32")
                return fail ("--bits takes 16, 24 or 32: " + value);
        }
        else if (arg == "--length")
        {
            o.lengthSeconds = value.getDoubleValue();
            if (! isNumber (value) || o.lengthSeconds <= 0.0 || o.lengthSeconds > 24.0 * 3600.0)
                return fail ("--length takes a positive number of seconds: " + value);
        }
        else if (arg == "--seed")
        {
            if (! isWholeNumber (value))
                return fail ("--seed takes a whole number: " + value);
            o.hasSeed = true;
            o.seed = value.getLargeIntValue();
        }
    }

    const bool listing = o.listKits || o.listSounds || o.listParams;
    if (! o.help && ! listing && o.outFile.isEmpty() && o.saveKitFile.isEmpty())
        return fail ("nothing to do: give --out FILE.wav, --save-kit FILE or a --list option");
    if (o.outFile.isNotEmpty() && o.midiFile.isEmpty() && o.notes.empty())
        return fail ("nothing to play: give --midi FILE.mid or --note NOTE");
    return result;
}
} // namespace torvanel::render
