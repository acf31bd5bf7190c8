// torvanel-render: the instrument on the command line.
#include "OfflineRenderer.h"

#include <juce_events/juce_events.h>

#include <iostream>

int main (int argc, char** argv)
{
    juce::StringArray arguments;
    for (int i = 1; i < argc; ++i)
        arguments.add (juce::String::fromUTF8 (argv[i]));

    const auto parsed = torvanel::render::parseCommandLine (arguments);
    if (parsed.options.help)
    {
        std::cout << torvanel::render::usage();
        return 0;
    }
    if (parsed.error.isNotEmpty())
    {
        std::cerr << "torvanel-render: " << parsed.error << "\n" << torvanel::render::usage();
        return torvanel::render::usageError;
    }

    juce::ScopedJuceInitialiser_GUI juce;
    return torvanel::render::run (parsed.options, std::cout, std::cerr);
}
