#include "pgrn/presets/SafeXml.h"

#include <gtest/gtest.h>

namespace
{
bool parses (const std::string& text)
{
    return pgrn::SafeXml::parse (text.data(), text.size()) != nullptr;
}
} // namespace

TEST (SafeXml, AcceptsTheFormatsAndRejectsWhatTheParserMishandles)
{
    struct Case
    {
        std::string text;
        bool accepted;
    };
    const Case cases[] = {
        { "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<Torvanel a=\"1\"><PARAM id=\"x\" value=\"2\"/></Torvanel>", true },
        { "<a><!-- <b> inside a comment --><![CDATA[<c>]]></a>", true },
        { "<a b='>'/>", true },
        { "<a>caf\xc3\xa9</a>", true },
        { "<a>\xc3</a>", false },                        // truncated sequence
        { "<a>\xf0\x9f\x98</a>", false },                // truncated four-byte sequence
        { "<a>\x80</a>", false },                        // stray continuation byte
        { "<a>\xc0\xaf</a>", false },                    // overlong form
        { "<Nope c<torvanor<?xml version=\"1.0\"?>", false }, // '<' inside a tag: the parser loops on it
        { "<a b=\"x<y\"/>", false },
        { "<!DOCTYPE a [<!ENTITY e \"eeee\">]><a>&e;</a>", false },
        { "<a", false },
        { "<a><!-- never closed", false },
        { std::string (100, '<'), false },
        { "<a><b></a></b>", false },                     // crossed elements
        { "<a>text", false },                            // never closed: the parser loops on it
        { "<a/><b/>", false },                           // two roots
        { "<a x=\"1\"y=\"2\"/>", false },
        { "<a x=1/>", false },
        { "<a>&amp; &#38; &#x26;</a>", true },
        { "<a>& b</a>", false },
        { "<a><?pi x?></a>", false },                    // an instruction inside an element: the parser loops on it
        { "<a/><?pi x?>", false },
        { "", false },
    };
    for (const auto& c : cases)
        EXPECT_EQ (parses (c.text), c.accepted) << c.text;

    std::string deep;
    for (int i = 0; i < 65; ++i) deep += "<a>";
    for (int i = 0; i < 65; ++i) deep += "</a>";
    EXPECT_FALSE (parses (deep));
    std::string fine;
    for (int i = 0; i < 60; ++i) fine += "<a>";
    for (int i = 0; i < 60; ++i) fine += "</a>";
    EXPECT_TRUE (parses (fine));

    // The text ends at the first zero byte.
    const std::string withZero ("<a/>\0\xff\xff", 7);
    EXPECT_TRUE (parses (withZero));
}

TEST (SafeXml, NumbersFromUntrustedText)
{
    const std::pair<const char*, double> numbers[] = { { "0.5", 0.5 }, { " -12.25", -12.25 }, { "+3", 3.0 }, { "1e3", 1000.0 },
                                                       { "abc", 0.0 }, { "", 0.0 }, { "7x", 7.0 }, { "1e-999", 0.0 },
                                                       { "nan", 0.0 }, { "inf", 0.0 } };
    for (auto [text, value] : numbers)
        EXPECT_DOUBLE_EQ (pgrn::SafeXml::parseNumber (text), value) << text;
    EXPECT_EQ (pgrn::SafeXml::parseNumber ("1e999"), std::numeric_limits<double>::max());
    EXPECT_EQ (pgrn::SafeXml::parseNumber ("-" + juce::String::repeatedString ("9", 400)), -std::numeric_limits<double>::max());

    const std::pair<const char*, int> integers[] = { { "1", 1 }, { "01", 1 }, { "-5", -5 }, { "2x", 2 }, { "x", 0 },
                                                     { "99999999999999999999", std::numeric_limits<int>::max() },
                                                     { "-99999999999999999999", std::numeric_limits<int>::min() } };
    for (auto [text, value] : integers)
        EXPECT_EQ (pgrn::SafeXml::parseInteger (text), value) << text;
}
