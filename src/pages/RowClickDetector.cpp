#include "RowClickDetector.h"

RowClickDetector::RowClickDetector (juce::ListBox& listToWatch)
    : list (listToWatch)
{
    list.addMouseListener (this, true);
}

RowClickDetector::~RowClickDetector()
{
    list.removeMouseListener (this);
}

void RowClickDetector::mouseDown (const juce::MouseEvent& event)
{
    pressedRow = rowAt (event);
}

void RowClickDetector::mouseUp (const juce::MouseEvent& event)
{
    const int pressed = std::exchange (pressedRow, -1);
    const int released = rowAt (event);

    // Only movement makes a drag: the framework also calls a press held over 300 ms one,
    // and a slow click is still a click.
    if (pressed >= 0 && released == pressed && ! event.source.hasMovedSignificantlySincePressed())
    {
        if (onClick)
            onClick (released);
    }
    else if (onOtherRelease)
    {
        onOtherRelease();
    }
}

int RowClickDetector::rowAt (const juce::MouseEvent& event) const
{
    const auto position = event.getEventRelativeTo (&list).getPosition();
    return list.getRowContainingPosition (position.x, position.y);
}
