#include "PresetFile.h"

const char* const PresetFile::extension = ".kvt";

juce::File PresetFile::resolve (const juce::File& file)
{
    if (file == juce::File())
        return {};

    // On a case-sensitive file system "live.KVT" and "live.kvt" are different files: keep
    // the name the user chose when it already is a preset file name.
    if (file.getFileExtension().equalsIgnoreCase (extension))
        return file;

    return file.withFileExtension (extension);
}

bool PresetFile::readText (const juce::File& file, std::string& text)
{
    if (! file.existsAsFile() || file.getSize() > maximumSize)
        return false;

    juce::MemoryBlock bytes;
    if (! file.loadFileAsData (bytes))
        return false;

    const auto* data = static_cast<const juce::uint8*> (bytes.getData());
    const auto size = bytes.getSize();

    if (size >= 2 && ((data[0] == 0xFF && data[1] == 0xFE) || (data[0] == 0xFE && data[1] == 0xFF)))
    {
        text = juce::String::createStringFromData (data, (int) size).toStdString();
        return true;
    }

    text.assign (static_cast<const char*> (bytes.getData()), size);
    return true;
}

bool PresetFile::writeAtomically (const juce::File& target, const void* data, std::size_t size)
{
    if (target == juce::File() || target.isDirectory())
        return false;

    if (! target.getParentDirectory().createDirectory().wasOk())
        return false;

    juce::TemporaryFile temporary (target, juce::TemporaryFile::useHiddenFile);

    {
        // No buffering: write() then reports a short write (disk full, size limit) at once.
        juce::FileOutputStream out (temporary.getFile(), 0);

        if (! out.openedOk() || ! out.write (data, size))
            return false;

        out.flush();   // also syncs the file to disk before it replaces the old one

        if (out.getStatus().failed())
            return false;
    }

    if (temporary.getFile().getSize() != (juce::int64) size)
        return false;

    return temporary.overwriteTargetFileWithTemporary();
}
