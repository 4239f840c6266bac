// Text from preset files and entries is untrusted: any text read into any block, and any
// format and value given to the formatter, must stay inside its buffers and its ranges.

#include "HeadlessModel.h"
#include "NumberText.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace
{
    std::vector<Cnode*>& allBlocks()
    {
        static HeadlessModel model;
        static std::vector<Cnode*> blocks = model.blocks();
        return blocks;
    }

    /** Writes into a heap buffer of exactly `capacity` bytes and checks the promise. */
    template <typename... Args>
    void formatChecked (std::size_t capacity, const char* format, Args... args)
    {
        auto buffer = std::make_unique<char[]> (capacity + (capacity == 0 ? 1 : 0));
        const int written = formatText (buffer.get(), capacity, format, args...);
        if (capacity == 0)
        {
            if (written != 0)
                std::abort();
            return;
        }
        // ("%c" of 0 writes a NUL of its own, so the text may end before the count.)
        if (written < 0 || (std::size_t) written >= capacity || buffer[(std::size_t) written] != '\0'
            || std::strlen (buffer.get()) > (std::size_t) written)
            std::abort();
    }

    bool isFlag (char c)
    {
        return c == '+' || c == '.' || c == 'k' || (c >= '0' && c <= '9');
    }

    /** Cuts the format after each conversion and gives every piece the argument its letter
        reads, so the variadic call is always well typed. */
    void formatPieces (const std::string& format, std::size_t capacity, double number, int integer, const char* text)
    {
        std::size_t start = 0;
        while (start < format.size())
        {
            auto percent = format.find ('%', start);
            if (percent == std::string::npos)
            {
                formatChecked (capacity, format.substr (start).c_str());
                return;
            }
            auto letter = percent + 1;
            while (letter < format.size() && isFlag (format[letter]))
                ++letter;

            // "n" repeats the character after it: keep that character in the same piece.
            auto end = letter < format.size() ? letter + 1 : letter;
            if (letter < format.size() && format[letter] == 'n' && end < format.size())
                ++end;

            const auto piece = format.substr (start, end - start);
            const char c = letter < format.size() ? format[letter] : '\0';
            switch (c)
            {
                case 'f': formatChecked (capacity, piece.c_str(), number); break;
                case 'd':
                case 'x':
                case 'c': formatChecked (capacity, piece.c_str(), integer); break;
                case 's': formatChecked (capacity, piece.c_str(), text); break;
                default: formatChecked (capacity, piece.c_str()); break;
            }
            start = end;
        }
    }

    void checkBlock (Cnode& block, std::size_t capacity)
    {
        for (auto* child = block.firstChild; child != &block; child = child->next)
        {
            const auto& p = *static_cast<const Cparam*> (child);
            if (p.step < p.minStep || p.step > p.maxStep)
                std::abort();
        }

        auto buffer = std::make_unique<char[]> (capacity + 1);
        buffer[capacity] = 'Z';
        block.toText (buffer.get(), (int) capacity);
        if (buffer[capacity] != 'Z' || (capacity > 0 && std::strlen (buffer.get()) >= capacity))
            std::abort();
    }
}

extern "C" int LLVMFuzzerTestOneInput (const std::uint8_t* data, std::size_t size)
{
    if (size < 12 || size > 4096)
        return 0;

    // Layout: block choice, buffer capacity, 8 bytes of double, then the text (NUL-terminated copy).
    auto& blocks = allBlocks();
    auto& block = *blocks[data[0] % blocks.size()];
    const std::size_t capacity = data[1] % 48;
    double number = 0.0;
    std::memcpy (&number, data + 2, sizeof (number));
    int integer = 0;
    std::memcpy (&integer, data + 2, sizeof (integer));
    const std::string text (reinterpret_cast<const char*> (data + 10), size - 10);

    const int result = block.fromText (text.c_str());
    if (result != 0 && result != -1)
        std::abort();
    checkBlock (block, capacity);

    int parsedInt = 0;
    float parsedFloat = 0.0f;
    const auto length = std::strlen (text.c_str());
    if ((std::size_t) parseIntText (text.c_str(), parsedInt) > length
        || (std::size_t) parseFloatText (text.c_str(), parsedFloat) > length)
        std::abort();

    formatPieces (text.substr (0, length), capacity, number, integer, text.c_str());
    formatPieces (text.substr (0, length), 256, number, integer, text.c_str());
    return 0;
}
