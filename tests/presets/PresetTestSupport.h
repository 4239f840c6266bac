#pragma once

// Shared helpers for the preset tests: a fresh tree, parameter lookup, tree snapshots,
// temporary folders and a file-size limit that makes writes fail part-way even for root.

#include "Croot.h"
#include "Cparam.h"
#include "PresetText.h"
#include "TempFolder.h"

#include <gtest/gtest.h>
#include <juce_core/juce_core.h>
#include <csignal>
#include <cstring>
#include <memory>
#include <stdexcept>
#include <string>
#include <sys/resource.h>

namespace presettest
{
    /** A whole parameter tree with its addresses, as the main window builds it. */
    inline std::unique_ptr<Croot> makeTree()
    {
        auto root = std::make_unique<Croot>();
        assignAddresses (*root);
        return root;
    }

    /** The parameter at a path such as "channel/1/xover/hp/freq" (throws, failing the
        test, when there is none). */
    inline Cparam& param (Cnode& root, const char* path)
    {
        auto* node = findNode (&root, path, (int) std::strlen (path));
        if (node == nullptr || ! node->isParameter())
            throw std::runtime_error (std::string ("no parameter ") + path);
        return *static_cast<Cparam*> (node);
    }

    /** Calls fn for every parameter of every block, in tree order. */
    template <typename Fn>
    void forEachParam (Cnode& root, Fn&& fn)
    {
        forEachLeaf (&root,
                     [&fn] (Cnode* block)
                     {
                         block->forEachChild (
                             [&fn] (Cnode& child)
                             {
                                 if (child.isParameter())
                                     fn (static_cast<Cparam&> (child));
                             });
                     });
    }

    /** Every step of the tree as "address=step" lines: a complete picture of its state. */
    inline std::string steps (Cnode& root)
    {
        std::string text;
        forEachParam (root,
                      [&text] (Cparam& p)
                      {
                          text += p.address;
                          text += '=';
                          text += std::to_string (p.step);
                          text += '\n';
                      });
        return text;
    }

    /** Applies a preset text given as a C++ string (NULs allowed). */
    inline int applyText (Cnode& root, const std::string& text)
    {
        return PresetText::applyLines (root, PresetText::splitLines (text.data(), text.size()));
    }

    /** Puts every parameter at its highest step, so that a later change is visible. */
    inline void setAllToMax (Cnode& root)
    {
        forEachParam (root, [] (Cparam& p) { p.step = p.maxStep; });
    }

    /** Limits the size of files this process may write (writes past it fail with EFBIG,
        which holds for root too) for the lifetime of the object. */
    class FileSizeLimit
    {
    public:
        explicit FileSizeLimit (rlim_t bytes)
        {
            getrlimit (RLIMIT_FSIZE, &previous);
            previousHandler = std::signal (SIGXFSZ, SIG_IGN);
            rlimit limit = previous;
            limit.rlim_cur = bytes;
            active = setrlimit (RLIMIT_FSIZE, &limit) == 0;
        }
        ~FileSizeLimit()
        {
            setrlimit (RLIMIT_FSIZE, &previous);
            std::signal (SIGXFSZ, previousHandler);
        }
        bool isActive() const { return active; }

    private:
        rlimit previous {};
        void (*previousHandler) (int) = nullptr;
        bool active = false;
    };

    inline std::string readBytes (const juce::File& file)
    {
        juce::MemoryBlock block;
        file.loadFileAsData (block);
        return std::string (static_cast<const char*> (block.getData()), block.getSize());
    }
}
