#pragma once

#include <map>
#include <string>
#include <string_view>
#include <vector>

class Cnode;

/** What became of the values of a preset text on their way to an amplifier: those the
    program itself clamped to a parameter's range or could not read, and those the
    amplifier answered with something other than what was sent.

    Works on the tree alone (message thread): no link, no files.
*/
class PresetCheck
{
public:
    /** One value that did not arrive as written. */
    struct Finding
    {
        std::string address;   // the block's address
        std::string what;      // in plain words, e.g. "999 clamped to 680.00"
    };

    /** Applies one block line ("/channel/1/delay fi 2.50 180") the way a preset file is
        loaded, and notes every value that was clamped to its parameter's range or could
        not be read.  A line that reaches no block (unknown address, wrong type-tag word)
        is a finding of its own. */
    static std::vector<Finding> applyLine (Cnode& root, std::string_view line);

    /** applyLine for every line between the preset markers.  `blocks` counts the lines
        that reached a block; a text without markers gives one finding and no blocks. */
    static std::vector<Finding> applyText (Cnode& root, const std::vector<std::string>& lines, int& blocks);

    /** Every block's values as text, by address. */
    static std::map<std::string, std::string> snapshot (Cnode& root);

    /** The blocks whose values now differ from `sent` (a snapshot taken before sending):
        what the amplifier applied instead. */
    static std::vector<Finding> compare (const std::map<std::string, std::string>& sent, Cnode& root);
};
