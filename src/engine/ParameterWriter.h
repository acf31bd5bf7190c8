#pragma once

#include <juce_audio_processors/juce_audio_processors.h>

namespace torvanel
{
// A complete host-notified change of one parameter: gesture begin, value, gesture end.
// Some hosts mishandle gestures around bulk edits, so callers can leave the gesture out.
inline void writeNormalisedValue (juce::RangedAudioParameter& parameter, float normalisedValue, bool withGesture = true)
{
    if (withGesture)
        parameter.beginChangeGesture();
    parameter.setValueNotifyingHost (normalisedValue);
    if (withGesture)
        parameter.endChangeGesture();
}
} // namespace torvanel
