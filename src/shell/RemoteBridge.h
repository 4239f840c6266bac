#pragma once

#include "CommandLine.h"
#include "Globals.h"
#include "RemoteFrames.h"
#include "RemoteServer.h"

#include <juce_gui_basics/juce_gui_basics.h>
#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class CPeqPage;
class CSetupPage;
class RemoteControl;

/** The program's side of the phone remote: it runs the remote's server, tells the phones
    what the panel, the Parametric EQ page and the preset slots show, and puts what a phone
    changes into those same controls.

    A phone's command arrives on the server's thread and is posted to the message thread,
    where it becomes a drag of a panel fader, a click of a panel button, an edit of a
    Parametric EQ band through its tab (CPeqTab::applyEdit), a recall through the Setup
    page or what the panel's "Undo", "Redo", "A/B" and "Copy" do (HistoryControls), exactly as the desktop user would make them: the same clamping, the same sends,
    channel B following A, and the desktop shows it at once.  While phones are connected,
    framesPerSecond times a second the state is read from those controls and every kind
    of frame that changed is handed to the server, the meters each time.

    Its change messages tell the remote window that the switch, the addresses or the phones
    changed.  Off until start().  Message thread only, apart from the server's calls, which
    only post.
*/
class RemoteBridge : public juce::ChangeBroadcaster, private remote::RemoteServer::Listener, private juce::Timer
{
public:
    static constexpr int defaultPort = CommandLine::defaultRemotePort;
    static constexpr int framesPerSecond = 30;

    /** The bridge of `panel` and its pages, which must outlive it. */
    RemoteBridge (RemoteControl& panel, CPeqPage& peqPage, CSetupPage& setupPage, remote::ServerOptions options = {});
    ~RemoteBridge() override;

    /** Starts the remote on `port` (0: any free port) with a new token and prints each
        address as "Remote control: http://ADDRESS:PORT/#k=TOKEN" on standard output.  False,
        with lastProblem() in words, when it cannot listen. */
    bool start (int port = defaultPort);

    /** Sends every phone away and stops listening. */
    void stop();

    /** A new token: every phone is sent away and must scan the new code; the addresses are
        printed again. */
    void newCode();

    bool isOn() const;
    /** The port asked for last (the default until start), or listened on while on. */
    int getPort() const;
    /** The addresses to open, one per network of this computer (with the token); empty
        while off. */
    const std::vector<std::string>& getUrls() const { return urls; }
    /** Reads the computer's networks again (they may have changed since the start). */
    void refreshUrls();
    const juce::String& lastProblem() const { return problem; }
    std::vector<remote::PhoneInfo> phones() const;

    /** Puts a phone's command into the program (what the server's thread posts). */
    void apply (const remote::Command& command);

    /** Reads the state now and hands the server what changed (the timer's work). */
    void publishChanges();

    /** The state as the phones are told it, read from the controls now. */
    remote::DeviceState readDevice() const;
    remote::PanelState readPanel() const;
    remote::MeterState readMeters() const;
    remote::PeqChannelState readPeq (int channel);
    std::vector<remote::SlotState> readSlots() const;
    remote::HistoryState readHistory() const;

private:
    void phoneCommand (int phone, const remote::Command& command) override;
    void phonesChanged() override;
    void timerCallback() override;

    void onPhonesChanged();
    void printUrls() const;
    void applyGain (const remote::Command& command);
    void applyBand (const remote::Command& command);
    void applyHistory (const remote::Command& command);
    void publishHistory();
    remote::PeqChannelState readPeqBands (int channel);
    /** Recomputes the channel's curve if its filters changed; true when it did. */
    bool updateCurve (int channel);
    void publishPeq (int channel);
    void publishIfChanged (remote::FrameKind kind, std::string frame);

    template <typename T>
    T* panelChild (const char* id) const;

    RemoteControl& panel;
    CPeqPage& peqPage;
    CSetupPage& setupPage;
    // Copied into what the server's thread posts; cleared when the bridge goes.  Declared
    // before the server, whose thread is joined before this goes.
    std::shared_ptr<RemoteBridge*> alive;
    remote::RemoteServer server;

    int port = defaultPort;
    std::string token;
    std::vector<std::string> urls;
    juce::String problem;

    std::array<std::string, remote::frameKindCount> lastSent;
    std::array<std::string, 2> lastPeqBands;   // each channel's last frame without its curve
    unsigned long long meterFrames = 0;
    // The history controls' refresh count when their state was last read; none: read it.
    std::optional<std::uint64_t> historyRead;
    // The display filters each curve was computed from, so it is computed only when they change.
    std::array<std::array<DisplayFilter, 8>, 2> curveFilters {};
    std::array<std::vector<float>, 2> curves;

    JUCE_DECLARE_NON_COPYABLE (RemoteBridge)
};
