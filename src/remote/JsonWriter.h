#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace remote
{
    /** Builds the text of one JSON object, field by field, for the frames sent to phones.

        Strings are escaped (control characters, quotes, backslashes; other UTF-8 passes as
        it is), numbers are written without the locale's help and a number that is not
        finite (or too large for 60 digits) becomes null.  Any thread; each writer is used by one.
    */
    class JsonWriter
    {
    public:
        JsonWriter& field (std::string_view key, const char* text);
        JsonWriter& field (std::string_view key, std::string_view text);
        JsonWriter& field (std::string_view key, const std::string& text);
        JsonWriter& field (std::string_view key, int value);
        JsonWriter& field (std::string_view key, bool value);
        /** A number with at most `decimals` digits after the point (trailing zeros cut). */
        JsonWriter& field (std::string_view key, double value, int decimals);
        /** A value that is JSON text already (an array, an object). */
        JsonWriter& raw (std::string_view key, std::string_view json);

        /** The object so far, closed. */
        std::string text() const;

        /** `text` as a JSON string, quotes included. */
        static std::string quote (std::string_view text);
        /** `value` as JSON: at most `decimals` decimals, "null" when not finite. */
        static std::string number (double value, int decimals);
        /** A JSON array of numbers, each as number() writes it. */
        static std::string numbers (const std::vector<float>& values, int decimals);
        /** A JSON array of JSON texts. */
        static std::string array (const std::vector<std::string>& items);

    private:
        void key (std::string_view name);

        std::string body;
    };
}
