#pragma once

#include <cstddef>

/** The number text of parameters, preset files and entries: a small printf-like formatter
    and two parsers with the "k" notation for thousands ("2k00" is 2000).

    Unlike the C library these never depend on the locale and never allocate.
    formatText writes at most capacity - 1 characters and always terminates the text
    (capacity 0 writes nothing); the result is the number of characters written.
    Arguments: integers as int, floating point as double, texts as const char*.
*/
int formatText (char* buffer, std::size_t capacity, const char* format, ...);

/** Reads an optional sign and decimal digits; stores the value in `out` in every case and
    returns the characters consumed (below 1: nothing usable). */
int parseIntText (const char* text, int& out);

/** Reads an optional sign, digits, and "." or "k" decimals; stores the value in `out` in every
    case and returns the characters consumed (below 1: nothing usable). */
int parseFloatText (const char* text, float& out);
