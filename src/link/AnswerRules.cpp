#include "AnswerRules.h"

#include "Cnode.h"
#include "DeviceCodec.h"
#include "OutboundPacket.h"

#include <cstring>

namespace osc
{
    namespace
    {
        bool startsWith (const char* text, const char* prefix)
        {
            return std::strncmp (text, prefix, std::strlen (prefix)) == 0;
        }

        const char* tagsOf (const osc::ReceivedMessage& message)
        {
            const char* tags = message.TypeTags();
            return tags != nullptr ? tags : "";
        }

        AnswerRules::Verdict none()
        {
            AnswerRules::Verdict verdict;
            verdict.known = true;
            return verdict;
        }

        AnswerRules::Verdict acknowledging (const char* address, const char* second = nullptr)
        {
            auto verdict = none();
            verdict.addresses[verdict.count++] = address;
            if (second != nullptr)
                verdict.addresses[verdict.count++] = second;
            return verdict;
        }

        AnswerRules::Verdict acknowledgingIf (bool accepted, const char* address)
        {
            return accepted ? acknowledging (address) : none();
        }
    }

    std::shared_ptr<const AnswerRules> AnswerRules::fromBlocks (Cnode* root, Cnode* speaker, Cnode* siggen)
    {
        auto rules = std::make_shared<AnswerRules>();
        forEachLeaf (root,
                     [&rules] (Cnode* block) { rules->blockTags[block->address] = wireTags (*block, block->address); });

        rules->hasSpeaker = speaker != nullptr;
        if (speaker != nullptr)
            rules->speakerTags = wireTags (*speaker, "/speaker");
        rules->hasSiggen = siggen != nullptr;
        if (siggen != nullptr)
            rules->siggenTags = wireTags (*siggen, "/siggen");
        return rules;
    }

    std::string AnswerRules::wireTags (const Cnode& block, const char* address)
    {
        char buffer[OutboundPacket::capacity];
        osc::OutboundPacketStream stream (buffer, sizeof buffer);
        try
        {
            if (! block.encode (stream, address))
                return {};
            const osc::ReceivedMessage message (
                osc::ReceivedPacket (stream.Data(), (osc::osc_bundle_element_size_t) stream.Size()));
            return tagsOf (message);
        }
        catch (const osc::Exception&)
        {
            return {};
        }
    }

    AnswerRules::Verdict AnswerRules::judge (const osc::ReceivedMessage& message) const
    {
        const char* address = message.AddressPattern();

        // The dispatch's order: the first prefix that matches decides.
        if (startsWith (address, "/meter"))
            return acknowledgingIf (codec::readMeters (message).has_value(), address);
        if (startsWith (address, "/peaklimit"))
            return none();
        if (startsWith (address, "/gain"))
            return acknowledgingIf (codec::readGains (message).has_value(), address);
        if (startsWith (address, "/preset"))
            return acknowledgingIf (codec::readPreset (message).has_value(), address);
        if (startsWith (address, "/lock"))
            return codec::readLockCode (message) ? acknowledging (address, "/unlock") : none();
        if (startsWith (address, "/speaker"))
        {
            if (message.ArgumentCount() != 1)
                return none();
            return hasSpeaker ? judgeBlock (message, speakerTags) : acknowledging (address);
        }
        if (startsWith (address, "/siggen"))
            return hasSiggen ? judgeBlock (message, siggenTags) : acknowledging (address);
        if (startsWith (address, "/ampname"))
            return acknowledgingIf (codec::readAmpName (message).has_value(), address);
        if (startsWith (address, "/power"))
            return none();

        const auto block = blockTags.find (std::string_view (address));
        if (block == blockTags.end())
            return {};
        return judgeBlock (message, block->second);
    }

    AnswerRules::Verdict AnswerRules::judgeBlock (const osc::ReceivedMessage& message, const std::string& tags) const
    {
        // A block's decode reads exactly its arguments, each of its own type, and then
        // insists on the end of the message.
        return acknowledgingIf (tags == tagsOf (message), message.AddressPattern());
    }
}
