#pragma once

#include "Globals.h"
#include "Cparam.h"
#include "HeadlessModel.h"

#include <stdexcept>
#include <string>

/** The windowless model for a test: a HeadlessModel whose look-ups fail the test (they throw)
    when a path is wrong, standing in as the program's model (globals::root, globals::speaker,
    globals::siggen) while it exists, for the parts the test names.  The old values come back
    when it goes. */
class TestModel : public HeadlessModel
{
public:
    /** Which parts become the program's; or them together. */
    enum Publish : unsigned
    {
        publishNothing = 0,
        publishRoot = 1,
        publishSpeaker = 2,
        publishSiggen = 4,
        publishAll = publishRoot | publishSpeaker | publishSiggen
    };

    explicit TestModel (unsigned publish = publishNothing)
        : rootPublished (globals::root, (publish & publishRoot) != 0 ? &root : globals::root),
          speakerPublished (globals::speaker, (publish & publishSpeaker) != 0 ? &speaker : globals::speaker),
          siggenPublished (globals::siggen, (publish & publishSiggen) != 0 ? &siggen : globals::siggen)
    {
    }

    /** The node at a tree path such as "channel/2/xover/lp". */
    Cnode& node (const std::string& path)
    {
        if (auto* found = find (path.c_str()))
            return *found;
        throw std::runtime_error ("no node " + path);
    }

    /** The block at a tree path, of the class the test expects. */
    template <typename Block>
    Block& block (const std::string& path)
    {
        if (auto* found = dynamic_cast<Block*> (find (path.c_str())))
            return *found;
        throw std::runtime_error ("no block " + path);
    }

    /** The parameter at a tree path such as "channel/1/peq/3/freq". */
    Cparam& param (const std::string& path)
    {
        auto& found = node (path);
        if (! found.isParameter())
            throw std::runtime_error ("no parameter " + path);
        return static_cast<Cparam&> (found);
    }

private:
    ScopedGlobal<Croot*> rootPublished;
    ScopedGlobal<Ciospeaker*> speakerPublished;
    ScopedGlobal<Ciosiggen*> siggenPublished;
};
