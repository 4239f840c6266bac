#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

/** A graph handle: a small numbered badge above a filter's frequency on an EQGraph.

    Dragging it sideways pulls its filter's frequency toward the pointer, dragging it up or
    down changes the filter's gain, and the mouse wheel over it changes the filter's quality
    (Parametric and Dynamic EQ) or its type (crossover).  It edits the parameter blocks of its
    page directly and then asks the page to send and redraw, through the interface of its
    graph kind (HandleOwners.h): 0 Parametric EQ (PeqHandleOwner), 1 crossover
    (XoverHandleOwner), 2 Dynamic EQ (DeqHandleOwner).  An owner without the interface of the
    kind gets no edits.  Its size is its picture's; the graph places it.  Message thread only.
*/
class filter_drag : public juce::Component
{
public:
    /** A handle showing a copy of `picture` for filter `index` (the band 0..7, the Dynamic EQ
        band 0..1 or the crossover slot 0..3) of the page `owner`, on a graph of `graphKind`. */
    filter_drag (const juce::Image& picture, int graphKind, juce::Component* owner, int index);

    void paint (juce::Graphics& g) override;
    void mouseDown (const juce::MouseEvent& e) override;
    void mouseUp (const juce::MouseEvent& e) override;

    /** Kind 0: the band's frequency moves one step per pixel the pointer is off the centre;
        its gain 0.5 dB per 2 pixels up or down (not for an "OFF" band).  Kind 1: the
        crossover frequency as for kind 0.  Kind 2: the tab's handleEdit for both.  The
        handle's filter becomes the selected one (kinds 0 and 1). */
    void mouseDrag (const juce::MouseEvent& e) override;

    /** Kind 0: the band's quality one step (not for an "OFF" band); kind 1: the filter's type
        one label, never down to "OFF"; kind 2: the tab's handleEdit.  Up is +1. */
    void mouseWheelMove (const juce::MouseEvent& e, const juce::MouseWheelDetails& wheel) override;

    /** The drag rules for a pointer at (x, y) in the handle: what mouseDrag does. */
    void dragTo (int x, int y);
    /** The wheel rule for a turn of `incrementY` (below 0 is down): what mouseWheelMove does. */
    void wheelBy (float incrementY);

    int lastX = 0, lastY = 0;
    const juce::Image image;
    const int index;
    const int graphKind;

private:
    juce::Component* const owner;

    void dragPeq (int dx, int dy, int x, int y);
    void dragCrossover (int dx);
    void wheelPeq (int s);
    void wheelCrossover (int s);
    void commitCrossover (juce::ChangeBroadcaster* block);

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (filter_drag)
};
