#include "voice/TorvanelSynthVoice.h"

#include <algorithm>
#include <cmath>

namespace
{
constexpr double twoPi = juce::MathConstants<double>::twoPi;
constexpr float maxCutoff = 18000.0f;
constexpr float minCutoff = 40.0f;
constexpr float pitchSweepTarget = 3000.0f;
constexpr float maxFmDeviation = 3000.0f;

float noteToFrequency (float note)
{
    return static_cast<float> (440.0 * std::pow (2.0, (static_cast<double> (note) - 69.0) / 12.0));
}
} // namespace

TorvanelSynthVoice::TorvanelSynthVoice()
{
    for (size_t n = 0; n < noteToPart.size(); ++n)
        noteToPart[n] = static_cast<int> (n % 12);

    randomVelocityFactor.fill (1.0f);
    random.setSeedRandomly();
}

void TorvanelSynthVoice::setCurrentPlaybackSampleRate (double newRate)
{
    juce::SynthesiserVoice::setCurrentPlaybackSampleRate (newRate);

    if (newRate > 0.0)
    {
        ampEnvelope.setSampleRate (newRate);
        pitchEnvelope.setSampleRate (newRate);
    }

    // reset() also snaps each smoother to its target.
    const int rampLength = static_cast<int> (std::floor (newRate * 0.06));
    cutoffSmoother.reset (rampLength);
    resonanceSmoother.reset (rampLength);
    driveSmoother.reset (rampLength);
}

void TorvanelSynthVoice::clearFilterAndFeedback() noexcept
{
    filterS1 = 0.0f;
    filterS2 = 0.0f;
    feedbackMemory = 0.0;
}

void TorvanelSynthVoice::startNote (int midiNoteNumber, float velocity, juce::SynthesiserSound*, int)
{
    const int part = (midiNoteNumber >= 0 && midiNoteNumber < 128) ? noteToPart[(size_t) midiNoteNumber] : 0;
    currentPart = part;

    const auto& s = parts[(size_t) part];
    if (! (s.triggerProbability > random.nextFloat()))
        return;

    carrierPhase = 0.0;
    modulatorPhase = 0.0;
    noteVelocity = velocity;

    drawHitOffsets (part);
    const auto& o = offsets[(size_t) part];

    cutoffSmoother.setCurrentAndTargetValue (s.filter.cutoff + o.cutoff);
    resonanceSmoother.setCurrentAndTargetValue (s.filter.resonance + o.resonance);
    driveSmoother.setCurrentAndTargetValue (s.driveGain);

    ampEnvelope.setAttackTime (s.ampEnv.attack + o.attack);
    ampEnvelope.setReleaseTime (s.ampEnv.release + o.release);
    ampEnvelope.setAttackCurve (s.ampEnv.attackCurve + o.attackCurve);
    ampEnvelope.setReleaseCurve (s.ampEnv.releaseCurve + o.releaseCurve);
    ampEnvelope.start();

    pitchEnvelope.setReleaseTime (s.pitchEnv.release + o.pitchRelease);
    pitchEnvelope.setCurve (s.pitchEnv.curve + o.pitchCurve);
    pitchEnvelope.setLoop (s.pitchEnv.loop);
    pitchEnvelope.start();
}

float TorvanelSynthVoice::drawOffset (float value, float low, float high, const ProbSetting& prob) noexcept
{
    const float q = prob.probability;
    if (! (q > 0.01f))
        return 0.0f;

    const float r = random.nextFloat();
    return prob.isUpward() ? r * ((high - value) * q)
                           : q * (-(value - low)) * r;
}

void TorvanelSynthVoice::drawHitOffsets (int part) noexcept
{
    const auto& s = parts[(size_t) part];
    auto& o = offsets[(size_t) part];

    randomVelocityFactor[(size_t) part] = std::clamp (1.0f - random.nextFloat() * s.randomVelocityAmount, 0.0f, 1.0f);

    // The draw order is fixed: each row's draw depends on every earlier row's probability.
    o.carrierFrequency = drawOffset (s.fm.carrierFrequency, 20.0f, 3000.0f, s.fm.carrierFrequencyProb);
    o.modulatorFrequency = drawOffset (s.fm.modulatorFrequency, 20.0f, 3000.0f, s.fm.modulatorFrequencyProb);
    o.carrierNote = drawOffset (s.fm.carrierNote, 0.0f, 127.0f, s.fm.carrierNoteProb);
    o.modulatorNote = drawOffset (s.fm.modulatorNote, 0.0f, 127.0f, s.fm.modulatorNoteProb);
    o.fmDepth = drawOffset (s.fm.fmDepth, 0.0f, 1.0f, s.fm.fmDepthProb);
    o.feedback = drawOffset (s.fm.feedbackAmount, 0.0f, 0.99f, s.fm.feedbackProb);
    o.attack = drawOffset (s.ampEnv.attack, 1.0f, 500.0f, s.ampEnv.attackProb);
    o.release = drawOffset (s.ampEnv.release, 1.0f, 2000.0f, s.ampEnv.releaseProb);
    o.attackCurve = drawOffset (s.ampEnv.attackCurve, 1.0f, 40.0f, s.ampEnv.attackCurveProb);
    o.releaseCurve = drawOffset (s.ampEnv.releaseCurve, 1.0f, 40.0f, s.ampEnv.releaseCurveProb);
    o.cutoff = drawOffset (s.filter.cutoff, minCutoff, maxCutoff, s.filter.cutoffProb);
    o.resonance = drawOffset (s.filter.resonance, 0.0f, 1.0f, s.filter.resonanceProb);
    o.modDepth = drawOffset (s.filter.modDepth, -1.0f, 1.0f, s.filter.modDepthProb);
    o.pitchDepth = drawOffset (s.pitchEnv.depth, 0.0f, 1.0f, s.pitchEnv.depthProb);
    o.pitchRelease = drawOffset (s.pitchEnv.release, 1.0f, 2000.0f, s.pitchEnv.releaseProb);
    o.pitchCurve = drawOffset (s.pitchEnv.curve, 1.0f, 40.0f, s.pitchEnv.curveProb);
}

void TorvanelSynthVoice::stopNote (float, bool allowTailOff)
{
    // Hits always play out their envelopes; a hard stop only hands the voice back.
    if (! allowTailOff)
        clearCurrentNote();
}

void TorvanelSynthVoice::computeBaseFrequencies (const PartVoiceSettings& s, const HitOffsets& o,
                                                 float& fc, float& fm) const noexcept
{
    if (s.fm.tunedMode)
    {
        fc = noteToFrequency (s.fm.carrierNote + o.carrierNote + s.fm.carrierFineTune);
        fm = noteToFrequency (s.fm.modulatorNote + o.modulatorNote + s.fm.modulatorFineTune);
    }
    else
    {
        fc = s.fm.carrierFrequency + o.carrierFrequency;
        fm = s.fm.modulatorFrequency + o.modulatorFrequency;
    }
}

float TorvanelSynthVoice::processFilter (float input, float cutoffHz, float resonance, int mode, float sampleTime) noexcept
{
    // Topology-preserving state-variable filter whose band-pass integrator saturates.
    const float clampedResonance = std::clamp (resonance, 0.0f, 1.0f);
    const float q = 0.5f + 9.5f * clampedResonance * clampedResonance;
    const double t = sampleTime;
    const double rD = 1.0 / (2.0 * q);
    const double gD = std::tan (twoPi * cutoffHz * t / 2.0) * (2.0 / t) * (t / 2.0);
    const auto g = static_cast<float> (gD);
    const auto h = static_cast<float> (1.0 / (1.0 + 2.0 * rD * gD + gD * gD));
    const auto damping = static_cast<float> (2.0 * rD + gD);

    const float hp = (input - damping * filterS1 - filterS2) * h;
    const float bp = std::tanh (1.05f * (filterS1 + g * hp));
    const float lp = filterS2 + g * bp;
    filterS1 = g * hp + bp;
    filterS2 = g * bp + lp;

    switch (mode)
    {
        case 0: return lp;
        case 1: return hp;
        case 2: return bp;
        case 3: return 0.5f * hp + 0.5f * lp;
        default: return 0.0f;
    }
}

void TorvanelSynthVoice::renderNextBlock (juce::AudioBuffer<float>& output, int startSample, int numSamples)
{
    const int p = currentPart;
    const auto& s = parts[(size_t) p];
    const auto& o = offsets[(size_t) p];

    cutoffSmoother.setTargetValue (s.filter.cutoff + o.cutoff);
    resonanceSmoother.setTargetValue (s.filter.resonance + o.resonance);
    driveSmoother.setTargetValue (s.driveGain);

    float fc = 0.0f, fm = 0.0f;
    computeBaseFrequencies (s, o, fc, fm);

    if (numSamples <= 0 || p >= output.getNumChannels())
        return;

    const float pitchSweep = (pitchSweepTarget - fc) * (s.pitchEnv.depth + o.pitchDepth);
    const float modDepth = s.filter.modDepth + o.modDepth;
    const float deviation = maxFmDeviation * (s.fm.fmDepth + o.fmDepth);
    const float feedbackGain = fm * (s.fm.feedbackAmount + o.feedback);
    const double sampleTime = 1.0 / getSampleRate();
    const auto sampleTimeF = static_cast<float> (sampleTime);
    const float modDepthSquared = modDepth * modDepth;
    // The filter's tangent turns over at half the sample rate; below 36 kHz the 18 kHz limit
    // would pass it and the filter would blow up, so the cutoff also stays under Nyquist.
    const float cutoffLimit = juce::jmin (maxCutoff, static_cast<float> (0.49 * getSampleRate()));

    float* out = output.getWritePointer (p);

    for (int i = 0; i < numSamples; ++i)
    {
        if (ampEnvelope.isFinished())
        {
            clearCurrentNote();
            return;
        }

        const float pitchValue = pitchEnvelope.getNextValue();
        const float m = pitchEnvelope.isFinished() ? 0.0f : std::clamp (pitchValue, 0.0f, 1.0f);
        const double fi = static_cast<double> (fc) + static_cast<double> (pitchSweep) * m;

        const double sM = std::sin (modulatorPhase);
        const double sC = std::sin (carrierPhase);

        carrierIncrement = twoPi * (fi + deviation * sM) * sampleTime;
        modulatorIncrement = twoPi * (fm + feedbackGain * feedbackMemory) * sampleTime;
        feedbackMemory = s.fm.feedbackMode == 0 ? sC : sM;

        float a = std::clamp (ampEnvelope.getNextValue(), 0.0f, 1.0f);
        if (s.velocityTracking)
            a *= noteVelocity;
        a *= randomVelocityFactor[(size_t) p];

        const float c = cutoffSmoother.getNextValue();
        const float r = resonanceSmoother.getNextValue();

        const float source = modDepth > 0.0f ? m : a;
        const float f = std::clamp (c + (maxCutoff - c) * modDepthSquared * source, minCutoff, cutoffLimit);

        const float y = processFilter (static_cast<float> (sC), f, r, s.filter.filterMode, sampleTimeF);
        const float d = driveSmoother.getNextValue();

        float sample = std::tanh (a * y * d);
        if (! std::isfinite (sample))
        {
            // A filter driven past its limits must not poison the mix: start it afresh.
            filterS1 = filterS2 = 0.0f;
            feedbackMemory = 0.0;
            sample = 0.0f;
        }
        out[startSample + i] += sample;

        carrierPhase += carrierIncrement;
        modulatorPhase += modulatorIncrement;
        if (carrierPhase > twoPi) carrierPhase -= twoPi;
        if (modulatorPhase > twoPi) modulatorPhase -= twoPi;
    }
}
