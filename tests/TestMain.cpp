// Test entry point: points HOME at a fresh temporary folder before anything reads it, so
// no test ever touches the real user's presets or settings, and starts JUCE headless.
#include <gtest/gtest.h>
#include <juce_events/juce_events.h>

#include <cstdlib>
#include <string>
#include <unistd.h>

int main (int argc, char** argv)
{
    std::string home = "/tmp/torvanel-test-home-XXXXXX";
    if (mkdtemp (home.data()) == nullptr)
        return 1;
    setenv ("HOME", home.c_str(), 1);

    ::testing::InitGoogleTest (&argc, argv);
    juce::ScopedJuceInitialiser_GUI juce;
    const int result = RUN_ALL_TESTS();

    juce::File (home).deleteRecursively();
    return result;
}
