#pragma once

#include "DatagramSocket.h"
#include "DeviceSession.h"
#include "DeviceFamily.h"
#include "HidAccess.h"
#include "LinkMessage.h"
#include "LinkThread.h"
#include "OutboundQueue.h"
#include "PacketSink.h"
#include "PanelOperations.h"
#include "SetupOperations.h"
#include <juce_events/juce_events.h>
#include <oscpack/osc/OscReceivedElements.h>
#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

class Dialogs;

class UsbConnection;
class UdpConnection;

namespace osc
{
    /** Which transport the program talks to the amplifier on. */
    enum class ConnectionKind
    {
        none,
        usb,
        network
    };

    /** Where an immediate send goes: the USB mailbox, the chosen amplifier's UDP address,
        or the query target (broadcast or one amplifier). */
    enum class Route
    {
        usb,
        device,
        target
    };

    /** How the hub builds its transports and reads time.  The defaults are the program's. */
    struct HubOptions
    {
        /** Makes the USB transport's device layer; unset means the real HID access. */
        std::function<std::unique_ptr<HidAccess>()> makeHidAccess;

        /** Makes a UDP socket bound to the given port; unset means the real one
            (UdpSocket).  Called on the message thread: at construction and whenever a
            network amplifier is chosen. */
        std::function<std::unique_ptr<DatagramSocket> (int port)> makeSocket;

        /** The directed broadcast addresses a search sends "/info" to besides
            255.255.255.255, read at every search; unset means those of the host's
            interfaces (InterfaceBroadcasts::current).  Message thread. */
        std::function<std::vector<std::uint32_t>()> listBroadcasts;

        /** Whether the hub broadcasts "/info" as soon as it exists (the program does; a
            caller after one amplifier need not ask the whole network). */
        bool searchAtStart = true;

        /** The UDP port the program binds and the amplifiers listen on. */
        int udpPort = 3456;

        /** Milliseconds, wrapping like juce::Time::getMillisecondCounter (the default).
            Called from the send thread and the message thread. */
        std::function<std::uint32_t()> clock;
    };

    /** The communication hub: the one object through which the program talks to an amplifier.

        It owns both transports, keeps the outbound queue, runs the "OSC connection" send
        thread (stop-and-wait: one request in flight, retransmitted every 500 ms; more than
        three unanswered transmissions count as a lost connection), receives everything the
        transports post and dispatches it on the message thread to the panel, the Setup page,
        the standalone blocks or the parameter tree.  It also runs the online and offline
        sequences and asks and tells the user through the dialogs it was given.
        Building requests and reading answers is osc::codec's (DeviceCodec.h).

        The conversation with the program's amplifier is one DeviceSession, the hub's own;
        further sessions (zr-ctl: one per amplifier) share the transports and the UDP socket,
        each with its own queue, stop-and-wait, retransmission and online state.  Answers go
        to the session of their sender's address; one from an address without a session is
        heard only as an "/info" answer.  Only the hub's own session reaches USB.

        The acknowledgement does not wait for the message thread: the receive thread judges
        each answer from its bytes (AnswerRules), retires the request it answers and sends the
        next at once; the answer's values still reach the panel, the pages and the tree on
        the message thread, and the retired request counts as queued until they have.  A
        request queued while nothing is in flight leaves from the thread that queued it; the
        send thread keeps the answer windows (retransmission, silence).

        Locking: one lock, the link lock, guards every session's queue and transmission
        state, the list of sessions and the UDP socket.  It is held by the message thread
        (appending, merging, acknowledging, transmitting a due head, flushing, replacing the
        socket, opening and closing sessions), the sweep thread (appending and transmitting a
        due head), the send thread (transmitting heads
        and reporting silence) and the receive thread (judging an answer, retiring its
        request and transmitting the next).  Nothing waits while holding it: sends are
        non-blocking.  Flags read outside it are atomics.

        At rest (offline, nothing queued) none of its threads wakes: the send thread sleeps
        until something is queued, the receive thread until a datagram arrives, and the
        meter watch runs only while online (and the watch for the UDP port only while
        another program holds it).  The USB thread looks for an amplifier every 200 ms.

        While it exists it is globals::hub and globals::packetSink.  Everything runs on the
        message thread unless a comment says otherwise.
    */
    class OscCom : public LinkThread, public juce::MessageListener, public PacketSink, private juce::Timer
    {
    public:
        /** Pauses of the send thread between passes, in milliseconds. */
        static constexpr int passPauseMs = 2;
        /** How long an answer is awaited before the request is transmitted again. */
        static constexpr int answerWindowMs = DeviceSession::answerWindowMs;
        /** While another program holds the UDP port, a new socket tries for it this often. */
        static constexpr int portRetryMs = 2000;
        /** Transmissions without an answer beyond which the connection counts as lost. */
        static constexpr int maxUnanswered = DeviceSession::maxUnanswered;
        /** Received "/meter" messages after which the meter stream is requested again. */
        static constexpr int metersPerRequest = 50;
        /** Silence (no "/meter") after which an online amplifier is asked for meters again. */
        static constexpr int meterSilenceMs = 1000;
        /** 255.255.255.255, the same in either byte order: where searches go by default. */
        static constexpr std::uint32_t broadcastAddress = 0xFFFFFFFFu;

        /** Creates and starts the USB transport, the UDP transport (socket bound to the UDP
            port, no amplifier chosen yet) and the send thread, then broadcasts "/info".
            `panel`, `setup` and `dialogs` must outlive the hub. */
        OscCom (PanelOperations& panel, SetupOperations& setup, Dialogs& dialogs, HubOptions options = {});

        /** Stops the send thread (100 ms), then destroys the UDP and the USB transport. */
        ~OscCom() override;

        //==============================================================================
        // Sending

        /** Queues a finished message, replacing a queued one of the same address; frees it
            while offline, when it cannot travel on the connection in use (over 62 bytes on
            USB) or when the queue is full.  Message thread or the signal generator's sweep thread. */
        void sendPacket (OutboundPacketPtr packet) override;

        /** While online, queues an argument-less request for `address` (never merged). */
        void sendQuery (const char* address);

        /** Sends `address` ,i value ("/lock", "/unlock"). */
        void sendInt (const char* address, int value);

        /** Sends `address` ,iis slot value text ("/preset/name", "/preset/load", "/preset/save"). */
        void sendPresetCommand (const char* address, int slot, int value, const juce::String& text);

        /** Sends "/ampname" ,s name (as UTF-8).  A name too long for one message is not sent. */
        void sendAmpName (const juce::String& name);

        /** Asks for the meter stream: "/meter" ,f value (10.0 in practice). */
        void sendMeterRequest (float value);

        /** Sends "/gain" ,ffii: gains in dB, mutes 0 or 1. */
        void sendGains (float gainA, float gainB, int muteA, int muteB);

        /** Transmits an argument-less message at once, outside the queue.  No answer is
            awaited. */
        void sendNow (const char* address, Route route);

        /** True between the online and the offline sequence.  Any thread. */
        bool isOnline() const { return own.online.load(); }

        //==============================================================================
        // Connection control

        /** "/online", then queries of "/gain", of every block of the tree, of the 20 preset
            names, and the meter request. */
        void goOnline();

        /** Releases a USB device, sends "/offline" on a network connection, empties the
            queue and sets the meters to their floor and the lamps off. */
        void goOffline();

        /** Sends "/info" to `target` (an IPv4 address in network byte order, see
            HostAddress.h: broadcastAddress or one amplifier) and asks the USB transport to
            announce its device again.  A broadcast also goes, once each, to the directed
            broadcast address of every network interface (HubOptions::listBroadcasts), so
            amplifiers on every network answer.  Nothing goes to a placeholder address. */
        void searchDevices (std::uint32_t target);

        /** The same for a typed host, resolved here with hostaddress::resolve (nothing is
            sent when it does not resolve).  A dotted address costs nothing; a name asks the
            resolver and may block: resolve it where it is entered and pass the address. */
        void searchDevices (const juce::String& host);

        /** Aims a new UDP socket at the amplifier at `address` (network byte order) and
            makes the network the connection in use (even for an address that cannot be
            reached: that then shows as a network error). */
        void connectNetwork (std::uint32_t address);

        /** The same for a typed host (see searchDevices); one that does not resolve is
            connected as an unreachable address. */
        void connectNetwork (const juce::String& host);

        /** Sets the connection in use (the Setup page, when it selects the USB row). */
        void setConnectionKind (ConnectionKind kind) { connectionKind.store (kind); }
        ConnectionKind getConnectionKind() const { return connectionKind.load(); }

        /** The family of the last USB amplifier announced, none before the first. */
        DeviceFamily getDeviceFamily() const { return deviceFamily; }

        /** Where searches go: broadcastAddress at start, then the latest searchDevices(). */
        std::uint32_t getQueryTarget() const { return queryTarget; }

        /** False while another program holds the UDP port: no amplifier's answer can
            reach the hub.  The Setup page is told (showPortInUse) when this changes, and a
            new socket tries for the port every portRetryMs; once it has it, a search
            follows by itself. */
        bool holdsUdpPort() const { return ! portInUse; }

        /** True while the USB transport holds a device open. */
        bool usbDevicePresent() const;

        /** True while the USB transport will announce the next device it opens (after a
            search, or while no device is present).  Any thread. */
        bool isUsbAnnouncementArmed() const;

        /** Asks "Connect to device and lose current settings?"; `onAnswer` gets true for
            "Connect" (false at once when there is no one to ask). */
        void confirmConnect (std::function<void (bool)> onAnswer);

        /** The amplifier stopped answering on USB (or switched off): disconnect, release
            the device, tell the user. */
        void usbConnectionError();

        /** The same for a network connection. */
        void networkConnectionError();

        /** Retires the head request when `address` is its address (leading '/' ignored). */
        void acknowledge (const char* address);

        /** Link events and packets posted by the transports and the send thread; anything
            not carrying osc::messageTag is ignored. */
        void handleMessage (const juce::Message& message) override;

        //==============================================================================
        // Sessions of their own: further amplifiers over the same UDP socket

        /** A new session with the network amplifier at `address` (network byte order),
            offline.  Valid until closeSession() or the hub's end. */
        DeviceSession& openSession (std::uint32_t address, SessionTarget target);

        /** Takes the session offline (when online) and forgets it. */
        void closeSession (DeviceSession& session);

        /** The program's online sequence with the session's amplifier ("/online", then the
            queries of "/gain", of every block below the target's root, of the 20 preset
            names, and the meter request). */
        void goOnline (DeviceSession& session);

        /** "/offline", the queue emptied, the target's meters to their floor. */
        void goOffline (DeviceSession& session);

        /** sendPacket() and sendQuery() for the session. */
        void sendPacket (DeviceSession& session, OutboundPacketPtr packet);
        void sendQuery (DeviceSession& session, const char* address);

        /** Nothing queued for the session and no answer on its way.  Any thread. */
        bool isSettled (const DeviceSession& session) const;

        /** Copies of the session's requests not yet done, head first.  Any thread. */
        std::vector<juce::MemoryBlock> queuedMessages (const DeviceSession& session) const;

        //==============================================================================
        // State, for the pages and for diagnosis

        /** Copies of the queued messages, head first (a request whose answer is on its way
            to the message thread still counts).  Any thread. */
        std::vector<juce::MemoryBlock> queuedMessages() const { return queuedMessages (own); }
        int getPendingTransmissions() const { return own.pendingTransmissions.load(); }
        bool isAwaitingReply() const { return own.awaitingReply.load(); }
        int getMeterReplyCount() const { return own.meterReplyCount; }

    private:
        using Handler = void (OscCom::*) (DeviceSession&, const osc::ReceivedMessage&);
        struct AddressRoute
        {
            const char* prefix;
            Handler handler;
        };
        static const AddressRoute addressRoutes[];

        void work() override;
        void timerCallback() override;

        std::uint32_t now() const;
        std::unique_ptr<DatagramSocket> makeSocket() const;
        void replaceSocket (std::uint32_t address);
        void notePortState();
        void retryPort();
        void watchMeters (DeviceSession& session);
        void updateTimer();
        bool anySessionOnline() const;
        std::vector<std::uint32_t> interfaceBroadcasts() const;
        bool serviceSessions();
        void serviceSession (DeviceSession& session);
        /** Transmits the session's head when it is due (under the link lock). */
        void transmitIfDue (DeviceSession& session);
        void transmitHead (DeviceSession& session);
        void reportSilence (DeviceSession& session);
        bool fitsConnection (const DeviceSession& session, const OutboundPacket& packet) const;
        void appendQuery (DeviceSession& session, const char* address);
        bool fillMailbox (const OutboundPacket& packet);
        void writeDatagram (const OutboundPacket& packet, std::uint32_t address);
        void sendBare (DeviceSession& session, const char* address);
        void connectionLost (bool overUsb);
        void sessionLost (DeviceSession& session);
        static std::optional<Route> routeOf (ConnectionKind kind);

        bool isOwn (const DeviceSession& session) const { return &session == &own; }
        DeviceSession* findSession (int id);
        DeviceSession* sessionFor (PacketSource source, std::uint32_t sender);
        DeviceSession* networkSessionFor (std::uint32_t sender);
        PanelOperations* panelOf (DeviceSession& session);
        SetupOperations* setupOf (DeviceSession& session);
        Cnode* rootOf (const DeviceSession& session) const;
        Cnode* speakerOf (const DeviceSession& session) const;
        Cnode* siggenOf (const DeviceSession& session) const;

        void judgeOnArrival (LinkMessage& packet);
        /** An answer its reader accepted retires its request; `answer` is handed back. */
        template <typename Answer>
        std::optional<Answer> accepted (DeviceSession& session, const osc::ReceivedMessage& message,
                                        std::optional<Answer> answer);
        /** Retires the head when it is `address` (or else `orElse`), then sends the next. */
        void answered (DeviceSession& session, const char* address, const char* orElse = nullptr);
        void handleLinkEvent (const LinkMessage& message);
        void usbDeviceLeft();
        void handlePacket (const LinkMessage& message);
        void dispatch (DeviceSession& session, const osc::ReceivedMessage& message);

        void onMeter (DeviceSession& session, const osc::ReceivedMessage& message);
        void onPeakLimit (DeviceSession& session, const osc::ReceivedMessage& message);
        void onGain (DeviceSession& session, const osc::ReceivedMessage& message);
        void onPreset (DeviceSession& session, const osc::ReceivedMessage& message);
        void onLock (DeviceSession& session, const osc::ReceivedMessage& message);
        void onSpeaker (DeviceSession& session, const osc::ReceivedMessage& message);
        void onSiggen (DeviceSession& session, const osc::ReceivedMessage& message);
        void onAmpName (DeviceSession& session, const osc::ReceivedMessage& message);
        void onPower (DeviceSession& session, const osc::ReceivedMessage& message);
        void onTreeAddress (DeviceSession& session, const osc::ReceivedMessage& message);
        void onInfo (const osc::ReceivedMessage& message, PacketSource source, std::uint32_t sender);
        void connectUsbDevice();

        PanelOperations& panel;
        SetupOperations& setup;
        Dialogs& dialogs;
        const HubOptions options;

        std::unique_ptr<UsbConnection> usb;
        std::unique_ptr<UdpConnection> udp;

        // The link lock (see the class comment).
        juce::CriticalSection linkLock;

        // The program's own session: its amplifier is the chosen one (address 0, a
        // placeholder, before one is chosen).
        DeviceSession own { 0, 0, {} };
        // Further sessions; the list changes on the message thread under the link lock.
        std::vector<std::unique_ptr<DeviceSession>> sessions;
        int lastSessionId = 0;

        std::atomic<ConnectionKind> connectionKind { ConnectionKind::none };

        // Message thread only.
        std::uint32_t queryTarget = broadcastAddress;
        DeviceFamily deviceFamily = DeviceFamily::none;
        bool askingToConnect = false;
        bool portInUse = false;
        std::uint32_t lastPortTry = 0;
        // The packet being dispatched was judged on the receive thread: its handlers only
        // apply its values.
        bool dispatchJudged = false;

        JUCE_DECLARE_NON_COPYABLE (OscCom)
    };
}
