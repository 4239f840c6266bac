#include "HoverTooltips.h"

HoverTooltips::HoverTooltips (juce::Component& areaToWatch)
    : area (areaToWatch)
{
    area.addMouseListener (this, true);
}

HoverTooltips::~HoverTooltips()
{
    area.removeMouseListener (this);
}

void HoverTooltips::mouseEnter (const juce::MouseEvent&)
{
    if (window == nullptr)
        window = std::make_unique<juce::TooltipWindow> (&area);
}

void HoverTooltips::mouseExit (const juce::MouseEvent& event)
{
    // An exit event carries where the pointer went: still inside when it only moved from a
    // widget to its neighbour or to the panel behind it.
    if (! isOverArea (event.getScreenPosition()))
        window.reset();
}

bool HoverTooltips::isOverArea (juce::Point<int> screenPosition) const
{
    auto* under = juce::Desktop::getInstance().findComponentAt (screenPosition);
    return under != nullptr && (under == &area || area.isParentOf (under));
}
