#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace remote
{
    /** One JSON object whose values are plain: the shape of every message a phone sends.

        The reader is strict JSON (RFC 8259) and bounded: a field whose value is an array or
        an object is skipped (nested at most maxDepth deep) and left out; more than maxFields
        fields, keys longer than maxKeyLength and strings longer than maxStringLength make
        the whole text unreadable, as does a key given twice (which of the two would count is
        a guess).  Numbers are kept only when finite.  No state beyond the fields read; any
        thread.
    */
    class FlatJson
    {
    public:
        static constexpr int maxDepth = 8;
        static constexpr std::size_t maxFields = 32;
        static constexpr std::size_t maxKeyLength = 32;
        static constexpr std::size_t maxStringLength = 256;

        enum class Type
        {
            null,
            boolean,
            number,
            string
        };

        struct Field
        {
            std::string key;
            Type type = Type::null;
            bool boolean = false;
            double number = 0.0;
            std::string text;   // UTF-8
        };

        /** The fields of `text`, or nothing when it is not one JSON object within the bounds. */
        static std::optional<FlatJson> parse (std::string_view text);

        /** The field named `key`, or null. */
        const Field* find (std::string_view key) const;

        /** The value of `key` when it is a string, a finite number or a boolean. */
        std::optional<std::string> string (std::string_view key) const;
        std::optional<double> number (std::string_view key) const;
        std::optional<bool> boolean (std::string_view key) const;

        /** The value of `key` when it is a number with no fraction between `low` and `high`. */
        std::optional<int> integer (std::string_view key, int low, int high) const;

        const std::vector<Field>& fields() const noexcept { return fieldList; }

    private:
        std::vector<Field> fieldList;
    };
}
