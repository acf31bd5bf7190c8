#include "engine/ParameterRanges.h"

ParameterRanges::ParameterRanges()
    : frequencyRange (20.0f, 3000.0f, 0.1f, 0.3f),
      percentRange (0.0f, 100.0f, 0.1f, 0.5f),
      linearPercentRange (0.0f, 100.0f, 0.1f, 1.0f),
      attackRange (1.0f, 500.0f, 1.0f, 0.5f),
      releaseRange (1.0f, 2000.0f, 0.1f, 0.3f),
      curveRange (1.0f, 30.0f, 0.001f, 0.5f),
      cutoffRange (40.0f, 18000.0f, 0.1f, 0.25f),
      resonanceRange (0.0f, 100.0f, 0.1f, 0.6f),
      filterModeRange (0.0f, 3.0f, 1.0f, 1.0f),
      pitchReleaseRange (1.0f, 250.0f, 0.1f, 0.3f),
      probabilityRange (-1.0f, 1.0f, 0.001f, 1.0f),
      levelRange (-70.0f, 12.0f, 0.01f, 1.5f),
      bipolarPercentRange (-100.0f, 100.0f, 1.0f, 1.0f),
      switchRange (0.0f, 1.0f, 1.0f, 1.0f),
      driveRange (0.0f, 1.0f, 0.0001f, 0.3f)
{
}
