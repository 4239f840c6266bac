#include "presetDocument.h"
#include "PresetFile.h"
#include "PresetText.h"
#include "SettingsStore.h"
#include "Croot.h"
#include "Globals.h"

#include <algorithm>
#include <climits>

namespace
{
    constexpr int titleLength = 10;

    // Any bytes make a string: valid UTF-8 is read as such, anything else as 8-bit text.
    juce::String displayText (const std::string& bytes)
    {
        const auto size = (int) std::min<std::size_t> (bytes.size(), INT_MAX);
        return juce::String::createStringFromData (bytes.data(), size);
    }

    // The name is one line of the file: a line break in it would split it and could even
    // be read back as a marker.
    juce::String nameLine (const juce::String& title)
    {
        return title.replaceCharacters ("\r\n", "  ");
    }
}

presetDocument::presetDocument()
    : FileBasedDocument (PresetFile::extension, juce::String ("*") + PresetFile::extension,
                         TRANS ("Open a preset file..."), TRANS ("Save as preset file..."))
{
    applyPresetText (PresetText::defaultPreset);
}

presetDocument::~presetDocument() = default;

void presetDocument::applyPresetText (const juce::String& text)
{
    applyUtf8 (text.toStdString());
}

void presetDocument::applyUtf8 (const std::string& text)
{
    const auto lines = PresetText::splitLines (text.data(), text.size());

    presetLines.clearQuick();
    presetLines.ensureStorageAllocated ((int) lines.size());
    for (const auto& line : lines)
        presetLines.add (displayText (line));

    presetTitle = presetLines[0];

    if (globals::root != nullptr)
        PresetText::applyLines (*globals::root, lines);
}

juce::String presetDocument::buildPresetText() const
{
    if (globals::root == nullptr)
        return juce::String (PresetText::beginMarker) + "\n" + PresetText::endMarker;

    const auto text = PresetText::build (*globals::root);
    return juce::String::fromUTF8 (text.data(), (int) text.size());
}

juce::String presetDocument::getDocumentTitle()
{
    return presetTitle;
}

juce::Result presetDocument::loadDocument (const juce::File& file)
{
    const auto notValid = juce::Result::fail (TRANS ("Not a valid Preset (.kvt) file"));

    const auto target = PresetFile::resolve (file);
    if (target == juce::File())
        return notValid;

    // A file that cannot be read is a failure, not an empty preset: the tree and the name
    // stay as they were.
    std::string text;
    if (! PresetFile::readText (target, text))
        return notValid;

    applyUtf8 (text);
    presetTitle = presetTitle.substring (0, titleLength);
    return juce::Result::ok();
}

juce::Result presetDocument::saveDocument (const juce::File& file)
{
    const auto target = PresetFile::resolve (file);

    presetLines.clearQuick();
    presetLines.add (nameLine (presetTitle));
    presetLines.addLines (buildPresetText());

    // The command-line tool writes the same bytes for the same tree and name.
    const auto text = globals::root != nullptr ? PresetText::fileText (presetTitle.toStdString(), *globals::root)
                                               : presetLines.joinIntoString ("\r\n").toStdString();

    if (target == juce::File() || ! PresetFile::writeAtomically (target, text.data(), text.size()))
        return juce::Result::fail (TRANS ("Couldn't write to the file."));

    return juce::Result::ok();
}

juce::File presetDocument::getLastDocumentOpened()
{
    auto* settings = globals::settings;
    return settings != nullptr ? settings->recentFiles().getFile (0) : juce::File();
}

void presetDocument::setLastDocumentOpened (const juce::File& file)
{
    if (auto* settings = globals::settings)
        settings->addRecentFile (file);
}
