#include "ValueEntry.h"

#include "EntryNumber.h"

#include "Cparam.h"

ValueEntry::ValueEntry (const juce::String& componentName)
    : EntryField (componentName)
{
}

void ValueEntry::bind (Binding newBinding)
{
    binding = std::move (newBinding);
}

void ValueEntry::bind (Cparam& param)
{
    bind ({ [&param] { return paramText (param); },
            [&param] (const juce::String& typed)
            {
                // Read as every entry reads (EntryNumber.h): text without a number is refused
                // here rather than read by the parameter as 0, and the parameter reads the
                // text in the form the reader gives it ("1,5k" as "1k5").
                float unused = 0.0f;
                return readEntryNumber (typed, unused) && param.fromText (entryNumberText (typed).toRawUTF8()) > 0;
            } });
}

void ValueEntry::showValue()
{
    if (binding.text)
        setText (binding.text(), false);
}

void ValueEntry::commit()
{
    // A leading blank would stop the number parsers at once and read as nothing at all.
    const auto typed = getText().trim();
    if (binding.read && typed.isNotEmpty())
        binding.read (typed);

    showValue();
    selectAll();

    if (onCommit)
        onCommit();
}

void ValueEntry::revert()
{
    showValue();
    setCaretPosition (0);

    if (onRevert)
        onRevert();
}
