#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

class Cnode;

/** The text of a preset: a name line, then one line per block between the begin and end
    markers, each line being the block's address, its type-tag word and its values.

    This is the windowless half of the preset document: it turns text into tree values and
    the tree into text, and knows nothing of files or windows.  All of it runs on the message
    thread (it changes the tree, whose blocks send change notifications).

    Input is treated as untrusted: any bytes (NULs, invalid UTF-8, megabytes without a line
    break) are read in one linear pass, and a line only ever changes what it validly says.
*/
class PresetText
{
public:
    static constexpr const char* beginMarker = "BEGIN_OSC_DATA";
    static constexpr const char* endMarker = "END_OSC_DATA";

    /** The preset that the document applies at start-up.  It has no name line: its first
        line is the begin marker itself. */
    static const char* const defaultPreset;

    /** Splits `size` bytes of text into lines; CR, LF and CR LF each end a line.  A UTF-8
        byte-order mark at the start is dropped.  No line ending after the last line is
        needed; an empty text gives no lines. */
    static std::vector<std::string> splitLines (const char* data, std::size_t size);

    /** Index of the first line that, after leading white space, begins with `marker`,
        searching from `from`; -1 when there is none. */
    static int findMarker (const std::vector<std::string>& lines, const char* marker, int from = 0);

    /** Applies the lines strictly between the begin marker and the first end marker after
        it, in order, to the blocks below `root`.  Nothing happens when either marker is
        missing.  Returns the number of lines that reached a block. */
    static int applyLines (Cnode& root, const std::vector<std::string>& lines);

    /** Applies one block line ("/channel/1/delay fi 1.5 0", without a line ending): finds
        the block by address, checks its type-tag word and reads as many values as the text
        holds.  Returns false when the line was skipped (no such block, wrong type-tag
        word, no values, or the first value unreadable). */
    static bool applyBlockLine (Cnode& root, std::string_view line);

    /** The line of one block: its address, a space, its type tags and its values. */
    static std::string blockLine (Cnode& block);

    /** One line per block below `root`, in tree order: address, space, type tags, values. */
    static std::vector<std::string> blockLines (Cnode& root);

    /** The begin marker, the block lines and the end marker joined with LF, with no line
        ending after the last line. */
    static std::string build (Cnode& root);

    /** A whole preset file as the program saves it: `name` (line breaks in it become
        spaces), then build() of the tree, every line ending CR LF but the last. */
    static std::string fileText (const std::string& name, Cnode& root);
};
