#pragma once

#include "processor/PluginProcessor.h"

#include <juce_gui_basics/juce_gui_basics.h>

#include <functional>
#include <map>
#include <stdexcept>
#include <vector>

/** What the host hears from the processor: every parameter change and every begin/end gesture,
    counted per parameter ID, in the order they arrive. Attach it to a processor for the life of a
    test case; it detaches itself.
*/
class HostEventRecorder final : private juce::AudioProcessorListener
{
public:
    struct Event
    {
        enum class Kind { begin, value, end } kind;
        juce::String parameterID;
        float value = 0.0f;
    };

    explicit HostEventRecorder (VevareroAudioProcessor& p) : processor (p) { processor.addListener (this); }
    ~HostEventRecorder() override { processor.removeListener (this); }

    const std::vector<Event>& events() const { return recorded; }
    void clear() { recorded.clear(); }

    int count (Event::Kind kind) const
    {
        int n = 0;
        for (auto& e : recorded)
            n += e.kind == kind ? 1 : 0;
        return n;
    }

    int gestureBegins() const { return count (Event::Kind::begin); }
    int gestureEnds() const   { return count (Event::Kind::end); }
    int valueChanges() const  { return count (Event::Kind::value); }

    /** The IDs of the parameters that received a value, in order. */
    juce::StringArray changedParameters() const
    {
        juce::StringArray ids;
        for (auto& e : recorded)
            if (e.kind == Event::Kind::value)
                ids.add (e.parameterID);
        return ids;
    }

    /** True when the events are exactly begin, value, end for each value written, in that order. */
    bool everyValueInItsOwnGesture() const
    {
        if (recorded.size() % 3 != 0 || recorded.empty())
            return false;

        for (size_t i = 0; i < recorded.size(); i += 3)
            if (recorded[i].kind != Event::Kind::begin || recorded[i + 1].kind != Event::Kind::value
                || recorded[i + 2].kind != Event::Kind::end
                || recorded[i].parameterID != recorded[i + 1].parameterID
                || recorded[i].parameterID != recorded[i + 2].parameterID)
                return false;

        return true;
    }

    /** The events in order, as text for failure messages: "begin Cutoff, value Cutoff 0.5, end Cutoff". */
    juce::String describe() const
    {
        juce::StringArray lines;
        for (auto& e : recorded)
            lines.add (e.kind == Event::Kind::begin ? "begin " + e.parameterID
                       : e.kind == Event::Kind::end ? "end " + e.parameterID
                                                    : "value " + e.parameterID + " " + juce::String (e.value));
        return lines.isEmpty() ? juce::String ("no events") : lines.joinIntoString (", ");
    }

private:
    juce::String idOf (int index) const
    {
        if (auto* withID = dynamic_cast<juce::AudioProcessorParameterWithID*> (processor.getParameters()[index]))
            return withID->paramID;
        return {};
    }

    void audioProcessorParameterChanged (juce::AudioProcessor*, int index, float value) override
    {
        recorded.push_back ({ Event::Kind::value, idOf (index), value });
    }

    void audioProcessorParameterChangeGestureBegin (juce::AudioProcessor*, int index) override
    {
        recorded.push_back ({ Event::Kind::begin, idOf (index) });
    }

    void audioProcessorParameterChangeGestureEnd (juce::AudioProcessor*, int index) override
    {
        recorded.push_back ({ Event::Kind::end, idOf (index) });
    }

    void audioProcessorChanged (juce::AudioProcessor*, const ChangeDetails&) override {}

    VevareroAudioProcessor& processor;
    std::vector<Event> recorded;
};

/** Normalised value of a parameter, looked up by ID. */
inline float normalisedValue (VevareroAudioProcessor& p, const juce::String& id)
{
    auto* parameter = p.valueTreeState.getParameter (id);
    jassert (parameter != nullptr);
    return parameter != nullptr ? parameter->getValue() : -1.0f;
}

/** Sets a parameter as a host would (no gesture), by ID and normalised value. */
inline void setNormalisedValue (VevareroAudioProcessor& p, const juce::String& id, float value)
{
    if (auto* parameter = p.valueTreeState.getParameter (id))
        parameter->setValueNotifyingHost (value);
}

/** Paints a component (and its children) with JUCE's software renderer, one pixel per unit. */
inline juce::Image renderComponent (juce::Component& c)
{
    juce::Image image (juce::Image::ARGB, juce::jmax (1, c.getWidth()), juce::jmax (1, c.getHeight()), true,
                       juce::SoftwareImageType());
    juce::Graphics g (image);
    c.paintEntireComponent (g, true);
    return image;
}

/** A mouse event on a component, at a point in its own coordinates, pressed at downPosition. */
inline juce::MouseEvent mouseEventOn (juce::Component& c, juce::Point<float> position, juce::ModifierKeys mods,
                                      juce::Point<float> downPosition)
{
    const auto now = juce::Time::getCurrentTime();
    return { juce::Desktop::getInstance().getMainMouseSource(), position, mods, juce::MouseInputSource::defaultPressure,
             0.0f, 0.0f, 0.0f, 0.0f, &c, &c, now, downPosition, now, 1, false };
}

/** Sends a full click (down and up) at a point in the component's own coordinates, through JUCE's
    own mouse event path for the given button(s).
*/
inline void clickComponent (juce::Component& c, juce::Point<float> position,
                            juce::ModifierKeys buttons = juce::ModifierKeys::leftButtonModifier)
{
    const auto event = mouseEventOn (c, position, buttons, position);
    c.mouseDown (event);
    c.mouseUp (event);
}

/** Where the test PNG sheets go (inside the build folder). */
inline juce::File testOutputFile (const juce::String& name)
{
    return juce::File (VEVARERO_TEST_OUTPUT_DIR).getChildFile (name);
}

/** Counts the repaints a component asks for while this object lives (including those its children
    cause, such as one being shown or hidden), and keeps the areas asked for in the component's own
    coordinates. The component must be visible, since JUCE drops repaints of hidden components. It
    borrows the component's cached-image slot, so render the component only after this has gone.
*/
class RepaintCounter final
{
public:
    explicit RepaintCounter (juce::Component& c) : component (c)
    {
        component.setCachedComponentImage (new Probe (log, c));
        reset(); // installing the probe repaints once
    }

    ~RepaintCounter() { component.setCachedComponentImage (nullptr); }

    int count() const { return log->count; }
    const juce::RectangleList<int>& regions() const { return log->regions; }
    void reset() { *log = {}; }

private:
    struct Log
    {
        int count = 0;
        juce::RectangleList<int> regions;
    };

    struct Probe final : juce::CachedComponentImage
    {
        Probe (std::shared_ptr<Log> l, juce::Component& c) : log (std::move (l)), owner (c) {}
        void paint (juce::Graphics&) override {}
        bool invalidateAll() override { return invalidate (owner.getLocalBounds()); }
        bool invalidate (const juce::Rectangle<int>& area) override
        {
            ++log->count;
            log->regions.add (area);
            return true;
        }
        void releaseResources() override {}
        std::shared_ptr<Log> log;
        juce::Component& owner;
    };

    juce::Component& component;
    std::shared_ptr<Log> log = std::make_shared<Log>();
};

/** The first component of a type among a component's children and theirs, depth first, that
    passes a test.
*/
template <typename ChildType>
ChildType* findChild (juce::Component& parent, const std::function<bool (ChildType&)>& wanted = [] (ChildType&) { return true; })
{
    for (auto* c : parent.getChildren())
    {
        if (auto* typed = dynamic_cast<ChildType*> (c); typed != nullptr && wanted (*typed))
            return typed;

        if (auto* deeper = findChild (*c, wanted))
            return deeper;
    }
    return nullptr;
}

/** The component of a type with a given component name among a component's children and theirs;
    throws when there is none, so that a test stops at a control it cannot find.
*/
template <typename ChildType = juce::Button>
ChildType& namedChild (juce::Component& parent, const juce::String& name)
{
    if (auto* found = findChild<ChildType> (parent, [&] (ChildType& c) { return c.getName() == name; }))
        return *found;
    throw std::runtime_error ("no child named \"" + name.toStdString() + "\"");
}

/** Clicks whatever component JUCE finds on top at a point of a parent (as a real click would reach
    it), in that component's own coordinates. Returns the component clicked, if any.
*/
inline juce::Component* clickAt (juce::Component& parent, juce::Point<int> position,
                                 juce::ModifierKeys buttons = juce::ModifierKeys::leftButtonModifier)
{
    auto* target = parent.getComponentAt (position);
    if (target != nullptr)
        clickComponent (*target, target->getLocalPoint (&parent, position).toFloat(), buttons);
    return target;
}

/** True when two images have the same size and the same pixels. */
inline bool sameImage (const juce::Image& a, const juce::Image& b)
{
    if (a.getBounds() != b.getBounds())
        return false;

    for (int y = 0; y < a.getHeight(); ++y)
        for (int x = 0; x < a.getWidth(); ++x)
            if (a.getPixelAt (x, y) != b.getPixelAt (x, y))
                return false;

    return true;
}

#include <dlfcn.h>

namespace TestDisplay
{
    /** Xvfb runs without a window manager, so the atoms a window manager creates do not exist, and
        JUCE's X11 code then queries window properties with atom 0 as soon as a component goes on
        the desktop, which is a fatal X error. Creating those atoms before JUCE opens its own
        connection lets tests put real windows on screen and send them real mouse events. The
        connection is kept open on purpose, and held here so that leak checkers see it is still in
        use: Xvfb forgets its atoms when its last client leaves.
    */
    inline void* createWindowManagerAtoms()
    {
        auto* x11 = dlopen ("libX11.so.6", RTLD_LAZY | RTLD_LOCAL);
        if (x11 == nullptr)
            return nullptr;

        using OpenDisplay = void* (*) (const char*);
        using InternAtom = unsigned long (*) (void*, const char*, int);
        auto openDisplay = reinterpret_cast<OpenDisplay> (dlsym (x11, "XOpenDisplay"));
        auto internAtom = reinterpret_cast<InternAtom> (dlsym (x11, "XInternAtom"));
        auto* display = openDisplay != nullptr && internAtom != nullptr ? openDisplay (nullptr) : nullptr;
        if (display == nullptr)
            return nullptr;

        for (auto* name : { "WM_PROTOCOLS", "WM_TAKE_FOCUS", "WM_DELETE_WINDOW", "_NET_WM_PING", "WM_CHANGE_STATE",
                            "WM_STATE", "_NET_WM_WINDOW_TYPE", "_NET_WM_STATE", "_NET_WM_STATE_HIDDEN" })
            internAtom (display, name, 0);

        return display;
    }

    // Runs before main, so before JUCE's window system starts.
    inline void* const windowManagerAtomsConnection = createWindowManagerAtoms();
} // namespace TestDisplay

namespace juce
{
    // JUCE's own message pump step (juce_events); the plug-in is built without modal loops, so
    // MessageManager::runDispatchLoopUntil does not exist and the tests pump with this instead.
    bool dispatchNextMessageOnSystemQueue (bool returnIfNoPendingMessages);
}

/** Delivers the messages that arrive within the given time, as a host's message loop would. */
inline void dispatchMessagesFor (int milliseconds)
{
    const auto end = juce::Time::getMillisecondCounter() + (juce::uint32) milliseconds;

    while (juce::Time::getMillisecondCounter() < end)
        if (! juce::dispatchNextMessageOnSystemQueue (true))
            juce::Thread::sleep (1);
}
