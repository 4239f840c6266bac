#include "ControlInput.h"

std::vector<std::string> ControlInput::feed (const char* data, std::size_t size)
{
    std::vector<std::string> lines;
    for (std::size_t i = 0; i < size; ++i)
    {
        const char c = data[i];
        if (c == '\n')
        {
            if (! overlong)
            {
                if (! pending.empty() && pending.back() == '\r')
                    pending.pop_back();
                lines.push_back (pending);
            }
            pending.clear();
            overlong = false;
        }
        else if (! overlong)
        {
            pending += c;
            if (pending.size() > maxLineLength)
            {
                pending.clear();
                overlong = true;
            }
        }
    }
    return lines;
}

std::string ControlInput::finish()
{
    std::string last = overlong ? std::string() : pending;
    pending.clear();
    overlong = false;
    return last;
}
