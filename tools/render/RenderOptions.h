#pragma once

#include <juce_core/juce_core.h>

#include <vector>

namespace torvanel::render
{
// A single note given on the command line: NOTE[@SECONDS][:VELOCITY].
struct NoteEvent
{
    int note = 60;
    double seconds = 0.0;
    int velocity = 127;
};

struct SoundChoice
{
    int part = 0;
    juce::String nameOrFile;
};

struct ParameterSetting
{
    juce::String id;
    float value = 0.0f;
};

struct RenderOptions
{
    juce::String midiFile;
    std::vector<NoteEvent> notes;
    juce::String kit;
    std::vector<SoundChoice> sounds;
    std::vector<ParameterSetting> settings;
    juce::String outFile;
    bool stems = false;
    double sampleRate = 48000.0;
    int blockSize = 512;
    int bits = 24;
    double lengthSeconds = -1.0; // until the last hit has ended
    bool hasSeed = false;
    juce::int64 seed = 0;
    juce::String saveKitFile;
    bool listKits = false, listSounds = false, listParams = false;
    bool help = false;
};

struct ParseResult
{
    RenderOptions options;
    juce::String error; // empty when the command line is usable
};

ParseResult parseCommandLine (const juce::StringArray& arguments);

// "C", "C#", "Db" … "B" or 0 to 11; -1 when it names no part.
int parsePart (const juce::String& text);

// NOTE[@SECONDS][:VELOCITY]; false when malformed or out of range.
bool parseNote (const juce::String& text, NoteEvent& note);

juce::String usage();
} // namespace torvanel::render
