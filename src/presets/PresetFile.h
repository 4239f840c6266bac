#pragma once

#include <juce_core/juce_core.h>
#include <string>

/** Preset files on disk: which file a name stands for, reading it whole, and writing it so
    that an existing file is only ever replaced by a complete new one.

    Windowless; the preset document calls it on the message thread.
*/
class PresetFile
{
public:
    /** ".kvt", the extension every preset file has. */
    static const char* const extension;

    /** Files larger than this are not presets (a real one is under 2 kB); reading refuses
        them instead of loading them whole into memory. */
    static constexpr juce::int64 maximumSize = 64 * 1024 * 1024;

    /** The file a preset named `file` lives in: `file` itself when its extension is already
        ".kvt" (in any letter case), otherwise `file` with its extension replaced by ".kvt".
        The null file stays null. */
    static juce::File resolve (const juce::File& file);

    /** Reads the whole file into `text` as UTF-8 bytes (a UTF-16 file with a byte-order mark
        is converted).  False, with `text` untouched, when the file does not exist, cannot be
        read or is larger than maximumSize. */
    static bool readText (const juce::File& file, std::string& text);

    /** Writes `size` bytes to a temporary file in the target's folder (creating the folder
        when needed) and renames it over `target` once every byte is on disk.  On any failure
        the temporary file is removed, an existing target is left as it was, and false is
        returned. */
    static bool writeAtomically (const juce::File& target, const void* data, std::size_t size);
};
