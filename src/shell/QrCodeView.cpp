#include "QrCodeView.h"

#include <qrencode.h>

QrCodeView::QrCodeView()
{
    setOpaque (false);
}

void QrCodeView::setText (const juce::String& newText)
{
    if (newText == text)
        return;
    text = newText;
    size = 0;
    modules.clear();
    setTitle (text.isEmpty() ? juce::String() : TRANS ("QR code of ") + text);

    // Version chosen by the length, error correction M (a screen photographed at an angle).
    if (QRcode* code = text.isEmpty() ? nullptr : QRcode_encodeString (text.toRawUTF8(), 0, QR_ECLEVEL_M, QR_MODE_8, 1))
    {
        size = code->width;
        modules.resize ((size_t) (size * size));
        for (int i = 0; i < size * size; ++i)
            modules[(size_t) i] = (code->data[i] & 1) != 0;
        QRcode_free (code);
    }
    repaint();
}

bool QrCodeView::isDark (int x, int y) const
{
    if (x < 0 || y < 0 || x >= size || y >= size)
        return false;
    return modules[(size_t) (y * size + x)];
}

void QrCodeView::paint (juce::Graphics& g)
{
    if (size == 0)
        return;
    const int span = size + 2 * quietZone;
    const int module = juce::jmax (1, juce::jmin (getWidth(), getHeight()) / span);
    const int side = module * span;
    const int left = (getWidth() - side) / 2;
    const int top = (getHeight() - side) / 2;

    g.setColour (juce::Colours::white);
    g.fillRect (left, top, side, side);
    g.setColour (juce::Colours::black);
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x)
            if (isDark (x, y))
                g.fillRect (left + (x + quietZone) * module, top + (y + quietZone) * module, module, module);
}
