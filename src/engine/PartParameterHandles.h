#pragma once

#include <atomic>

// One part's cached value handles: plain float reads on the audio thread, no lock.
struct PartParameterHandles
{
    using Handle = std::atomic<float>*;

    Handle carrierFreq = nullptr, carrierFreqProb = nullptr;
    Handle modulatorFreq = nullptr, modulatorFreqProb = nullptr;
    Handle fmDepth = nullptr, fmDepthProb = nullptr;
    Handle oscillatorFeedback = nullptr, oscillatorFeedbackProb = nullptr;
    Handle tunedMode = nullptr;
    Handle carrierNote = nullptr, carrierNoteProb = nullptr, carrierCents = nullptr;
    Handle modulatorNote = nullptr, modulatorNoteProb = nullptr, modulatorCents = nullptr;
    Handle oscillatorFeedbackMode = nullptr;
    Handle cutoff = nullptr, cutoffProb = nullptr;
    Handle resonance = nullptr, resonanceProb = nullptr;
    Handle filterMode = nullptr;
    Handle filterModDepth = nullptr, filterModDepthProb = nullptr;
    Handle ampEnvAttack = nullptr, ampEnvAttackProb = nullptr;
    Handle ampEnvRelease = nullptr, ampEnvReleaseProb = nullptr;
    Handle ampEnvAttackCurve = nullptr, ampEnvAttackCurveProb = nullptr;
    Handle ampEnvReleaseCurve = nullptr, ampEnvReleaseCurveProb = nullptr;
    Handle pitchEnvRelease = nullptr, pitchEnvReleaseProb = nullptr;
    Handle pitchEnvReleaseCurve = nullptr, pitchEnvReleaseCurveProb = nullptr;
    Handle pitchEnvLoop = nullptr;
    Handle pitchEnvDepth = nullptr, pitchEnvDepthProb = nullptr;
    Handle level = nullptr, pan = nullptr;
    Handle triggerProbability = nullptr, velocityTracking = nullptr;
    Handle solo = nullptr, mute = nullptr;
    Handle velocityRandomAmount = nullptr, drive = nullptr;
};
