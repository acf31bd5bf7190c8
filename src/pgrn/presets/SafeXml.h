#pragma once

#include <juce_core/juce_core.h>

namespace pgrn
{
// Parses XML from untrusted bytes (files, state blobs). The framework's parser reads past
// the end of malformed UTF-8, can loop forever on some malformed tags and recurses once
// per nesting level, so the bytes are checked first: valid UTF-8, strictly well-formed
// elements with one root, no document type declarations, bounded size and depth. Anything
// that fails a check gives null, like text that does not parse.
namespace SafeXml
{
    constexpr size_t maxBytes = 16 * 1024 * 1024;
    constexpr int maxDepth = 64;

    bool isAcceptable (const char* text, size_t size);

    // Numbers read from untrusted text. The framework's own conversions overflow signed
    // integers on long digit strings; these read the leading number the same way (0 when
    // there is none) but saturate instead.
    double parseNumber (const juce::String& text);
    int parseInteger (const juce::String& text);
    std::unique_ptr<juce::XmlElement> parse (const void* data, size_t size);
    std::unique_ptr<juce::XmlElement> parse (const juce::File& file);
} // namespace SafeXml
} // namespace pgrn
