#pragma once

#include <string>
#include <vector>

/** Turns the bytes read from a control source (standard input, a FIFO) into lines.

    Input is not trusted: a line longer than maxLineLength is dropped whole (it cannot be a
    command) and NUL bytes end nothing special.  CR before LF is removed.
*/
class ControlInput
{
public:
    static constexpr std::size_t maxLineLength = 256;

    /** Adds bytes and returns every line they completed. */
    std::vector<std::string> feed (const char* data, std::size_t size);

    /** The unfinished last line at end of input, if any (then cleared). */
    std::string finish();

private:
    std::string pending;
    bool overlong = false;
};
