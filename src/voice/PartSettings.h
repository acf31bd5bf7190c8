#pragma once

// Per-part sound settings that the processor writes into every voice before each block.
// Units are the voice's own (Hz, ms, fractions); the conversions live in the processor.

// A probability companion as the voice uses it: how far a hit may stray (0 to 1) and in
// which direction (non-zero after truncation means upward).
struct ProbSetting
{
    float probability = 0.0f;
    float direction = 1.0f;

    bool isUpward() const noexcept { return static_cast<int> (direction) != 0; }
};

struct PartFmSettings
{
    float carrierFrequency = 220.0f;
    float modulatorFrequency = 220.0f;
    float fmDepth = 0.0f;
    float feedbackAmount = 0.0f;
    bool tunedMode = false;
    float carrierNote = 36.0f;
    float carrierFineTune = 0.0f;
    float modulatorNote = 36.0f;
    float modulatorFineTune = 0.0f;
    int feedbackMode = 0;
    ProbSetting carrierFrequencyProb, modulatorFrequencyProb, fmDepthProb, feedbackProb,
        carrierNoteProb, modulatorNoteProb;
};

struct PartAmpEnvSettings
{
    float attack = 10.0f;
    float release = 200.0f;
    float attackCurve = 1.0f;
    float releaseCurve = 1.0f;
    ProbSetting attackProb, releaseProb, attackCurveProb, releaseCurveProb;
};

struct PartFilterSettings
{
    float cutoff = 11000.0f;
    float resonance = 0.0f;
    int filterMode = 0;
    float modDepth = 0.0f;
    ProbSetting cutoffProb, resonanceProb, modDepthProb;
};

struct PartPitchEnvSettings
{
    float release = 200.0f;
    float curve = 1.0f;
    bool loop = false;
    float depth = 0.0f;
    ProbSetting releaseProb, curveProb, depthProb;
};

// Everything the processor hands to a voice for one part.
struct PartVoiceSettings
{
    PartFmSettings fm;
    PartAmpEnvSettings ampEnv;
    PartFilterSettings filter;
    PartPitchEnvSettings pitchEnv;
    float triggerProbability = 1.0f;
    bool velocityTracking = false;
    float randomVelocityAmount = 0.0f;
    float driveGain = 1.0f;
};
