#pragma once

#include <juce_core/juce_core.h>

/** Records JUCE's assertion failures while it lives, and passes every other log message on.

    JUCE reports a failed assertion only in builds that log them (debug builds, and the sanitiser
    build of the tests, which turns JUCE_LOG_ASSERTIONS on); elsewhere the checks are compiled out
    and nothing can be seen. `seesAssertions` says which kind of build this is.
*/
class JuceAssertionRecorder final : private juce::Logger
{
public:
   #if JUCE_LOG_ASSERTIONS || JUCE_DEBUG
    static constexpr bool seesAssertions = true;
   #else
    static constexpr bool seesAssertions = false;
   #endif

    JuceAssertionRecorder()   { juce::Logger::setCurrentLogger (this); }
    ~JuceAssertionRecorder() override { juce::Logger::setCurrentLogger (previous); }

    /** What JUCE said of each failed assertion: the file and the line. */
    juce::StringArray failures() const
    {
        const juce::ScopedLock sl (lock);
        return recorded;
    }

private:
    void logMessage (const juce::String& message) override
    {
        if (message.startsWith ("JUCE Assertion failure in "))
        {
            const juce::ScopedLock sl (lock);
            recorded.add (message);
        }
        else if (previous != nullptr)
        {
            previous->writeToLog (message);
        }
    }

    juce::Logger* const previous = juce::Logger::getCurrentLogger();
    juce::CriticalSection lock;
    juce::StringArray recorded;
};
