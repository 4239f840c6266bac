#include "EntryNumber.h"

#include "NumberText.h"

#include <cmath>

bool readEntryNumber (const juce::String& typed, float& value)
{
    const auto text = typed.trim().replaceCharacter (',', '.');
    float read = 0.0f;
    const int used = parseFloatText (text.toRawUTF8(), read);

    // A sign or a point alone is consumed without a digit: it is no number at all.
    if (used < 1 || ! text.substring (0, used).containsAnyOf ("0123456789") || ! std::isfinite (read))
        return false;

    value = read;
    return true;
}
