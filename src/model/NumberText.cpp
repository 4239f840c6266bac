#include "NumberText.h"

#include <cstdarg>
#include <cstdint>

namespace
{
    // Widths and precisions beyond this are absurd; saturating keeps the arithmetic defined.
    constexpr int flagNumberLimit = 100000000;

    // The largest float has 39 integer digits; the digit count never goes beyond it, which
    // also stops the power-of-ten search for an infinite value.
    constexpr int maxIntegerDigits = 39;

    /** Output cursor that never writes past capacity - 1 and always leaves room for the NUL. */
    class Writer
    {
    public:
        Writer (char* buffer, std::size_t capacity)
            : buffer (buffer),
              capacity (capacity)
        {
        }

        bool full() const noexcept { return capacity == 0 || written + 1 >= capacity; }

        void put (char c) noexcept
        {
            if (! full())
                buffer[written++] = c;
        }

        void fill (char c, long long count) noexcept
        {
            for (; count > 0 && ! full(); --count)
                put (c);
        }

        int finish() noexcept
        {
            if (capacity > 0)
                buffer[written] = '\0';
            return (int) written;
        }

    private:
        char* buffer;
        std::size_t capacity;
        std::size_t written = 0;
    };

    struct Conversion
    {
        bool plus = false;
        bool hasWidth = false;
        bool hasMark = false;   // "." or "k" present
        bool kFlag = false;
        char pad = ' ';
        int width = 0;
        int precision = 0;
    };

    void addDigit (int& number, char digit) noexcept
    {
        if (number < flagNumberLimit)
            number = number * 10 + (digit - '0');
    }

    bool isDigit (char c) noexcept
    {
        return c >= '0' && c <= '9';
    }

    /** Reads the flag characters after "%"; returns the position of the conversion letter. */
    const char* readFlags (const char* f, Conversion& conv) noexcept
    {
        for (;; ++f)
        {
            const char c = *f;

            if (c == '+')
            {
                conv.plus = true;
            }
            else if (c == '.' || c == 'k')
            {
                conv.hasMark = true;
                conv.kFlag = conv.kFlag || c == 'k';
            }
            else if (isDigit (c))
            {
                if (conv.hasMark)
                    addDigit (conv.precision, c);
                else if (c == '0' && ! conv.hasWidth)
                    conv.pad = '0';
                else
                {
                    conv.hasWidth = true;
                    addDigit (conv.width, c);
                }
            }
            else
            {
                return f;
            }
        }
    }

    /** A float truncated toward zero for digit use: NaN gives 0, huge values a large number. */
    int truncateDigit (float x) noexcept
    {
        if (! (x >= 0.0f))
            return 0;
        if (x >= 1000.0f)
            return 1000;
        return (int) x;
    }

    void writeInteger (Writer& out, const Conversion& conv, long long value, bool hex)
    {
        const bool negative = ! hex && value < 0;
        unsigned long long magnitude = negative ? (unsigned long long) (-(value + 1)) + 1u : (unsigned long long) value;
        const unsigned base = hex ? 16u : 10u;

        char digits[24];
        int count = 0;
        do
        {
            digits[count++] = "0123456789abcdef"[magnitude % base];
            magnitude /= base;
        } while (magnitude != 0);

        const bool writeSign = ! hex && (negative || conv.plus);
        const char sign = negative ? '-' : '+';
        const long long room = (long long) conv.width - count - (writeSign ? 1 : 0);

        if (conv.pad == '0')
        {
            if (writeSign)
                out.put (sign);
            out.fill ('0', room);
        }
        else
        {
            out.fill (' ', room);
            if (writeSign)
                out.put (sign);
        }

        while (count > 0)
            out.put (digits[--count]);
    }

    void writeFixed (Writer& out, const Conversion& conv, double argument)
    {
        static const float rounding[] = { 0.5f, 0.05f, 0.005f, 0.0005f };

        float v = (float) argument;
        int p = conv.precision;
        const bool negative = v < 0.0f;

        if (negative)
            v = -v;

        bool signPending = negative || conv.plus;
        const char sign = negative ? '-' : '+';

        if (p < 4)
            v = v + rounding[p];

        const bool kNotation = conv.kFlag && v >= 1000.0f;
        if (kNotation)
        {
            v = v / 1000.0f;
            ++p;
        }

        int n = 1;
        float power = 1.0f;
        while (n < maxIntegerDigits && 10.0f * power <= v)
        {
            ++n;
            power = power * 10.0f;
        }

        long long r = (long long) conv.width - (signPending ? 1 : 0) - (conv.hasMark ? 1 : 0) - n;

        if (signPending && conv.pad == '0')
        {
            out.put (sign);
            signPending = false;
        }

        // No room for decimals: one pad character keeps the field's width.
        if (r == 0 && conv.hasMark && ! kNotation)
            out.put (conv.pad);

        if (r > p)
        {
            out.fill (conv.pad, r - p);
            r = p;
        }

        if (signPending)
            out.put (sign);

        for (int i = 0; i < n; ++i)
        {
            const int d = truncateDigit (v / power);
            out.put (d > 9 ? '#' : (char) ('0' + d));
            v = v - (float) d * power;
            power = power / 10.0f;
        }

        const long long decimals = conv.hasWidth ? r : p;
        if (decimals > 0)
        {
            out.put (kNotation ? 'k' : '.');
            for (long long i = 0; i < decimals && ! out.full(); ++i)
            {
                v = v * 10.0f;
                const int d = truncateDigit (v);
                v = v - (float) d;
                out.put (d > 9 ? '9' : (char) ('0' + d));
            }
        }
    }

    void writeText (Writer& out, const Conversion& conv, const char* text)
    {
        if (text == nullptr)
            text = "";

        if (! conv.hasWidth)
        {
            while (*text != '\0' && ! out.full())
                out.put (*text++);
            return;
        }

        // Exactly width characters: cut, or filled with spaces on the right.
        int i = 0;
        for (; i < conv.width && text[i] != '\0' && ! out.full(); ++i)
            out.put (text[i]);
        out.fill (' ', (long long) conv.width - i);
    }
}

int formatText (char* buffer, std::size_t capacity, const char* format, ...)
{
    Writer out (buffer, capacity);

    if (buffer == nullptr)
        return 0;
    if (format == nullptr)
        return out.finish();

    va_list args;
    va_start (args, format);

    const char* f = format;
    while (*f != '\0' && ! out.full())
    {
        if (*f != '%')
        {
            out.put (*f++);
            continue;
        }

        Conversion conv;
        f = readFlags (f + 1, conv);
        const char letter = *f;

        if (letter == '\0')
        {
            out.put ('?');
            break;
        }

        ++f;

        switch (letter)
        {
            case 'd': writeInteger (out, conv, va_arg (args, int), false); break;
            case 'x': writeInteger (out, conv, va_arg (args, unsigned int), true); break;
            case 'f': writeFixed (out, conv, va_arg (args, double)); break;
            case 's': writeText (out, conv, va_arg (args, const char*)); break;
            case 'c': out.put ((char) va_arg (args, int)); break;
            case '%': out.put ('%'); break;

            case 'n':
                if (*f == '\0')
                {
                    va_end (args);
                    return out.finish();
                }
                if (conv.hasWidth)
                    out.fill (*f++, conv.width);
                break;

            default: out.put ('?'); break;
        }
    }

    va_end (args);
    return out.finish();
}

namespace
{
    /** A leading "-" or "+" counts as consumed; returns how many characters it took. */
    int readSign (const char* text, bool& negative)
    {
        negative = text[0] == '-';
        return text[0] == '-' || text[0] == '+' ? 1 : 0;
    }
}

int parseIntText (const char* text, int& out)
{
    out = 0;
    if (text == nullptr || *text == '\0')
        return 0;

    bool negative = false;
    int pos = readSign (text, negative);

    // Saturates instead of overflowing; the result is clamped to the int range below.
    std::int64_t value = 0;
    for (; isDigit (text[pos]); ++pos)
        if (value <= INT32_MAX)
            value = value * 10 + (text[pos] - '0');

    if (negative)
        value = -value;

    out = (int) (value > INT32_MAX ? INT32_MAX : value < INT32_MIN ? INT32_MIN : value);
    return pos;
}

int parseFloatText (const char* text, float& out)
{
    out = 0.0f;
    if (text == nullptr || *text == '\0')
        return 0;

    bool negative = false;
    int pos = readSign (text, negative);

    float value = 0.0f;
    float weight = 0.1f;
    bool decimals = false;

    for (;; ++pos)
    {
        const char c = text[pos];

        if (isDigit (c))
        {
            const float digit = (float) (c - '0');
            if (decimals)
            {
                value = value + digit * weight;
                weight = weight / 10.0f;
            }
            else
            {
                value = value * 10.0f + digit;
            }
        }
        else if (c == '.' && ! decimals)
        {
            decimals = true;
        }
        else if (c == 'k' && ! decimals)
        {
            // "k" stands for the decimal point of a number of thousands: "1k5" is 1500.
            value = value * 1000.0f;
            weight = 100.0f;
            decimals = true;
        }
        else
        {
            break;
        }
    }

    out = negative ? -value : value;
    return pos;
}
