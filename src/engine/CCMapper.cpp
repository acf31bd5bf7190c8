#include "engine/CCMapper.h"

#include "engine/ParameterWriter.h"
#include "pgrn/presets/SafeXml.h"

namespace torvanel
{
namespace
{
constexpr int allNotesOffController = 123;
} // namespace

int CCMapper::controllerOf (const juce::ValueTree& entry)
{
    const auto& cc = entry.getProperty (ccValueProperty);
    if (cc.isVoid())
        return -1;
    return cc.isString() ? pgrn::SafeXml::parseInteger (cc.toString()) : (int) cc;
}

const juce::Identifier CCMapper::midiMapTag (juce::String ("Torvanel") + "_MIDI_MAP");
const juce::Identifier CCMapper::ccValueProperty ("cc");

CCMapper::CCMapper (juce::AudioProcessorValueTreeState& s) : store (s), mapTree (midiMapTag)
{
    publishSnapshot();
}

CCMapper::~CCMapper()
{
    delete current.exchange (nullptr);
    delete retired.exchange (nullptr);
}

void CCMapper::publishSnapshot()
{
    auto snapshot = std::make_unique<Snapshot>();
    snapshot->reserve ((size_t) mapTree.getNumChildren());
    for (const auto& child : mapTree)
        if (auto* parameter = store.getParameter (child.getType().toString()))
            snapshot->push_back ({ controllerOf (child), parameter });

    // The audio thread may be holding the previous snapshot; if so it hands it back through
    // the retired slot, which is emptied here before every publication.
    delete retired.exchange (nullptr);
    delete current.exchange (snapshot.release());
}

void CCMapper::releaseSnapshot (Snapshot* snapshot) noexcept
{
    Snapshot* expected = nullptr;
    if (! current.compare_exchange_strong (expected, snapshot))
        retired.store (snapshot); // a newer map arrived meanwhile; the message thread frees this one
}

void CCMapper::loadMapFromXml (const juce::XmlElement& element)
{
    if (! element.getTagName().equalsIgnoreCase (midiMapTag.toString()))
        return;
    mapTree = juce::ValueTree::fromXml (element);
    publishSnapshot();
}

void CCMapper::assignLastController (const juce::String& parameterId)
{
    auto entry = mapTree.getChildWithName (parameterId);
    if (! entry.isValid())
    {
        entry = juce::ValueTree (parameterId);
        mapTree.appendChild (entry, nullptr);
    }
    entry.setProperty (ccValueProperty, lastReceivedController.load(), nullptr);
    publishSnapshot();
}

void CCMapper::clearMapping (const juce::String& parameterId)
{
    auto entry = mapTree.getChildWithName (parameterId);
    if (! entry.isValid())
        return;
    mapTree.removeChild (entry, nullptr);
    publishSnapshot();
}

int CCMapper::getMappedController (const juce::String& parameterId) const
{
    const auto entry = mapTree.getChildWithName (parameterId);
    return entry.isValid() ? controllerOf (entry) : -1;
}

juce::Result CCMapper::saveMapToFile (const juce::File& file) const
{
    auto xml = createMapXml();
    if (xml == nullptr || ! xml->writeTo (file))
        return juce::Result::fail ("Could not write MIDI map to file.");
    return juce::Result::ok();
}

juce::Result CCMapper::loadMapFromFile (const juce::File& file)
{
    auto xml = pgrn::SafeXml::parse (file);
    if (xml == nullptr)
        return juce::Result::fail ("Invalid MIDI map file.");
    loadMapFromXml (*xml);
    return juce::Result::ok();
}

void CCMapper::processControllers (const juce::MidiBuffer& midi)
{
    controllerValues.fill (-1);
    bool anyController = false;

    for (const auto metadata : midi)
    {
        if (metadata.numBytes < 3 || (metadata.data[0] & 0xf0) != 0xb0)
            continue;
        const int controller = metadata.data[1];
        if (controller >= 128 || controller == allNotesOffController)
            continue;
        lastReceivedController.store (controller);
        controllerValues[(size_t) controller] = metadata.data[2] & 0x7f;
        anyController = true;
    }

    if (! anyController)
        return;

    Snapshot* snapshot = current.exchange (nullptr);
    if (snapshot == nullptr)
        return;

    for (int controller = 0; controller < 128; ++controller)
    {
        const int value = controllerValues[(size_t) controller];
        if (value < 0)
            continue;
        const float normalised = (float) value * (1.0f / 127.0f);
        for (const auto& entry : *snapshot)
            if (entry.controller == controller)
                writeNormalisedValue (*entry.parameter, normalised);
    }

    releaseSnapshot (snapshot);
}
} // namespace torvanel
