#pragma once

#include <juce_gui_basics/juce_gui_basics.h>
#include <vector>

/** A QR code of a text (the remote's address), drawn module by module from libqrencode's
    matrix: dark modules on white with the four-module quiet zone a reader needs, each
    module a whole number of pixels, centred.  Message thread only.
*/
class QrCodeView : public juce::Component
{
public:
    QrCodeView();

    /** Shows the code of `text` (nothing for an empty text or one too long to encode). */
    void setText (const juce::String& text);
    const juce::String& getText() const noexcept { return text; }

    /** The modules across (0 when nothing is shown). */
    int moduleCount() const noexcept { return size; }
    /** True for a dark module at (x, y). */
    bool isDark (int x, int y) const;

    void paint (juce::Graphics& g) override;

    /** Modules of white around the code. */
    static constexpr int quietZone = 4;

private:
    juce::String text;
    int size = 0;
    std::vector<bool> modules;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (QrCodeView)
};
