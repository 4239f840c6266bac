#include "EditWatch.h"

#include "Globals.h"
#include "SettingsHistory.h"

EditWatch::EditWatch (SettingsHistory& historyToTell)
    : history (historyToTell),
      next (globals::packetSink),
      previousWatch (globals::blockWatch)
{
    // Installed before any thread sends (the sweep starts only when asked for).
    globals::packetSink = this;
    globals::blockWatch = this;
}

EditWatch::~EditWatch()
{
    if (globals::packetSink == this)
        globals::packetSink = next;
    if (globals::blockWatch == this)
        globals::blockWatch = previousWatch;
}

void EditWatch::sendPacket (OutboundPacketPtr packet)
{
    if (packet == nullptr)
        return;

    // The sweep thread sends the generator as it steps it: never an edit.
    if (juce::MessageManager::existsAndIsCurrentThread() && telling)
        history.noteEdit (packet->address());

    if (next != nullptr)
        next->sendPacket (std::move (packet));
}

void EditWatch::blockDecoded (Cnode& block)
{
    if (telling)
        history.noteDecoded (&block);
}

void EditWatch::stopTelling()
{
    telling = false;
    if (globals::blockWatch == this)
        globals::blockWatch = previousWatch;
}
