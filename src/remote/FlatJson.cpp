#include "FlatJson.h"

#include <charconv>
#include <cmath>
#include <cstdint>

namespace remote
{
    namespace
    {
        /** A cursor over the text; every read either advances or reports failure. */
        class Reader
        {
        public:
            explicit Reader (std::string_view textToRead)
                : text (textToRead)
            {
            }

            bool atEnd() const { return pos >= text.size(); }

            void skipSpace()
            {
                while (! atEnd() && (text[pos] == ' ' || text[pos] == '\t' || text[pos] == '\n' || text[pos] == '\r'))
                    ++pos;
            }

            bool take (char c)
            {
                skipSpace();
                if (atEnd() || text[pos] != c)
                    return false;
                ++pos;
                return true;
            }

            char peek()
            {
                skipSpace();
                return atEnd() ? '\0' : text[pos];
            }

            bool literal (std::string_view word)
            {
                skipSpace();
                if (text.substr (pos, word.size()) != word)
                    return false;
                pos += word.size();
                return true;
            }

            /** A string (the opening quote not yet read) into `out`, at most `limit` bytes. */
            bool readString (std::string& out, std::size_t limit)
            {
                if (! take ('"'))
                    return false;
                out.clear();
                while (! atEnd())
                {
                    const auto c = (unsigned char) text[pos++];
                    if (c == '"')
                        return true;
                    if (c < 0x20)
                        return false;
                    if (c == '\\')
                    {
                        if (! readEscape (out))
                            return false;
                    }
                    else
                    {
                        out += (char) c;
                    }
                    if (out.size() > limit)
                        return false;
                }
                return false;
            }

            /** A number by the JSON grammar; the value is infinite when it overflows. */
            bool readNumber (double& out)
            {
                skipSpace();
                const auto start = pos;
                if (! atEnd() && text[pos] == '-')
                    ++pos;
                if (atEnd())
                    return false;
                if (text[pos] == '0')
                    ++pos;
                else if (! digits())
                    return false;
                if (! atEnd() && text[pos] == '.')
                {
                    ++pos;
                    if (! digits())
                        return false;
                }
                if (! atEnd() && (text[pos] == 'e' || text[pos] == 'E'))
                {
                    ++pos;
                    if (! atEnd() && (text[pos] == '+' || text[pos] == '-'))
                        ++pos;
                    if (! digits())
                        return false;
                }
                const auto* first = text.data() + start;
                const auto* last = text.data() + pos;
                const auto result = std::from_chars (first, last, out);
                if (result.ec == std::errc::result_out_of_range)
                    out = HUGE_VAL;   // kept out as not finite
                else if (result.ec != std::errc() || result.ptr != last)
                    return false;
                return true;
            }

            /** Skips any value; arrays and objects at most `depthLeft` deep. */
            bool skipValue (int depthLeft)
            {
                const char c = peek();
                if (c == '{' || c == '[')
                {
                    if (depthLeft <= 0)
                        return false;
                    ++pos;
                    const char close = c == '{' ? '}' : ']';
                    if (take (close))
                        return true;
                    do
                    {
                        if (c == '{')
                        {
                            std::string key;
                            if (! readString (key, FlatJson::maxStringLength) || ! take (':'))
                                return false;
                        }
                        if (! skipValue (depthLeft - 1))
                            return false;
                    } while (take (','));
                    return take (close);
                }
                if (c == '"')
                {
                    std::string ignored;
                    return readString (ignored, FlatJson::maxStringLength);
                }
                if (c == 't')
                    return literal ("true");
                if (c == 'f')
                    return literal ("false");
                if (c == 'n')
                    return literal ("null");
                double ignored = 0.0;
                return readNumber (ignored);
            }

        private:
            bool digits()
            {
                const auto start = pos;
                while (! atEnd() && text[pos] >= '0' && text[pos] <= '9')
                    ++pos;
                return pos > start;
            }

            bool hex4 (std::uint32_t& out)
            {
                if (text.size() - pos < 4)
                    return false;
                out = 0;
                for (int i = 0; i < 4; ++i)
                {
                    const char c = text[pos++];
                    out <<= 4;
                    if (c >= '0' && c <= '9')
                        out |= (std::uint32_t) (c - '0');
                    else if (c >= 'a' && c <= 'f')
                        out |= (std::uint32_t) (c - 'a' + 10);
                    else if (c >= 'A' && c <= 'F')
                        out |= (std::uint32_t) (c - 'A' + 10);
                    else
                        return false;
                }
                return true;
            }

            bool readEscape (std::string& out)
            {
                if (atEnd())
                    return false;
                switch (text[pos++])
                {
                    case '"': out += '"'; return true;
                    case '\\': out += '\\'; return true;
                    case '/': out += '/'; return true;
                    case 'b': out += '\b'; return true;
                    case 'f': out += '\f'; return true;
                    case 'n': out += '\n'; return true;
                    case 'r': out += '\r'; return true;
                    case 't': out += '\t'; return true;
                    case 'u': return readCodePoint (out);
                    default: return false;
                }
            }

            bool readCodePoint (std::string& out)
            {
                std::uint32_t code = 0;
                if (! hex4 (code))
                    return false;
                if (code >= 0xDC00 && code <= 0xDFFF)
                    return false;   // a low surrogate alone
                if (code >= 0xD800 && code <= 0xDBFF)
                {
                    std::uint32_t low = 0;
                    if (text.substr (pos, 2) != "\\u")
                        return false;
                    pos += 2;
                    if (! hex4 (low) || low < 0xDC00 || low > 0xDFFF)
                        return false;
                    code = 0x10000 + ((code - 0xD800) << 10) + (low - 0xDC00);
                }
                appendUtf8 (out, code);
                return true;
            }

            static void appendUtf8 (std::string& out, std::uint32_t code)
            {
                if (code < 0x80)
                {
                    out += (char) code;
                }
                else if (code < 0x800)
                {
                    out += (char) (0xC0 | (code >> 6));
                    out += (char) (0x80 | (code & 0x3F));
                }
                else if (code < 0x10000)
                {
                    out += (char) (0xE0 | (code >> 12));
                    out += (char) (0x80 | ((code >> 6) & 0x3F));
                    out += (char) (0x80 | (code & 0x3F));
                }
                else
                {
                    out += (char) (0xF0 | (code >> 18));
                    out += (char) (0x80 | ((code >> 12) & 0x3F));
                    out += (char) (0x80 | ((code >> 6) & 0x3F));
                    out += (char) (0x80 | (code & 0x3F));
                }
            }

            std::string_view text;
            std::size_t pos = 0;
        };

        /** One field's value: plain values are stored, arrays and objects skipped (false
            in `keep`). */
        bool readValue (Reader& reader, FlatJson::Field& field, bool& keep)
        {
            keep = true;
            const char c = reader.peek();
            if (c == '"')
            {
                field.type = FlatJson::Type::string;
                return reader.readString (field.text, FlatJson::maxStringLength);
            }
            if (c == 't' || c == 'f')
            {
                field.type = FlatJson::Type::boolean;
                field.boolean = c == 't';
                return reader.literal (c == 't' ? "true" : "false");
            }
            if (c == 'n')
            {
                field.type = FlatJson::Type::null;
                return reader.literal ("null");
            }
            if (c == '{' || c == '[')
            {
                keep = false;
                return reader.skipValue (FlatJson::maxDepth);
            }
            field.type = FlatJson::Type::number;
            return reader.readNumber (field.number);
        }
    }

    std::optional<FlatJson> FlatJson::parse (std::string_view text)
    {
        Reader reader (text);
        FlatJson json;
        if (! reader.take ('{'))
            return std::nullopt;
        if (! reader.take ('}'))
        {
            do
            {
                Field field;
                bool keep = true;
                if (! reader.readString (field.key, maxKeyLength) || ! reader.take (':')
                    || ! readValue (reader, field, keep))
                    return std::nullopt;
                if (json.find (field.key) != nullptr || json.fieldList.size() >= maxFields)
                    return std::nullopt;
                if (keep)
                    json.fieldList.push_back (std::move (field));
            } while (reader.take (','));
            if (! reader.take ('}'))
                return std::nullopt;
        }
        reader.skipSpace();
        if (! reader.atEnd())
            return std::nullopt;
        return json;
    }

    const FlatJson::Field* FlatJson::find (std::string_view key) const
    {
        for (const auto& field : fieldList)
            if (field.key == key)
                return &field;
        return nullptr;
    }

    std::optional<std::string> FlatJson::string (std::string_view key) const
    {
        const auto* field = find (key);
        if (field == nullptr || field->type != Type::string)
            return std::nullopt;
        return field->text;
    }

    std::optional<double> FlatJson::number (std::string_view key) const
    {
        const auto* field = find (key);
        if (field == nullptr || field->type != Type::number || ! std::isfinite (field->number))
            return std::nullopt;
        return field->number;
    }

    std::optional<bool> FlatJson::boolean (std::string_view key) const
    {
        const auto* field = find (key);
        if (field == nullptr || field->type != Type::boolean)
            return std::nullopt;
        return field->boolean;
    }

    std::optional<int> FlatJson::integer (std::string_view key, int low, int high) const
    {
        const auto value = number (key);
        if (! value || *value != std::floor (*value) || *value < low || *value > high)
            return std::nullopt;
        return (int) *value;
    }
}
