#pragma once

#include "filter_drag.h"

#include <juce_gui_basics/juce_gui_basics.h>
#include <array>
#include <cstdint>
#include <functional>
#include <memory>

/** The frequency-response display of the Parametric EQ, Filter/Crossover and Dynamic EQ pages:
    a grid and up to six curves over a logarithmic axis from 20 Hz to 20 kHz, with up to eight
    draggable handles (filter_drag), each above its filter's frequency with a dotted line below.

    The graph knows nothing of filters.  Its page sets the response function, the colours,
    the fill mode and the handle frequencies directly, gives it its handles (setHandle), and
    calls repaint() after changing anything the paint reads.  The handle in the position
    globals::selectedHandle is drawn in front, with a white line.  Painting only evaluates the
    response function; it never computes filters.  Message thread only.
*/
class EQGraph : public juce::Component
{
public:
    static constexpr int maxCurves = 6;
    static constexpr int maxHandles = 8;

    /** Value of curve `curve` at `freq` Hz, in the graph's units (twice the dB for kinds 0 and
        1, dB for kind 2). */
    using ResponseFunction = std::function<float (int curve, float freq)>;

    /** A graph of `graphKind` (0 Parametric EQ, 1 crossover, 2 Dynamic EQ) for the page
        `owner`, which its handles will call.  Selects handle 0 program-wide. */
    EQGraph (int graphKind, juce::Component* owner);
    ~EQGraph() override;

    /** Uses `n` (0..8) handles: on a graph with none, the count just becomes n; otherwise
        handles beyond n are hidden and handles up to n shown.  The handle lines turn grey. */
    void setHandleCount (unsigned n);

    /** Makes `handle` the graph's handle `k` (0..7) and a visible child; the graph owns it. */
    filter_drag& setHandle (int k, std::unique_ptr<filter_drag> handle);

    /** Puts each handle above its frequency now.  The paint does it too, but a handle moved
        there asks for one more paint: pages call this before repaint() after an edit. */
    void moveHandles();

    void paint (juce::Graphics& g) override;

    // Geometry, for the paint and for tests.
    /** The column of `freq` Hz: 0 at 20 Hz, the width at 20 kHz (0 Hz and below count as
        0.00001 Hz, far off to the left). */
    double xOfFrequency (float freq) const;
    /** The row of value `v`: 0 at +dbRange (kinds 0 and 1), the height at -dbRange. */
    int yOfValue (float v) const;
    /** The frequency sampled at column `x`. */
    float frequencyAtColumn (int x) const;
    /** Rows of the horizontal grid lines (none when the graph is too low for them). */
    juce::Array<int> gridRows() const;

    ResponseFunction responseFunction;
    const int graphKind;
    int dbRange;
    float verticalScale;
    unsigned curveCount;
    unsigned handleCount = 0;
    unsigned handleOffset = 0;
    std::array<float, maxHandles> handleFreq {};
    juce::Component* const owner;
    juce::Colour backgroundColour { 0xff000000 };
    juce::Colour gridColour { 0xff555555 };
    std::array<juce::Colour, maxCurves> strokeColour {};
    std::array<juce::Colour, maxCurves> fillColour {};
    juce::Colour handleLineColour { 0x00000000 };
    std::array<std::unique_ptr<filter_drag>, maxHandles> handles {};
    int fillMode = 1;
    float lineThickness = 1.5f;

    /** Paints since construction (a repaint storm shows here first). */
    int paintCount = 0;

private:
    void paintGrid (juce::Graphics& g, int w, int h) const;
    void paintCurve (juce::Graphics& g, int curve, int w, int h) const;
    void placeHandle (juce::Graphics& g, unsigned k, juce::Colour lineColour, int h);
    void moveHandle (unsigned k, double x);

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (EQGraph)
};
