#pragma once

#include "engine/PluginProcessor.h"

// One processor shared by all inputs of a fuzz run: building one per input would make the
// run far slower without reaching more code.
TorvanelAudioProcessor& sharedProcessor();
