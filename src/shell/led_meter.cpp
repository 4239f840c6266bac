#include "led_meter.h"

led_meter::led_meter (const juce::String& name)
    : juce::Component (name)
{
    setOpaque (false);
}

void led_meter::paint (juce::Graphics& g)
{
    g.fillAll (juce::Colour (backgroundArgb));

    if (segmentCount < 1)
        return;

    const int pitch = getHeight() / segmentCount;
    const int segmentHeight = pitch - gap;
    if (segmentHeight <= 0)
        return;

    // One segment spans the whole range on its own; it then sits at the top level.
    const float step = segmentCount > 1 ? (float) ((topLevel - floorLevel) / (segmentCount - 1)) : 0.0f;

    for (int i = 0; i < segmentCount; ++i)
    {
        const float threshold = (float) topLevel - (float) i * step;
        const bool lit = threshold < level;
        const bool nearTop = i < topSegments;

        g.setColour (nearTop ? (lit ? topLitColour : topUnlitColour) : (lit ? litColour : unlitColour));
        g.fillRect (0, i * pitch, getWidth(), segmentHeight);
    }
}
