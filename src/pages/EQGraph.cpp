#include "EQGraph.h"

#include "Globals.h"

#include <algorithm>
#include <cmath>

namespace
{
    struct KindSettings
    {
        int dbRange;
        float verticalScale;
        unsigned curveCount;
    };

    KindSettings settingsOf (int graphKind)
    {
        switch (graphKind)
        {
            case 0: return { 40, 0.5f, 1 };
            case 1: return { 30, 0.5f, 2 };
            case 2: return { 60, 0.857142865657806f, 6 };   // 6/7: the zero line a seventh from the top
            default: return { 30, 0.5f, 1 };
        }
    }

    constexpr float lowestFrequency = 9.999999747378752e-6f;
    constexpr int handleTop = 3;
    constexpr int dottedLineTop = 17;

    // ln (f / 20) / ln (1000), rounded as the display rounds it.
    float axisRatio (float freq)
    {
        return (float) (std::log (std::max (freq, lowestFrequency) / 20.0) / std::log (1000.0));
    }

    // A curve value far outside the window, or no number at all, would make no row; such a
    // value is drawn at the edge it lies beyond.
    double displayable (float v, int dbRange)
    {
        if (std::isnan (v))
            return 0.0;
        const double limit = 4.0 * dbRange;
        return std::clamp ((double) v, -limit, limit);
    }
}

EQGraph::EQGraph (int kind, juce::Component* ownerPage)
    : graphKind (kind),
      dbRange (settingsOf (kind).dbRange),
      verticalScale (settingsOf (kind).verticalScale),
      curveCount (settingsOf (kind).curveCount),
      owner (ownerPage)
{
    setOpaque (true);
    globals::selectedHandle = 0;
}

EQGraph::~EQGraph() = default;

void EQGraph::setHandleCount (unsigned n)
{
    n = std::min (n, (unsigned) maxHandles);
    if (handleCount == 0)
    {
        handleCount = n;
    }
    else
    {
        while (handleCount > n)
        {
            --handleCount;
            if (handles[handleCount] != nullptr)
                handles[handleCount]->setVisible (false);
        }
        while (handleCount < n)
        {
            if (handles[handleCount] != nullptr)
                handles[handleCount]->setVisible (true);
            ++handleCount;
        }
    }
    handleLineColour = juce::Colour (0xff808080);
}

filter_drag& EQGraph::setHandle (int k, std::unique_ptr<filter_drag> handle)
{
    jassert (k >= 0 && k < maxHandles && handle != nullptr);
    auto& slot = handles[(size_t) juce::jlimit (0, maxHandles - 1, k)];
    if (slot != nullptr)
        removeChildComponent (slot.get());
    slot = std::move (handle);
    addAndMakeVisible (*slot);
    return *slot;
}

double EQGraph::xOfFrequency (float freq) const
{
    return (double) axisRatio (freq) * getWidth();
}

int EQGraph::yOfValue (float v) const
{
    const int h = getHeight();
    const double scaled = (displayable (v, dbRange) / dbRange + 1.0) * h * verticalScale + 0.25;
    return h - (int) scaled;   // truncation toward zero
}

float EQGraph::frequencyAtColumn (int x) const
{
    const auto ratio = (float) std::min ((double) x / getWidth(), 1.0);
    return (float) (20.0 * std::pow (1000.0, (double) ratio));
}

juce::Array<int> EQGraph::gridRows() const
{
    const int h = getHeight();
    const int n = graphKind == 2 ? 7 : (dbRange < 100 ? dbRange / 5 : dbRange / 10);
    juce::Array<int> rows;
    if (n <= 0 || h < 3 * n)
        return rows;
    for (int k = 1; k < n; ++k)
        rows.add ((int) ((float) h / (float) n * (float) k));
    return rows;
}

void EQGraph::paint (juce::Graphics& g)
{
    ++paintCount;
    const int w = getWidth(), h = getHeight();
    g.fillAll (backgroundColour);
    if (w <= 0 || h <= 0)
        return;

    if (gridColour != backgroundColour)
        paintGrid (g, w, h);

    if (responseFunction)
        for (unsigned i = 0; i < std::min (curveCount, (unsigned) maxCurves); ++i)
            paintCurve (g, (int) i, w, h);

    for (unsigned k = 0; k < handleCount; ++k)
        placeHandle (g, k, handleLineColour, h);

    const auto selected = globals::selectedHandle;
    if (selected >= 0 && (unsigned) selected < handleCount)
    {
        if (auto& handle = handles[(size_t) selected]; handle != nullptr)
            handle->toFront (false);
        placeHandle (g, (unsigned) selected, juce::Colours::white, h);
    }
}

void EQGraph::paintGrid (juce::Graphics& g, int w, int h) const
{
    g.setColour (gridColour);

    const auto verticalLine = [&] (float f)
    {
        const float r = axisRatio (f);
        if (r >= 0.0f && r <= 1.0f)
        {
            g.drawVerticalLine ((int) (r * (float) w), 0.0f, (float) h);
        }
    };
    for (int i = 1; i <= 9; ++i)
    {
        verticalLine (10.0f * i);
        verticalLine (100.0f * i);
        verticalLine (1000.0f * i);
    }
    verticalLine (10000.0f);
    verticalLine (20000.0f);

    const float zeroRow = (1.0f - verticalScale) * (float) h;
    g.drawLine (2.0f, zeroRow, (float) (w - 2), zeroRow, 2.0f);

    for (int y : gridRows())
        g.drawHorizontalLine (y, 2.0f, (float) (w - 2));
}

void EQGraph::paintCurve (juce::Graphics& g, int curve, int w, int h) const
{
    juce::Path path;
    path.preallocateSpace (3 * w + 12);
    path.startNewSubPath (0.0f, (float) yOfValue (responseFunction (curve, 20.0f)));
    for (int j = 2; j < w; ++j)   // column 1 is not sampled
        path.lineTo ((float) j, (float) yOfValue (responseFunction (curve, frequencyAtColumn (j))));

    if (fillMode != 0)
    {
        const float base = fillMode == 1 ? (float) h * 0.5f : (float) h;
        juce::Path area (path);
        area.lineTo ((float) w, base);
        area.lineTo (0.0f, base);
        area.closeSubPath();
        g.setColour (fillColour[(size_t) curve]);
        g.fillPath (area);
    }

    g.setColour (strokeColour[(size_t) curve]);
    g.strokePath (path, juce::PathStrokeType (lineThickness));
}

void EQGraph::placeHandle (juce::Graphics& g, unsigned k, juce::Colour lineColour, int h)
{
    const double x = xOfFrequency (handleFreq[k]);
    moveHandle (k, x);

    if (x < -1.0 || x > getWidth() + 1.0)
        return;
    g.setColour (lineColour);
    for (int y = dottedLineTop; y < h - 2; y += 2)
        g.fillRect ((int) x, y, 1, 1);
}

void EQGraph::moveHandles()
{
    for (unsigned k = 0; k < handleCount; ++k)
        moveHandle (k, xOfFrequency (handleFreq[k]));
}

void EQGraph::moveHandle (unsigned k, double x)
{
    if (auto& handle = handles[k]; handle != nullptr)
    {
        // Far off either side (0 Hz) the handle simply stays out of sight.
        const double left = std::clamp (x - handleOffset, -1.0e6, 1.0e6);
        handle->setTopLeftPosition ((int) left, handleTop);
    }
}
