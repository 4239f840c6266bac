#include "SettingsHistory.h"

#include "SettingsStep.h"
#include "StepNames.h"

#include <algorithm>

namespace
{
    const std::string channelA = "/channel/1/";
    const std::string channelB = "/channel/2/";
}

SettingsHistory::SettingsHistory (std::vector<SettingsPart> partsToKeep, Options optionsToUse)
    : parts (std::move (partsToKeep)),
      options (std::move (optionsToUse))
{
    if (! options.clock)
        options.clock = [] { return juce::Time::getMillisecondCounter(); };
    if (! options.channelBFollowsA)
        options.channelBFollowsA = [] { return false; };
    if (! options.gesture)
        options.gesture = [] { return std::uint64_t { 0 }; };

    modePart = indexOf ("/ampmode");
    counterpart.assign (parts.size(), -1);
    for (std::size_t i = 0; i < parts.size(); ++i)
        if (parts[i].channel == 1)
            counterpart[i] = indexOf (channelB + parts[i].address.substr (channelA.size()));

    reset();
}

SettingsHistory::~SettingsHistory()
{
    // The steps tell this history when they go: let them go while it is whole.
    manager.clearUndoHistory();
}

//==============================================================================
void SettingsHistory::reset()
{
    manager.clearUndoHistory();
    undoable.clear();
    redoable.clear();
    open = {};

    known.clear();
    for (const auto& part : parts)
        known.push_back (part.read());
    otherMemory.assign (parts.size(), std::nullopt);
    moved.assign (parts.size(), false);
    inUse = 'A';
    changed();
}

void SettingsHistory::noteEdit (std::string_view address)
{
    if (applying)
        return;

    // The parts this edit changed: those sent with its address, except one that moves by
    // itself now (the generator's frequency while the sweep runs), and channel B's copies
    // while B follows A (the page has copied them already).
    std::vector<int> edited;
    for (const int part : partsSentAs (address))
        if (! keepsMoving (part))
            edited.push_back (part);
    if (follows())
        for (std::size_t i = 0, count = edited.size(); i < count; ++i)
            if (const int copy = counterpart[(std::size_t) edited[i]]; copy >= 0)
                edited.push_back (copy);
    if (edited.empty())
        return;

    // An edit of a new gesture may come before the gesture is told (a fader jumps to where
    // it is pressed): the step before it ends here.
    const auto gesture = options.gesture();
    if (open.active && (open.collecting || open.gesture != gesture))
        commit ({}, edited);
    const bool opening = ! open.active;
    if (opening)
    {
        openStep();
        open.gesture = gesture;
    }

    for (const int part : edited)
        touch (part);
    open.lastChange = now();

    if (opening)
        changed();
}

bool SettingsHistory::keepsMoving (int part)
{
    // What moves by itself is no edit while it moves, nor at the first edit after it stopped
    // (the click that stopped it, most likely): it is taken as it is then.
    auto& p = parts[(std::size_t) part];
    if (! p.moving)
        return false;
    const bool movingNow = p.moving();
    if (! movingNow && ! moved[(std::size_t) part])
        return false;

    moved[(std::size_t) part] = movingNow;
    if (! (open.active && open.touched[(std::size_t) part]))
        known[(std::size_t) part] = p.read();
    return true;
}

void SettingsHistory::noteDecoded (const Cnode* source)
{
    if (source == nullptr)
        return;
    for (std::size_t i = 0; i < parts.size(); ++i)
        if (parts[i].source == source)
            decoded ((int) i);
}

void SettingsHistory::noteDecodedAddress (std::string_view address)
{
    for (const int part : partsSentAs (address))
        decoded (part);
}

void SettingsHistory::decoded (int part)
{
    if (open.active && open.collecting)
    {
        touch (part);
        open.anyDecoded = true;
        open.lastChange = now();
        return;
    }

    // An answer to an edit still in progress (the echo of a value sent a moment ago, maybe
    // an older one) is no news: the step keeps what the user set.
    if (open.active && open.touched[(std::size_t) part])
        return;

    auto& p = parts[(std::size_t) part];
    if (p.moving && p.moving())
        moved[(std::size_t) part] = true;
    known[(std::size_t) part] = p.read();
}

void SettingsHistory::startGesture()
{
    // The values a recall brings are still on their way; a click elsewhere does not end it.
    const bool continues = open.active && (open.collecting || open.gesture == options.gesture());
    if (! continues)
        commit ({});
    syncFollowers();
}

void SettingsHistory::pagesFollowedMode()
{
    syncFollowers();
}

void SettingsHistory::focusMoved()
{
    if (! (open.active && open.collecting))
        commit ({});
    syncFollowers();
}

void SettingsHistory::endStep (const juce::String& name)
{
    commit (name);
}

void SettingsHistory::beginRecall (const juce::String& name)
{
    commit ({});
    openStep();
    open.collecting = true;
    open.name = name;
    changed();
}

void SettingsHistory::tick (bool buttonHeld)
{
    if (! open.active)
        return;

    const auto elapsed = now() - open.lastChange;
    if (open.collecting)
    {
        if (open.anyDecoded ? elapsed >= recallQuietMs : now() - open.started >= recallWaitMs)
            commit (open.name);
        return;
    }

    if (! buttonHeld && elapsed >= quietMs)
        commit ({});
}

//==============================================================================
void SettingsHistory::openStep()
{
    open = {};
    open.active = true;
    open.started = open.lastChange = now();
    open.touched.assign (parts.size(), false);
    open.after.assign (parts.size(), {});
}

void SettingsHistory::touch (int part)
{
    open.touched[(std::size_t) part] = true;
    open.after[(std::size_t) part] = parts[(std::size_t) part].read();
}

bool SettingsHistory::includesPart (int part, bool modeChanged, bool channelBFollows) const
{
    const auto& p = parts[(std::size_t) part];
    if (p.editedOnly)
        return false;
    // While B follows A its blocks are copies the pages keep; they count with A's edits,
    // and with a change of mode, which makes them channel B's own again (or copies).
    return modeChanged || ! (p.channel == 2 && channelBFollows);
}

bool SettingsHistory::isNewEdit (std::size_t part, const std::vector<int>& newEdit)
{
    return std::find (newEdit.begin(), newEdit.end(), (int) part) != newEdit.end();
}

std::vector<SettingsHistory::Change> SettingsHistory::pendingChanges (bool includeUntold,
                                                                      const std::vector<int>& newEdit) const
{
    const auto touched = [this] (std::size_t i) { return open.active && open.touched[i]; };
    const auto stateNow = [&] (std::size_t i) { return touched (i) ? open.after[i] : parts[i].read(); };

    bool modeChanged = false;
    if (modePart >= 0)
        modeChanged = stateNow ((std::size_t) modePart) != known[(std::size_t) modePart];
    const bool channelBFollows = follows();

    std::vector<Change> changes;
    for (std::size_t i = 0; i < parts.size(); ++i)
    {
        if (! touched (i)
            && ! (includeUntold && ! isNewEdit (i, newEdit) && includesPart ((int) i, modeChanged, channelBFollows)))
            continue;
        auto after = stateNow (i);
        if (after != known[i])
            changes.push_back ({ (int) i, known[i], std::move (after) });
    }
    return changes;
}

void SettingsHistory::commit (const juce::String& name, const std::vector<int>& newEdit)
{
    // `newEdit`: the parts of an edit that is already in the tree but starts the next
    // step; their change is not this step's.
    auto changes = pendingChanges (true, newEdit);

    // What the parts hold now includes the amplifier's latest answers to the edits.
    for (std::size_t i = 0; i < parts.size(); ++i)
        if (open.active && open.touched[i])
            known[i] = isNewEdit (i, newEdit) ? open.after[i] : parts[i].read();
    for (const auto& change : changes)
        if (! isNewEdit ((std::size_t) change.part, newEdit))
            known[(std::size_t) change.part] = parts[(std::size_t) change.part].read();

    const auto stepName = name.isNotEmpty() ? name : open.name;
    const bool wasOpen = open.active;
    open = {};

    const bool recorded = ! changes.empty();
    if (recorded)
        record (std::move (changes), stepName);
    syncFollowers();
    if (wasOpen || recorded)
        changed();
}

void SettingsHistory::record (std::vector<Change> changes, const juce::String& name)
{
    // Until the other memory is given settings of its own, it holds what the amplifier had
    // when it was connected: the values before the first change of each part.
    for (const auto& change : changes)
        if (! otherMemory[(std::size_t) change.part])
            otherMemory[(std::size_t) change.part] = change.before;

    manager.beginNewTransaction (name.isNotEmpty() ? name : nameOf (changes));
    manager.perform (new SettingsStep (*this, std::move (changes)));
}

void SettingsHistory::applyStates (const std::vector<std::pair<int, PartState>>& states)
{
    const juce::ScopedValueSetter<bool> ownSends (applying, true);

    std::vector<int> applied;
    for (const auto& [part, state] : states)
    {
        auto& p = parts[(std::size_t) part];
        if (p.read() == state)
            continue;   // nothing goes out that does not change
        p.apply (state);
        applied.push_back (part);
    }

    // Sent once all are in place, in the parts' order: the amplifier mode first, and no
    // block of channel B while the mode now in force makes it follow A.
    const bool channelBFollows = follows();
    std::vector<std::string> sent;
    for (const int part : applied)
    {
        const auto& p = parts[(std::size_t) part];
        const auto& message = p.sentAs();
        if ((p.channel == 2 && channelBFollows) || std::find (sent.begin(), sent.end(), message) != sent.end())
            continue;   // one message per block, however many of its parts changed
        p.send();
        sent.push_back (message);
    }

    for (const int part : applied)
        known[(std::size_t) part] = parts[(std::size_t) part].read();
}

void SettingsHistory::syncFollowers()
{
    // Copies of channel A that the pages made (when a mode was applied, say) are not edits:
    // while B follows A, the next edit finds B as it is.
    if (! follows())
        return;
    for (std::size_t i = 0; i < parts.size(); ++i)
        if (parts[i].channel == 2 && ! (open.active && open.touched[i]))
            known[i] = parts[i].read();
}

//==============================================================================
juce::String SettingsHistory::undoName() const
{
    if (open.active)
    {
        const auto pending = pendingChanges (true);
        if (! pending.empty())
            return open.name.isNotEmpty() ? open.name : nameOf (pending);
    }
    return manager.getUndoDescription();
}

juce::String SettingsHistory::redoName() const
{
    return manager.getRedoDescription();
}

bool SettingsHistory::canUndo() const
{
    return manager.canUndo() || (open.active && ! pendingChanges (true).empty());
}

bool SettingsHistory::undoChangesMode() const
{
    if (open.active)
    {
        const auto pending = pendingChanges (true);
        if (! pending.empty())
            return stepChangesMode (pending);
    }
    return ! undoable.empty() && undoable.back()->changesMode();
}

bool SettingsHistory::redoChangesMode() const
{
    return ! redoable.empty() && redoable.back()->changesMode();
}

bool SettingsHistory::undo()
{
    if (applying)
        return false;
    commit ({});
    if (! manager.canUndo())
        return false;

    manager.undo();
    syncFollowers();
    changed();
    return true;
}

bool SettingsHistory::redo()
{
    if (applying)
        return false;
    commit ({});
    if (! manager.canRedo())
        return false;

    manager.redo();
    syncFollowers();
    changed();
    return true;
}

//==============================================================================
bool SettingsHistory::switchChangesMode() const
{
    if (modePart < 0)
        return false;
    const auto& other = otherMemory[(std::size_t) modePart];
    return other.has_value() && *other != parts[(std::size_t) modePart].read();
}

void SettingsHistory::switchMemory()
{
    if (applying)
        return;
    commit ({});

    manager.beginNewTransaction (juce::String ("Switch to ") + (inUse == 'A' ? "B" : "A"));
    manager.perform (new SettingsStep (*this));
    syncFollowers();
    changed();
}

void SettingsHistory::copyMemory()
{
    commit ({});
    for (std::size_t i = 0; i < parts.size(); ++i)
        otherMemory[i] = parts[i].read();
    changed();
}

void SettingsHistory::swapMemories()
{
    std::vector<PartState> current;
    current.reserve (parts.size());
    for (const auto& part : parts)
        current.push_back (part.read());

    std::vector<std::pair<int, PartState>> states;
    for (std::size_t i = 0; i < parts.size(); ++i)
    {
        const auto& target = otherMemory[i] ? *otherMemory[i] : current[i];
        if (target != current[i])
            states.emplace_back ((int) i, target);
        otherMemory[i] = std::move (current[i]);
    }
    inUse = inUse == 'A' ? 'B' : 'A';
    applyStates (states);
}

//==============================================================================
void SettingsHistory::putBack (const std::vector<Change>& changes, bool before)
{
    std::vector<std::pair<int, PartState>> states;
    for (const auto& change : changes)
        states.emplace_back (change.part, before ? change.before : change.after);
    applyStates (states);
}

bool SettingsHistory::stepChangesMode (const std::vector<Change>& changes) const
{
    return std::any_of (changes.begin(), changes.end(),
                        [this] (const Change& c) { return c.part == modePart && c.before != c.after; });
}

void SettingsHistory::stepPerformed (SettingsStep& step)
{
    if (! redoable.empty() && redoable.back() == &step)
        redoable.pop_back();
    else
        redoable.clear();   // a new step: the manager drops what could have been redone
    undoable.push_back (&step);
}

void SettingsHistory::stepUndone (SettingsStep& step)
{
    if (! undoable.empty() && undoable.back() == &step)
        undoable.pop_back();
    redoable.push_back (&step);
}

void SettingsHistory::stepGone (SettingsStep& step)
{
    undoable.erase (std::remove (undoable.begin(), undoable.end(), &step), undoable.end());
    redoable.erase (std::remove (redoable.begin(), redoable.end(), &step), redoable.end());
}

//==============================================================================
int SettingsHistory::indexOf (std::string_view address) const
{
    for (std::size_t i = 0; i < parts.size(); ++i)
        if (parts[i].address == address)
            return (int) i;
    return -1;
}

std::vector<int> SettingsHistory::partsSentAs (std::string_view address) const
{
    std::vector<int> found;
    for (std::size_t i = 0; i < parts.size(); ++i)
        if (parts[i].sentAs() == address)
            found.push_back ((int) i);
    return found;
}

juce::String SettingsHistory::nameOf (const std::vector<Change>& changes) const
{
    std::vector<StepNames::Change> named;
    for (const auto& change : changes)
        named.push_back ({ parts[(std::size_t) change.part].address, change.before.line, change.after.line });
    return StepNames::describe (named);
}

bool SettingsHistory::follows() const
{
    return options.channelBFollowsA();
}

std::uint32_t SettingsHistory::now() const
{
    return options.clock();
}

void SettingsHistory::changed()
{
    if (onChange)
        onChange();
}
