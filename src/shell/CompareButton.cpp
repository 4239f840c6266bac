#include "CompareButton.h"

#include "Palette.h"

CompareButton::CompareButton()
    : HistoryButton ("compareMemories", "A/B")
{
}

void CompareButton::showMemoryInUse (char memory)
{
    if (memory == inUse)
        return;
    inUse = memory;
    repaint();
}

void CompareButton::paintButton (juce::Graphics& g, bool highlighted, bool down)
{
    auto& look = getLookAndFeel();
    look.drawButtonBackground (g, *this, findColour (juce::TextButton::buttonColourId), highlighted, down);

    const auto font = look.getTextButtonFont (*this, getHeight());
    g.setFont (font);

    // "A/B" with the letter of the memory in use in the lit colour, the rest quiet.
    const juce::String pieces[] = { "A", "/", "B" };
    const juce::Colour lit = Palette::amber;
    const juce::Colour quiet = Palette::textGrey.withAlpha (0.45f);
    const juce::Colour colours[] = { inUse == 'A' ? lit : quiet, quiet, inUse == 'B' ? lit : quiet };

    float width = 0.0f;
    for (const auto& piece : pieces)
        width += font.getStringWidthFloat (piece);

    const float alpha = isEnabled() ? 1.0f : 0.5f;
    float x = ((float) getWidth() - width) * 0.5f;
    for (int i = 0; i < 3; ++i)
    {
        const float w = font.getStringWidthFloat (pieces[i]);
        g.setColour (colours[i].withMultipliedAlpha (alpha));
        g.drawText (pieces[i], juce::Rectangle<float> (x, 0.0f, w + 1.0f, (float) getHeight()),
                    juce::Justification::centredLeft, false);
        x += w;
    }
}
