#include "pgrn/presets/SafeXml.h"

#include <cstring>

namespace pgrn::SafeXml
{
namespace
{
bool isValidUtf8 (const unsigned char* s, size_t size)
{
    for (size_t i = 0; i < size;)
    {
        const unsigned char lead = s[i];
        size_t extra = 0;
        if (lead < 0x80) extra = 0;
        else if ((lead & 0xe0) == 0xc0 && lead >= 0xc2) extra = 1;
        else if ((lead & 0xf0) == 0xe0) extra = 2;
        else if ((lead & 0xf8) == 0xf0 && lead <= 0xf4) extra = 3;
        else return false;

        if (i + extra >= size && extra > 0)
            return false;
        for (size_t k = 1; k <= extra; ++k)
            if ((s[i + k] & 0xc0) != 0x80)
                return false;
        i += extra + 1;
    }
    return true;
}

bool startsWith (const char* p, const char* end, const char* prefix)
{
    const size_t n = std::strlen (prefix);
    return (size_t) (end - p) >= n && std::memcmp (p, prefix, n) == 0;
}

// Position just after the terminator, or null when it never comes.
const char* skipPast (const char* p, const char* end, const char* terminator)
{
    const size_t n = std::strlen (terminator);
    for (; (size_t) (end - p) >= n; ++p)
        if (std::memcmp (p, terminator, n) == 0)
            return p + n;
    return nullptr;
}

bool hasSafeStructure (const char* p, const char* end)
{
    int depth = 0;
    while (p < end)
    {
        if (*p != '<')
        {
            ++p;
            continue;
        }

        if (startsWith (p, end, "<!--"))
            p = skipPast (p + 4, end, "-->");
        else if (startsWith (p, end, "<![CDATA["))
            p = skipPast (p + 9, end, "]]>");
        else if (startsWith (p, end, "<?"))
            p = skipPast (p + 2, end, "?>");
        else if (startsWith (p, end, "<!"))
            return false; // document types (and their entities) are never part of these formats
        else
        {
            const bool closing = startsWith (p, end, "</");
            const char* q = p + 1;
            char quote = 0;
            for (; q < end; ++q)
            {
                if (*q == '<')
                    return false;
                if (quote != 0)
                {
                    if (*q == quote)
                        quote = 0;
                }
                else if (*q == '"' || *q == '\'')
                    quote = *q;
                else if (*q == '>')
                    break;
            }
            if (q >= end)
                return false;

            const bool selfClosing = q[-1] == '/';
            if (closing)
                --depth;
            else if (! selfClosing && ++depth > maxDepth)
                return false;
            p = q + 1;
        }

        if (p == nullptr)
            return false;
    }
    return true;
}
} // namespace

bool isAcceptable (const char* text, size_t size)
{
    if (size > maxBytes)
        return false;
    const auto* bytes = reinterpret_cast<const unsigned char*> (text);
    return isValidUtf8 (bytes, size) && hasSafeStructure (text, text + size);
}

std::unique_ptr<juce::XmlElement> parse (const void* data, size_t size)
{
    if (data == nullptr)
        return nullptr;
    const auto* text = static_cast<const char*> (data);
    if (const auto* zero = static_cast<const char*> (std::memchr (text, 0, size)))
        size = (size_t) (zero - text); // the text ends at the first zero byte
    if (size == 0 || ! isAcceptable (text, size))
        return nullptr;
    return juce::parseXML (juce::String::fromUTF8 (text, (int) size));
}

std::unique_ptr<juce::XmlElement> parse (const juce::File& file)
{
    if (! file.existsAsFile() || file.getSize() > (juce::int64) maxBytes)
        return nullptr;
    juce::MemoryBlock bytes;
    if (! file.loadFileAsData (bytes))
        return nullptr;
    return parse (bytes.getData(), bytes.getSize());
}
} // namespace pgrn::SafeXml
