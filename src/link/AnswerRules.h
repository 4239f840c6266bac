#pragma once

#include <oscpack/osc/OscReceivedElements.h>
#include <map>
#include <memory>
#include <string>

class Cnode;

namespace osc
{
    /** Which request an answer acknowledges, judged from its bytes alone: what lets the
        receive thread retire a request and send the next without a round through the
        message thread.

        The rules are those of the dispatch (OscComDispatch.cpp), address by address and in
        the same order: the amplifier's own answers when their reader accepts them
        (DeviceCodec.h), "/lock" for "/lock" and then "/unlock", "/peaklimit" and "/power"
        for nothing, the standalone blocks and the tree's blocks when the type tags are
        exactly the block's (what its decode reads, nothing more).  An address they do not
        know (no block of the tree has it) is left to the dispatch.

        The blocks' tags are taken once, on the message thread (fromBlocks); afterwards the
        rules never change and any thread may judge with them.
    */
    class AnswerRules
    {
    public:
        struct Verdict
        {
            /** False: an address these rules cannot judge (the dispatch decides). */
            bool known = false;
            /** The request addresses the answer acknowledges, in order (at most two). */
            int count = 0;
            const char* addresses[2] {};
        };

        /** Takes the type tags of every block below `root` and of the standalone blocks;
            any of them may be null (then a "/speaker" or "/siggen" answer is taken as the
            dispatch takes it without its block).  Message thread. */
        static std::shared_ptr<const AnswerRules> fromBlocks (Cnode* root, Cnode* speaker, Cnode* siggen);

        /** What `message` acknowledges.  Never throws; any thread. */
        Verdict judge (const osc::ReceivedMessage& message) const;

        /** The type tags `block`'s messages carry on the wire (for "/siggen" fewer than
            its parameters); empty for a folder.  Reads the block's values only. */
        static std::string wireTags (const Cnode& block, const char* address);

    private:
        Verdict judgeBlock (const osc::ReceivedMessage& message, const std::string& tags) const;

        std::map<std::string, std::string, std::less<>> blockTags;
        bool hasSpeaker = false, hasSiggen = false;
        std::string speakerTags, siggenTags;
    };
}
