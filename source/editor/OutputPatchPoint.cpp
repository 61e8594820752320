#include "OutputPatchPoint.h"

#include "EmbeddedDrawing.h"
#include "VevareroBinaryData.h"
#include "look/QrvxColours.h"

OutputPatchPoint::OutputPatchPoint (int source)
    : sourceId (source),
      drawing (EmbeddedDrawing::loadTinted (VevareroBinaryData::patch_socket_svg, VevareroBinaryData::patch_socket_svgSize,
                                            juce::Colours::white, qrvx::QrvxColours::yellow()))
{
    setSize (200, 200);
}

OutputPatchPoint::~OutputPatchPoint() = default;

void OutputPatchPoint::mouseDrag (const juce::MouseEvent&)
{
    // Any button starts a cable. The container ignores this while its drag is already running,
    // so calling it on every drag event is harmless.
    auto* container = juce::DragAndDropContainer::findParentDragContainerFor (this);
    if (container == nullptr)
        return;

    container->startDragging (sourceId, this, juce::ScaledImage(), false, nullptr);
}

void OutputPatchPoint::paint (juce::Graphics& g)
{
    if (drawing != nullptr)
        drawing->drawWithin (g, getLocalBounds().toFloat(), juce::RectanglePlacement::centred, 1.0f);
}
