#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

class Cnode;
class Cparam;

/** What one part of the settings holds: its line in the preset text's form ("/channel/1/peq/5
    sfff PEQ 1k00 +3.0 1.00") and, behind it, the exact step of each of its values (a text
    prints a frequency to three or four digits only).  Two states are the same setting when
    their lines are equal. */
struct PartState
{
    std::string line;
    std::vector<std::int32_t> steps;

    bool operator== (const PartState& other) const { return line == other.line; }
    bool operator!= (const PartState& other) const { return line != other.line; }
};

/** One part of the amplifier's settings as the edit history sees it: a block of the tree,
    a standalone block, or the panel's gains.  The history reads it, puts an earlier state
    back and sends it, and never needs to know which it is.  Message thread only. */
struct SettingsPart
{
    /** The block's address ("/channel/1/peq/5", "/speaker"), or a name of the same form
        for part of a block ("/siggen/level"). */
    std::string address;

    /** The address its block is sent with, when it is not `address` ("/siggen"): edits
        sent there are edits of this part, and parts sent as one go out as one message. */
    std::string sentWith;
    const std::string& sentAs() const noexcept { return sentWith.empty() ? address : sentWith; }

    /** 1 or 2 for a channel's blocks, 0 for what belongs to the whole amplifier. */
    int channel = 0;

    /** True for a part that changes without being edited (the generator, whose frequency
        the sweep moves): it only joins a step when an edit of it was sent. */
    bool editedOnly = false;

    /** While this says true, the part moves by itself (the generator's frequency while the
        sweep runs): neither its moves nor an edit sent meanwhile are steps of it.  Empty:
        never. */
    std::function<bool()> moving;

    /** What the amplifier's answers are decoded into (the block), so they can be told
        apart from edits; null when no block stands for it. */
    const Cnode* source = nullptr;

    /** The part's state now. */
    std::function<PartState()> read;

    /** Puts a state back: values out of range are clamped by the parameters, and the
        pages hear of it through the blocks' change messages.  Sends nothing. */
    std::function<void (const PartState&)> apply;

    /** Hands the part's message to the hub (dropped there while offline). */
    std::function<void()> send;

    /** A block of the tree below `root`: its preset line, put back through the preset
        text's line reader (PresetText::applyBlockLine) and sent with its own address. */
    static SettingsPart treeBlock (Cnode& root, Cnode& block);

    /** Some values of a block outside the tree, under `address`: `params` are read and put
        back, its other parameters are left as they are (the generator's on/off state is
        never part of a setting).  Sent with `sentWith`, or `address` when that is empty. */
    static SettingsPart standaloneBlock (Cnode& block, std::string address, std::vector<Cparam*> params,
                                         std::string sentWith = {});

    /** Every block of the tree below `root`, in tree order. */
    static std::vector<SettingsPart> treeBlocks (Cnode& root);
};
