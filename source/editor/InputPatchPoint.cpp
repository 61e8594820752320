#include "InputPatchPoint.h"

#include "EmbeddedDrawing.h"
#include "VevareroBinaryData.h"
#include "look/QrvxColours.h"
#include "processor/PluginProcessor.h"

namespace
{
    juce::String modSourceIDFor (int target)
    {
        const ParametersUIDs ids;
        const juce::String* targetIDs[] { &ids.cutoffID, &ids.resonanceID, &ids.rateID, &ids.bitsID, &ids.dryWetMixID };

        // An unknown target gets an ID no parameter has, so its socket holds no parameter.
        if (! juce::isPositiveAndBelow (target, static_cast<int> (std::size (targetIDs))))
            return {};

        return *targetIDs[target] + ids.modSourceSuffix;
    }

    constexpr float hoverRingInset = 4.0f;
    constexpr float hoverRingThickness = 4.0f;
}

InputPatchPoint::InputPatchPoint (int target, VevareroAudioProcessor& owner)
    : modulationTarget (target),
      processor (owner),
      link (modSourceIDFor (target), processor.valueTreeState),
      drawing (EmbeddedDrawing::loadTinted (VevareroBinaryData::patch_socket_svg, VevareroBinaryData::patch_socket_svgSize,
                                            juce::Colours::white, qrvx::QrvxColours::lime()))
{
    setSize (200, 200);
}

InputPatchPoint::~InputPatchPoint() = default;

void InputPatchPoint::mouseUp (const juce::MouseEvent& e)
{
    // A right click unplugs the cable; the editor's timer removes it from view.
    if (e.mods.isRightButtonDown())
        link.writeValue (static_cast<float> (ModulationSource::none));
}

void InputPatchPoint::paint (juce::Graphics& g)
{
    if (drawing != nullptr)
        drawing->drawWithin (g, getLocalBounds().toFloat(), juce::RectanglePlacement::centred, 1.0f);

    if (isHovered)
    {
        // reduced() stops at an empty rectangle, so a tiny socket draws no ring rather than an inverted one.
        g.setColour (qrvx::QrvxColours::yellow());
        g.drawEllipse (getLocalBounds().toFloat().reduced (hoverRingInset), hoverRingThickness);
    }
}

bool InputPatchPoint::isInterestedInDragSource (const SourceDetails&)
{
    return true;
}

void InputPatchPoint::itemDragEnter (const SourceDetails&)
{
    isHovered = true;
    repaint();
}

void InputPatchPoint::itemDragExit (const SourceDetails&)
{
    isHovered = false;
    repaint();
}

void InputPatchPoint::itemDropped (const SourceDetails& details)
{
    // Only an output socket's description (its source number) routes anything; whatever else is
    // dropped here just ends the hover.
    const auto& description = details.description;
    if (description.isInt())
    {
        const auto source = static_cast<int> (description);
        if (source >= ModulationSource::none && source < ModulationSource::numSources)
            link.writeValue (link.range.convertTo0to1 (static_cast<float> (source)));
    }

    isHovered = false;
    repaint();
}
