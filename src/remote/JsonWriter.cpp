#include "JsonWriter.h"

#include <charconv>
#include <cmath>

namespace remote
{
    void JsonWriter::key (std::string_view name)
    {
        body += body.empty() ? "{" : ",";
        body += quote (name);
        body += ':';
    }

    JsonWriter& JsonWriter::field (std::string_view name, const char* text)
    {
        return field (name, std::string_view (text != nullptr ? text : ""));
    }

    JsonWriter& JsonWriter::field (std::string_view name, std::string_view text)
    {
        key (name);
        body += quote (text);
        return *this;
    }

    JsonWriter& JsonWriter::field (std::string_view name, const std::string& text)
    {
        return field (name, std::string_view (text));
    }

    JsonWriter& JsonWriter::field (std::string_view name, int value)
    {
        key (name);
        body += std::to_string (value);
        return *this;
    }

    JsonWriter& JsonWriter::field (std::string_view name, bool value)
    {
        key (name);
        body += value ? "true" : "false";
        return *this;
    }

    JsonWriter& JsonWriter::field (std::string_view name, double value, int decimals)
    {
        key (name);
        body += number (value, decimals);
        return *this;
    }

    JsonWriter& JsonWriter::raw (std::string_view name, std::string_view json)
    {
        key (name);
        body += json;
        return *this;
    }

    std::string JsonWriter::text() const
    {
        return body.empty() ? std::string ("{}") : body + "}";
    }

    std::string JsonWriter::quote (std::string_view text)
    {
        static const char hex[] = "0123456789abcdef";
        std::string out;
        out.reserve (text.size() + 2);
        out += '"';
        for (const char c : text)
        {
            const auto byte = (unsigned char) c;
            if (c == '"' || c == '\\')
            {
                out += '\\';
                out += c;
            }
            else if (byte < 0x20)
            {
                out += "\\u00";
                out += hex[byte >> 4];
                out += hex[byte & 15];
            }
            else
            {
                out += c;
            }
        }
        out += '"';
        return out;
    }

    std::string JsonWriter::number (double value, int decimals)
    {
        if (! std::isfinite (value))
            return "null";
        char buffer[64];
        const auto result = std::to_chars (buffer, buffer + sizeof buffer, value, std::chars_format::fixed, decimals);
        if (result.ec != std::errc())
            return "null";
        std::string text (buffer, result.ptr);
        if (text.find ('.') != std::string::npos)
        {
            while (text.back() == '0')
                text.pop_back();
            if (text.back() == '.')
                text.pop_back();
        }
        return text == "-0" ? "0" : text;
    }

    std::string JsonWriter::numbers (const std::vector<float>& values, int decimals)
    {
        std::string out = "[";
        for (size_t i = 0; i < values.size(); ++i)
        {
            if (i > 0)
                out += ',';
            out += number ((double) values[i], decimals);
        }
        return out + "]";
    }

    std::string JsonWriter::array (const std::vector<std::string>& items)
    {
        std::string out = "[";
        for (size_t i = 0; i < items.size(); ++i)
        {
            if (i > 0)
                out += ',';
            out += items[i];
        }
        return out + "]";
    }
}
