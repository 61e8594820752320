// Loads the built Vevarero VST3 and LV2 binaries through JUCE's plug-in hosting and checks what a
// host sees of them. Prints one line per check group and exits non-zero on any mismatch.
//
//   VevareroHostCheck <Vevarero.vst3> <LV2 folder or Vevarero.lv2> [<LV2 URI>]

#include "HostChecks.h"
#include "PluginHost.h"
#include "WindowPixels.h"

#include <iostream>

namespace
{
    const juce::String defaultLv2Uri { VEVARERO_LV2_URI };

    FormatUnderCheck makeVst3 (PluginHost& host, const juce::File& bundle)
    {
        FormatUnderCheck f;
        f.name = "VST3";
        f.binaryFolder = bundle;
        f.createInstance = [&host, bundle] (juce::String& error)
        {
            return host.loadVst3 (bundle, HostChecks::sampleRate, HostChecks::blockSize, error);
        };

        // JUCE's VST3 client numbers a parameter with the 32-bit hash of its ID, top bit cleared.
        f.hostedIdFor = [] (const ExpectedParameter& e)
        {
            return juce::String ((juce::uint32) juce::String (e.id).hashCode() & 0x7fffffffu);
        };

        // JUCE's VST3 hosting saves <VST3PluginState> with the component's state in base 64. That
        // state is the client's: the plug-in's blob, then the client's private data, which its reader
        // finds by the marker at the very end, so the check keeps it whole.
        f.extractPluginState = [] (const juce::MemoryBlock& hostState, juce::MemoryBlock& pluginState)
        {
            const auto xml = juce::AudioProcessor::getXmlFromBinary (hostState.getData(), (int) hostState.getSize());
            const auto* component = xml != nullptr ? xml->getChildByName ("IComponent") : nullptr;

            return component != nullptr
                && pluginState.fromBase64Encoding (component->getAllSubText())
                && pluginState.getSize() > 0;
        };

        f.replacePluginState = [] (const juce::MemoryBlock& hostState, const juce::MemoryBlock& pluginState,
                                   juce::MemoryBlock& newHostState)
        {
            const auto xml = juce::AudioProcessor::getXmlFromBinary (hostState.getData(), (int) hostState.getSize());
            auto* component = xml != nullptr ? xml->getChildByName ("IComponent") : nullptr;

            if (component == nullptr)
                return false;

            component->deleteAllTextElements();
            component->addTextElement (pluginState.toBase64Encoding());
            juce::AudioProcessor::copyXmlToBinary (*xml, newHostState);
            return true;
        };

        return f;
    }

    /** Where the text of the plug-in's state property stands in the Turtle text of an LV2 host
        state, without its quotes; empty when there is none.
    */
    juce::Range<int> findLv2StateString (const juce::String& turtle, const juce::String& uri)
    {
        const auto property = turtle.indexOf ("<" + uri + ":StateString>");
        const auto open = property < 0 ? -1 : turtle.indexOfChar (property, '"');
        const auto close = open < 0 ? -1 : turtle.indexOfChar (open + 1, '"');

        return close > open ? juce::Range<int> (open + 1, close) : juce::Range<int>();
    }

    FormatUnderCheck makeLv2 (PluginHost& host, const juce::File& location, const juce::String& uri)
    {
        FormatUnderCheck f;
        f.name = "LV2";
        f.binaryFolder = location;
        f.createInstance = [&host, location, uri] (juce::String& error)
        {
            return host.loadLv2 (location, uri, HostChecks::sampleRate, HostChecks::blockSize, error);
        };

        // JUCE's LV2 client publishes each parameter as a property <uri>:<ID>.
        f.hostedIdFor = [uri] (const ExpectedParameter& e)
        {
            return "des:" + uri + ":" + e.id;
        };

        // JUCE's LV2 client stores the plug-in's blob as one string property, in JUCE's own base-64
        // form ("<size>.<digits>"), which JUCE's hosting saves as Turtle text. That form has no
        // character a Turtle string would escape, so the quotes delimit it.
        f.extractPluginState = [uri] (const juce::MemoryBlock& hostState, juce::MemoryBlock& pluginState)
        {
            const auto text = hostState.toString();
            const auto range = findLv2StateString (text, uri);

            return ! range.isEmpty()
                && pluginState.fromBase64Encoding (text.substring (range.getStart(), range.getEnd()))
                && pluginState.getSize() > 0;
        };

        f.replacePluginState = [uri] (const juce::MemoryBlock& hostState, const juce::MemoryBlock& pluginState,
                                      juce::MemoryBlock& newHostState)
        {
            const auto text = hostState.toString();
            const auto range = findLv2StateString (text, uri);

            if (range.isEmpty())
                return false;

            const auto newText = text.replaceSection (range.getStart(), range.getLength(), pluginState.toBase64Encoding());
            newHostState.replaceAll (newText.toRawUTF8(), newText.getNumBytesAsUTF8());
            return true;
        };

        f.listsParametersInOrder = false;
        f.normalisesWithSkew = false;
        f.carriesLabelsAndTexts = false;
        f.offersMonoLayout = false;
        f.expectedNumPrograms = 1;
        f.carriesTail = false;
        f.showsStartUpPresetValues = false;
        return f;
    }
}

int main (int argc, char* argv[])
{
    if (argc < 3)
    {
        std::cerr << "usage: " << argv[0] << " <Vevarero.vst3> <LV2 folder or Vevarero.lv2> [<LV2 URI>]" << std::endl;
        return 2;
    }

    ignoreXErrors();
    const juce::ScopedJuceInitialiser_GUI juce;

    const auto cwd = juce::File::getCurrentWorkingDirectory();
    const auto vst3Bundle = cwd.getChildFile (argv[1]);
    const auto lv2Location = cwd.getChildFile (argv[2]);
    const auto lv2Uri = argc > 3 ? juce::String (argv[3]) : defaultLv2Uri;

    int failures = 0;

    {
        PluginHost host;
        failures += HostChecks (makeVst3 (host, vst3Bundle)).run();
        failures += HostChecks (makeLv2 (host, lv2Location, lv2Uri)).run();
    }

    if (failures > 0)
    {
        std::cout << failures << " check(s) failed" << std::endl;
        return 1;
    }

    std::cout << "all host checks passed" << std::endl;
    return 0;
}
