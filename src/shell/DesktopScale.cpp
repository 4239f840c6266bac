#include "DesktopScale.h"

#include <juce_gui_basics/juce_gui_basics.h>

#include <X11/Xlib.h>

namespace
{
    constexpr double largestFactor = 4.0;
    constexpr double referenceDpi = 96.0;

    double wholeNumberFactor (const char* text)
    {
        if (text == nullptr)
            return 0.0;

        const auto trimmed = juce::String (text).trim();
        if (trimmed.isEmpty() || ! trimmed.containsOnly ("0123456789") || trimmed.length() > 2)
            return 0.0;

        return (double) trimmed.getIntValue();
    }

    double dpiFactor (const juce::String& xResources)
    {
        for (const auto& line : juce::StringArray::fromLines (xResources))
        {
            const auto entry = line.trim();
            if (! entry.startsWith ("Xft.dpi:"))
                continue;

            const auto value = entry.fromFirstOccurrenceOf (":", false, false).trim();
            if (value.isEmpty() || ! value.containsOnly ("0123456789."))
                return 0.0;

            return value.getDoubleValue() / referenceDpi;
        }
        return 0.0;
    }

    juce::String readXResources()
    {
        auto* display = XOpenDisplay (nullptr);
        if (display == nullptr)
            return {};

        juce::String text;
        if (const char* resources = XResourceManagerString (display))
            text = juce::String::fromUTF8 (resources);

        XCloseDisplay (display);
        return text;
    }
}

double desktopscale::announcedFactor (const char* gdkScale, const juce::String& xResources)
{
    auto factor = wholeNumberFactor (gdkScale);
    if (factor < 1.0)
        factor = dpiFactor (xResources);

    return factor < 1.0 ? 1.0 : juce::jmin (factor, largestFactor);
}

void desktopscale::followDesktop()
{
    auto& desktop = juce::Desktop::getInstance();
    const auto* display = desktop.getDisplays().getPrimaryDisplay();

    // The desktop's own factor, where JUCE found one, already applies.
    if (display != nullptr && display->scale > 1.001)
        return;

    const auto factor = announcedFactor (std::getenv ("GDK_SCALE"), readXResources());
    if (factor > 1.0)
        desktop.setGlobalScaleFactor ((float) factor);
}
