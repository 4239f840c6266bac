#include "led_clip.h"

led_clip::led_clip (const juce::String& name)
    : juce::Component (name)
{
    setOpaque (true);
}

void led_clip::paint (juce::Graphics& g)
{
    g.fillAll (lit ? litColour : unlitColour);
}
