#include "pgrn/presets/SafeXml.h"

#include <cctype>
#include <charconv>
#include <cmath>
#include <limits>
#include <string_view>
#include <cstring>
#include <vector>

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

bool isNameStart (unsigned char c) { return std::isalpha (c) || c == '_' || c == ':' || c >= 0x80; }
bool isNameChar (unsigned char c) { return isNameStart (c) || std::isdigit (c) || c == '-' || c == '.'; }
bool isSpace (char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

// A strict well-formedness check of the subset of XML the formats use: one root element,
// elements with quoted attributes, text, comments, CDATA and processing instructions.
class WellFormednessCheck
{
public:
    WellFormednessCheck (const char* begin, const char* endOfText) : p (begin), end (endOfText) {}

    bool run()
    {
        bool seenRoot = false;
        while (p < end)
        {
            if (*p != '<')
            {
                if (! checkText (seenRoot && open.empty()))
                    return false;
                continue;
            }
            if (startsWith (p, end, "<!--"))
                p = skipPast (p + 4, end, "-->");
            else if (startsWith (p, end, "<![CDATA["))
                p = open.empty() ? nullptr : skipPast (p + 9, end, "]]>");
            else if (startsWith (p, end, "<?"))
                // Processing instructions (the declaration) belong before the root only:
                // inside an element the framework's parser loops on them.
                p = seenRoot ? nullptr : skipPast (p + 2, end, "?>");
            else if (startsWith (p, end, "<!"))
                return false; // document types (and their entities) are never part of these formats
            else if (startsWith (p, end, "</"))
            {
                if (! closeElement())
                    return false;
            }
            else
            {
                if (open.empty() && seenRoot)
                    return false; // a second root
                seenRoot = true;
                if (! openElement())
                    return false;
            }
            if (p == nullptr)
                return false;
        }
        return seenRoot && open.empty();
    }

private:
    bool checkText (bool afterRoot)
    {
        for (; p < end && *p != '<'; ++p)
        {
            if (afterRoot && ! isSpace (*p))
                return false;
            if (*p == '&' && ! checkEntity())
                return false;
        }
        return true;
    }

    bool checkEntity()
    {
        const char* q = p + 1;
        while (q < end && q - p < 12 && *q != ';')
            ++q;
        if (q >= end || *q != ';' || q == p + 1)
            return false;
        p = q;
        return true;
    }

    bool readName (juce::String* name)
    {
        const char* start = p;
        if (p >= end || ! isNameStart ((unsigned char) *p))
            return false;
        while (p < end && isNameChar ((unsigned char) *p))
            ++p;
        if (name != nullptr)
            *name = juce::String::fromUTF8 (start, (int) (p - start));
        return true;
    }

    void skipSpace()
    {
        while (p < end && isSpace (*p))
            ++p;
    }

    bool readAttributeValue()
    {
        if (p >= end || (*p != '"' && *p != '\''))
            return false;
        const char quote = *p++;
        for (; p < end && *p != quote; ++p)
            if (*p == '<' || (*p == '&' && ! checkEntity()))
                return false;
        if (p >= end)
            return false;
        ++p;
        return true;
    }

    bool openElement()
    {
        ++p;
        juce::String name;
        if (! readName (&name))
            return false;
        for (;;)
        {
            const bool spaced = p < end && isSpace (*p);
            skipSpace();
            if (startsWith (p, end, "/>"))
            {
                p += 2;
                return true;
            }
            if (p < end && *p == '>')
            {
                ++p;
                open.push_back (name);
                return (int) open.size() <= maxDepth;
            }
            if (! spaced || ! readName (nullptr))
                return false;
            skipSpace();
            if (p >= end || *p != '=')
                return false;
            ++p;
            skipSpace();
            if (! readAttributeValue())
                return false;
        }
    }

    bool closeElement()
    {
        p += 2;
        juce::String name;
        if (! readName (&name) || open.empty() || open.back() != name)
            return false;
        open.pop_back();
        skipSpace();
        if (p >= end || *p != '>')
            return false;
        ++p;
        return true;
    }

    const char* p;
    const char* end;
    std::vector<juce::String> open;
};
} // namespace

double parseNumber (const juce::String& text)
{
    const auto utf8 = text.trimStart().toStdString();
    const char* first = utf8.data();
    const char* last = first + utf8.size();
    if (first != last && *first == '+')
        ++first;
    double value = 0.0;
    const auto [end, error] = std::from_chars (first, last, value);
    if (error == std::errc::result_out_of_range)
    {
        // Too large or too small for a double: the sign and the exponent decide which.
        const bool negative = *first == '-';
        const auto exponentAt = std::string_view (first, (size_t) (end - first)).find_first_of ("eE");
        const bool tiny = exponentAt != std::string_view::npos && first[exponentAt + 1] == '-';
        return tiny ? 0.0 : (negative ? -std::numeric_limits<double>::max() : std::numeric_limits<double>::max());
    }
    return error == std::errc() && std::isfinite (value) ? value : 0.0;
}

int parseInteger (const juce::String& text)
{
    const auto utf8 = text.trimStart().toStdString();
    size_t i = 0;
    const bool negative = i < utf8.size() && utf8[i] == '-';
    if (i < utf8.size() && (utf8[i] == '-' || utf8[i] == '+'))
        ++i;
    long long value = 0;
    for (; i < utf8.size() && std::isdigit ((unsigned char) utf8[i]); ++i)
        value = std::min<long long> (value * 10 + (utf8[i] - '0'), (long long) std::numeric_limits<int>::max() + 1);
    value = negative ? -value : value;
    return (int) juce::jlimit<long long> (std::numeric_limits<int>::min(), std::numeric_limits<int>::max(), value);
}

bool isAcceptable (const char* text, size_t size)
{
    if (size > maxBytes)
        return false;
    const auto* bytes = reinterpret_cast<const unsigned char*> (text);
    return isValidUtf8 (bytes, size) && WellFormednessCheck (text, text + size).run();
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
