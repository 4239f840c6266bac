#pragma once

#include <juce_gui_extra/juce_gui_extra.h>
#include <string>

/** The preset document: reads preset files into the parameter tree (globals::root) and
    writes the tree into preset files, and holds the built-in default preset.

    The Setup page loads with FileBasedDocument::loadFrom and saves with saveAs; those call
    the overrides below.  The document never talks to an amplifier.  Message thread only.
*/
class presetDocument : public juce::FileBasedDocument
{
public:
    /** Applies the built-in default preset to the tree (the pages get their first values
        through the blocks' change notifications). */
    presetDocument();
    ~presetDocument() override;

    /** The lines of the preset text last read or written. */
    juce::StringArray presetLines;

    /** The preset name: the first line of the last text read (cut to 10 characters when it
        came from a file), or what the Setup page puts here before a save. */
    juce::String presetTitle;

    /** Reads a whole preset text into the tree: presetLines and presetTitle (the whole first
        line) are replaced, then every block line between the markers is applied. */
    void applyPresetText (const juce::String& text);

    /** The preset text of the current tree, without the name line: the begin marker, one
        line per block in tree order and the end marker, joined with line feeds. */
    juce::String buildPresetText() const;

    juce::String getDocumentTitle() override;

    /** Reads `file` (with its extension made ".kvt") into the tree.  Fails with "Not a valid
        Preset (.kvt) file" when there is no such file or it cannot be read; a readable file
        loads even when none of its lines apply. */
    juce::Result loadDocument (const juce::File& file) override;

    /** Writes the name line and the tree to `file` with its extension made ".kvt", CR LF
        between lines.  The old file is replaced only by a complete new one; on failure the
        result is "Couldn't write to the file.". */
    juce::Result saveDocument (const juce::File& file) override;

    /** The most recent file of the recent-files list; the null file when it is empty. */
    juce::File getLastDocumentOpened() override;

    /** Puts `file` at the front of the recent-files list (and into the settings file). */
    void setLastDocumentOpened (const juce::File& file) override;

private:
    void applyUtf8 (const std::string& text);

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (presetDocument)
};
