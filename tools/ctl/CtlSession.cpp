#include "CtlSession.h"

#include "DeviceCodec.h"
#include "PresetText.h"

CtlSession::CtlSession (osc::OscCom& hubToUse, std::uint32_t address)
    : hub (hubToUse)
{
    // Split once for every amplifier of the call.
    static const auto defaultLines = PresetText::splitLines (
        PresetText::defaultPreset, std::char_traits<char>::length (PresetText::defaultPreset));
    PresetText::applyLines (model.root, defaultLines);

    osc::SessionTarget target;
    target.panel = this;
    target.setup = this;
    target.root = &model.root;
    target.speaker = &model.speaker;
    target.siggen = &model.siggen;
    target.lost = [this] (const juce::String& why) { lost = why.toStdString(); };
    session = &hub.openSession (address, std::move (target));
}

CtlSession::~CtlSession()
{
    hub.closeSession (*session);
}

void CtlSession::goOnline()
{
    lost.clear();
    slotTable = {};
    hub.goOnline (*session);
}

bool CtlSession::isSettled() const
{
    return hub.isSettled (*session);
}

void CtlSession::sendWholeTree()
{
    forEachLeaf (&model.root, [this] (Cnode* block) { sendBlock (*block); });
}

void CtlSession::sendBlock (Cnode& block)
{
    bool encoded = false;
    auto packet = buildPacket ([&] (osc::OutboundPacketStream& s) { encoded = block.encode (s, block.address); });
    if (packet != nullptr && encoded)
        hub.sendPacket (*session, std::move (packet));
}

void CtlSession::sendPresetCommand (const char* address, int slot, int value, const std::string& text)
{
    hub.sendPacket (*session, osc::codec::presetCommand (address, slot, value, juce::String (text)));
}

void CtlSession::collectMeters()
{
    readings.clear();
    collecting = true;
}

void CtlSession::setMeters (float inputA, float inputB, float outputA, float outputB)
{
    current.levels = { inputA, inputB, outputA, outputB };
    if (collecting && session->online.load())
        readings.push_back (current);
}

void CtlSession::setClipLeds (bool inputClipA, bool inputClipB, bool outputLimitA, bool outputLimitB)
{
    current.lamps = { inputClipA, inputClipB, outputLimitA, outputLimitB };
}

void CtlSession::setSlot (int slot, int mode, const juce::String& name)
{
    if (slot >= 1 && slot <= 20)
        slotTable[(std::size_t) slot] = { mode, name.toStdString() };
}

void CtlSession::presetRecalled (const juce::String& name)
{
    recalled = name.toStdString();
}
