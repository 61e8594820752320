#pragma once

#include "VevareroParameterTable.h"

#include <juce_audio_processors/juce_audio_processors.h>

#include <functional>
#include <memory>

/** One built binary under check, and what its format lets a host see of the plug-in. */
struct FormatUnderCheck
{
    juce::String name;

    /** Where the plug-in's binary is loaded from: its bundle, or a folder of bundles. */
    juce::File binaryFolder;

    /** Makes a fresh instance, or returns null with the reason. */
    std::function<std::unique_ptr<juce::AudioPluginInstance> (juce::String& error)> createInstance;

    /** The ID under which the host lists a parameter. */
    std::function<juce::String (const ExpectedParameter&)> hostedIdFor;

    /** VST3 lists parameters in the plug-in's order. LV2 parameters form an unordered set, which
        JUCE's LV2 hosting lists sorted by URI.
    */
    bool listsParametersInOrder = true;

    /** VST3 passes the plug-in's own (skewed) normalisation; LV2 passes only the real range's ends,
        so its host normalises in plain proportion.
    */
    bool normalisesWithSkew = true;

    /** VST3 carries the unit labels and the plug-in's value texts; JUCE's LV2 hosting shows neither
        (no units in the bundle, and the host formats numbers itself).
    */
    bool carriesLabelsAndTexts = true;

    /** JUCE's LV2 bundle declares fixed stereo ports, so mono in and out is not on offer there. */
    bool offersMonoLayout = true;

    /** JUCE's VST3 client publishes a program list only for more than one program; the LV2 bundle
        lists the one program as a preset with an empty label.
    */
    int expectedNumPrograms = 0;

    /** JUCE's LV2 hosting always reports no tail, whatever the plug-in says. */
    bool carriesTail = true;

    /** JUCE's LV2 hosting shows a new instance's parameters at the defaults its bundle lists, not
        at the values of the start-up preset it loaded, until the plug-in next changes them.
    */
    bool showsStartUpPresetValues = true;

    /** Extracts the plug-in's own state blob from the host's saved state, if the format wraps it in
        a way the check can open; returns false when it cannot.
    */
    std::function<bool (const juce::MemoryBlock& hostState, juce::MemoryBlock& pluginState)> extractPluginState;

    /** The reverse of extractPluginState: the host's saved state with another plug-in state in place of
        the one it holds, in the format's own encoding. Returns false when it cannot.
    */
    std::function<bool (const juce::MemoryBlock& hostState, const juce::MemoryBlock& pluginState,
                        juce::MemoryBlock& newHostState)> replacePluginState;
};

/** Loads one built binary through JUCE's hosting and checks what a host sees: the parameters with
    their names, labels, defaults and texts, the MIDI, tail and program answers, the bus layouts, a
    processed block, a new instance's first blocks, no heap calls by the plug-in on the audio thread,
    a state save and restore, a preset name carried through the state, the plug-in's editor opened
    and closed in a window, pixels of that window as the X server shows them, a start-up preset that
    cannot be read, clicks on the editor's preset arrows, and one of two open editors still alive
    once the other has closed.
*/
class HostChecks final
{
public:
    explicit HostChecks (FormatUnderCheck format);

    /** Runs every check and prints one line per group. Returns the number of failures. */
    int run();

    /** The host's audio settings, with which every instance is made and prepared. */
    static constexpr double sampleRate = 48000.0;
    static constexpr int blockSize = 512;

    /** The editor's fixed size: the points the checks read and click are placed for it. */
    static constexpr int editorWidth = 640, editorHeight = 400;

private:
    FormatUnderCheck format;
    int failures = 0;

    void fail (const juce::String& what);
    void pass (const juce::String& summary);
    bool expect (bool condition, const juce::String& what);

    std::unique_ptr<juce::AudioPluginInstance> createInstance();

    /** A fresh instance with its hosted parameters in the table's order; null when either fails. */
    std::unique_ptr<juce::AudioPluginInstance> createInstance (juce::Array<juce::AudioProcessorParameter*>& parameters);

    /** The hosted parameters in the table's order, or an empty array when some are missing. */
    juce::Array<juce::AudioProcessorParameter*> findParameters (juce::AudioPluginInstance&);

    float hostNormalised (const ExpectedParameter&, float realValue) const;

    /** Writes a real value through the hosted parameter with the ID, as host automation does. */
    void setReal (const juce::Array<juce::AudioProcessorParameter*>& parameters, juce::StringRef id, float realValue) const;

    /** An editor opened in a window on the screen, and what the window showed last. */
    struct OpenedEditor
    {
        std::unique_ptr<juce::AudioProcessorEditor> editor; // null unless the window came to show it
        juce::Image window;
        int openings = 0;
        double milliseconds = 0.0;
    };

    /** Opens the instance's editor in a window at topLeft on the screen (its corner unless given)
        and reads the window back from the X server, running the host with passTime between reads,
        until it shows what it should. An editor whose window has not within secondsPerOpening is
        closed and opened anew, a few times; no editor comes back when none did, or when the host
        gave none or one of another size (both failures).
    */
    OpenedEditor openEditorShowing (juce::AudioPluginInstance&, const std::function<bool (const juce::Image&)>& shows,
                                    const std::function<void()>& passTime, double secondsPerOpening,
                                    juce::Point<int> topLeft = {});

    /** Runs the host (passTime) until the condition holds, checking before each run; false when it
        still does not after the seconds. A quick machine moves on at once, a loaded one gets its time.
    */
    static bool waitUntil (const std::function<bool()>& condition, const std::function<void()>& passTime, double seconds);

    /** A preset as the plug-in writes one: every parameter at its default but the one named, which
        holds the real value given.
    */
    static juce::XmlElement presetWith (const juce::String& parameterId, float realValue);

    void checkParameters();
    void checkValueTexts (const juce::Array<juce::AudioProcessorParameter*>&);
    void checkMidiTailAndPrograms();
    void checkBusLayouts();
    void checkProcessing();

    /** New instances given their settings before they are prepared, as a host restoring a session
        does, play them from the first block: sample for sample what instances prepared once more
        after playing those settings play.
    */
    void checkFreshStart();

    /** Processes a few hundred blocks on a thread of its own, as a host's audio thread, untouched
        and with every parameter automated before each block, and counts the heap calls the plug-in
        makes on that thread meanwhile: there must be none. A heap call there waits on the
        allocator's lock, which any other thread of the host may hold, and so risks a dropout.
    */
    void checkAudioThreadHeapCalls();

    void checkStateRoundTrip();
    void checkEditor();

    /** Reads points of the editor's window back from the X server and compares their colours with
        what the editor's layout and palette put there. The plug-in binary paints them with its own
        statics, initialised in the order its own link gave them, which a unit test cannot see.
    */
    void checkEditorPixels();

    /** A new instance comes up quickly at its defaults when the start-up preset in the presets
        folder under HOME is a FIFO or a link to /dev/zero.
    */
    void checkUnreadableStartUpPreset();
    /** Clicks the footer's preset arrows in the hosted editor with real X input, over a presets
        folder filled with presets told apart by their Cutoff and one broken file, and reads after
        each click what the host sees: the Cutoff parameter and the preset name in the state. The
        footer's listing and stepping run in the plug-in binary as users get it, and the failure
        alert is a real window, dismissed with its OK button.
    */
    void checkFooterPresetArrows();

    /** Opens two instances' editors side by side, closes one (or deletes its instance) and checks
        that the other still lives as a user sees it: it shows a change the host makes, a click in it
        reaches the host, and its preset list opens in the plug-in's look. Both faults it looks for
        live in state that every instance in the process shares (TwoEditorsCheck.cpp).
    */
    void checkTwoEditors();

    /** Where the plug-in keeps its presets (and looks for its start-up preset); ctest points HOME
        into the build tree.
    */
    static juce::File presetsFolderUnderHome();

    void checkPresetNameRoundTrip (const juce::MemoryBlock& hostState, const juce::MemoryBlock& pluginState,
                                   const juce::XmlElement& savedXml,
                                   const juce::Array<juce::AudioProcessorParameter*>& saved);

    /** A new instance with the host state restored into it and a block processed, so that formats
        that hand state over with the audio have done so; null after a failure.
    */
    std::unique_ptr<juce::AudioPluginInstance> restoreIntoNewInstance (const juce::MemoryBlock& hostState,
                                                                       juce::Array<juce::AudioProcessorParameter*>& parameters);
    void expectSameValues (const juce::Array<juce::AudioProcessorParameter*>& saved,
                           const juce::Array<juce::AudioProcessorParameter*>& restored,
                           const juce::String& when);

    /** Opens the plug-in's own blob in a host state and checks its wrapper, its XML and that every
        PARAM holds what these host parameters read. Returns the XML and fills pluginState with what
        the format carried, or returns null when the format gives no access or after a failure.
    */
    std::unique_ptr<juce::XmlElement> openPluginStateBlob (const juce::MemoryBlock& hostState,
                                                           const juce::Array<juce::AudioProcessorParameter*>& saved,
                                                           const juce::String& whichState,
                                                           juce::MemoryBlock& pluginState);

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (HostChecks)
};
