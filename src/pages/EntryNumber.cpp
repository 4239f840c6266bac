#include "EntryNumber.h"

#include "NumberText.h"

#include <cmath>

juce::String entryNumberText (const juce::String& typed)
{
    const auto text = typed.trim().replaceCharacter (',', '.');

    // Thousands with decimals, as people write them ("1.5k"), are the "k" notation with the
    // k in the point's place ("1k5"); the parsers would stop at that k and read 1.5.
    const int point = text.indexOfChar ('.');
    if (point < 0 || ! text.substring (0, point).trimCharactersAtStart ("+-").containsOnly ("0123456789"))
        return text;

    int end = point + 1;
    while (end < text.length() && juce::CharacterFunctions::isDigit (text[end]))
        ++end;
    if (end == text.length() || text[end] != 'k')
        return text;

    return text.substring (0, point) + "k" + text.substring (point + 1, end) + text.substring (end + 1);
}

bool readEntryNumber (const juce::String& typed, float& value)
{
    const auto text = entryNumberText (typed);
    float read = 0.0f;
    const int used = parseFloatText (text.toRawUTF8(), read);

    // A sign or a point alone is consumed without a digit: it is no number at all.
    if (used < 1 || ! text.substring (0, used).containsAnyOf ("0123456789") || ! std::isfinite (read))
        return false;

    value = read;
    return true;
}
