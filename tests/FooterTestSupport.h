#pragma once

#include "EditorTestSupport.h"
#include "editor/Footer.h"
#include "presets/PresetsManager.h"

#include <gtest/gtest.h>

namespace footertest
{
    using qrvx::PresetsManager;

    inline float cutoff (VevareroAudioProcessor& p)
    {
        return p.valueTreeState.getRawParameterValue ("Cutoff")->load();
    }

    inline void setCutoff (VevareroAudioProcessor& p, float hertz)
    {
        auto* parameter = p.valueTreeState.getParameter ("Cutoff");
        parameter->setValueNotifyingHost (parameter->convertTo0to1 (hertz));
    }

    template <typename ComponentType>
    ComponentType* findChild (juce::Component& parent, const juce::String& name)
    {
        for (auto* child : parent.getChildren())
            if (auto* typed = dynamic_cast<ComponentType*> (child); typed != nullptr && child->getName() == name)
                return typed;
        return nullptr;
    }

    /** A footer on a fresh processor, with the presets folder under the test HOME emptied before
        and after, and failures collected instead of shown.
    */
    class FooterTest : public testing::Test
    {
    protected:
        void SetUp() override
        {
            folder.deleteRecursively();
            ASSERT_TRUE (folder.createDirectory());
            footer = std::make_unique<Footer> (processor);
            footer->showFailure = [this] (const juce::String&, const juce::String& message) { failures.add (message); };
        }

        void TearDown() override
        {
            footer.reset();
            folder.deleteRecursively();
        }

        /** Writes a preset file whose cutoff tells it apart, leaving the processor's cutoff as it was. */
        juce::File writePreset (const juce::String& fileName, float cutoffHertz)
        {
            const auto previous = cutoff (processor);
            setCutoff (processor, cutoffHertz);
            const auto file = folder.getChildFile (fileName);
            file.getParentDirectory().createDirectory();
            EXPECT_TRUE (PresetsManager::savePreset (processor.valueTreeState, file).wasOk()) << fileName;
            setCutoff (processor, previous);
            return file;
        }

        juce::Label& label()
        {
            for (auto* child : footer->getChildren())
                if (auto* l = dynamic_cast<juce::Label*> (child))
                    return *l;
            throw std::runtime_error ("footer without a label");
        }

        juce::DrawableButton& button (const juce::String& name)
        {
            auto* b = findChild<juce::DrawableButton> (*footer, name);
            if (b == nullptr)
                throw std::runtime_error (("no button " + name).toStdString());
            return *b;
        }

        VevareroAudioProcessor processor;
        const juce::File folder { PresetsManager::presetsFolderPath };
        std::unique_ptr<Footer> footer;
        juce::StringArray failures;
    };
}
