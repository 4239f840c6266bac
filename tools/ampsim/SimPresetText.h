#pragma once

#include <string>
#include <vector>

class SimSettings;

/** The simulator's own reader of preset text (.kvt files).

    A preset text is a name line, then block lines between a line beginning with
    "BEGIN_OSC_DATA" and one beginning with "END_OSC_DATA" (leading white space allowed).  A
    block line reads "/address tags v1 v2 ...", words separated by spaces or tabs: the
    address of one of the 39 preset blocks exactly, its type-tag word exactly ("sfff"), then
    the values in argument order: a label for 's', a whole number for 'i', a number for 'f'
    ("+3.0", "-30.0", "50.0", and "k" notation: "1k" 1000, "2k50" 2500, "15k001" 15001).
    Values are read up to the first one that cannot be read; those read are applied as a
    request would be (clamped and snapped).  Lines that reach no block or whose first value
    cannot be read are skipped.
*/
namespace simpreset
{
    /** The amplifier's factory settings, the read-only slot 1 "INIT_DATA": the settings it
        starts from.  Preset text without a name line. */
    extern const char* const initData;

    /** Splits text into lines: CR, LF and CR LF each end a line; a UTF-8 byte-order mark at
        the start is dropped. */
    std::vector<std::string> splitLines (const std::string& text);

    /** Applies the block lines of `text` to `settings`; returns the number of lines applied. */
    int apply (const std::string& text, SimSettings& settings);

    /** Reads one whole word as a number ("-1.5", "2k50"); false when it is not one. */
    bool readNumber (const std::string& word, double& value);
}
