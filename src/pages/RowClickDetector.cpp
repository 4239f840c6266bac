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

    if (pressed >= 0 && released == pressed && ! event.mouseWasDraggedSinceMouseDown())
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
