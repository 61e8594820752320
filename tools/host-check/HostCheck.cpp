// Loads the built Vevarero VST3 and LV2 binaries through JUCE's plug-in hosting and checks what a
// host sees of them. Prints one line per check group and exits non-zero on any mismatch.
//
//   VevareroHostCheck <Vevarero.vst3> <LV2 folder or Vevarero.lv2> [<LV2 URI>]

#include "HostChecks.h"
#include "PluginHost.h"

#include <iostream>

namespace
{
    const juce::String defaultLv2Uri { "https://ririvud.example/vevarero" };

    FormatUnderCheck makeVst3 (PluginHost& host, const juce::File& bundle)
    {
        FormatUnderCheck f;
        f.name = "VST3";
        f.createInstance = [&host, bundle] (juce::String& error)
        {
            return host.loadVst3 (bundle, 48000.0, 512, error);
        };

        // JUCE's VST3 client numbers a parameter with the 32-bit hash of its ID, top bit cleared.
        f.hostedIdFor = [] (const ExpectedParameter& e)
        {
            return juce::String ((juce::uint32) juce::String (e.id).hashCode() & 0x7fffffffu);
        };

        f.extractPluginState = [] (const juce::MemoryBlock& hostState, juce::MemoryBlock& pluginState)
        {
            // JUCE's VST3 hosting saves <VST3PluginState> with the component's state in base 64.
            const auto xml = juce::AudioProcessor::getXmlFromBinary (hostState.getData(), (int) hostState.getSize());

            if (xml == nullptr)
                return false;

            if (auto* component = xml->getChildByName ("IComponent"))
                return pluginState.fromBase64Encoding (component->getAllSubText()) && pluginState.getSize() > 0;

            return false;
        };

        return f;
    }

    FormatUnderCheck makeLv2 (PluginHost& host, const juce::File& location, const juce::String& uri)
    {
        FormatUnderCheck f;
        f.name = "LV2";
        f.createInstance = [&host, location, uri] (juce::String& error)
        {
            return host.loadLv2 (location, uri, 48000.0, 512, error);
        };

        // JUCE's LV2 client publishes each parameter as a property <uri>:<ID>.
        f.hostedIdFor = [uri] (const ExpectedParameter& e)
        {
            return "des:" + uri + ":" + e.id;
        };

        f.extractPluginState = [uri] (const juce::MemoryBlock& hostState, juce::MemoryBlock& pluginState)
        {
            // JUCE's LV2 client stores the plug-in's blob as one state property, in JUCE's own
            // base-64 form ("<size>.<digits>"), which JUCE's hosting saves as Turtle text.
            const auto text = hostState.toString();
            const auto property = text.indexOf ("<" + uri + ":StateString>");

            if (property < 0)
                return false;

            const auto open = text.indexOfChar (property, '"');
            const auto close = open < 0 ? -1 : text.indexOfChar (open + 1, '"');

            return close > open
                && pluginState.fromBase64Encoding (text.substring (open + 1, close))
                && pluginState.getSize() > 0;
        };

        f.listsParametersInOrder = false;
        f.normalisesWithSkew = false;
        f.carriesLabelsAndTexts = false;
        f.offersMonoLayout = false;
        f.expectedNumPrograms = 1;
        f.carriesTail = false;
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
