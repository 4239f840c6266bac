#pragma once

#include <juce_core/juce_core.h>
#include <functional>

struct sockaddr_un;

/** One program for each user, and the road from a second start to it.

    A folder of the user's own holds a lock file and a local socket: by default
    `$XDG_RUNTIME_DIR/zr-remote-connect`, or, without a runtime folder,
    `zr-remote-connect` in the user's cache folder (`$XDG_CACHE_HOME`, else `~/.cache`).
    The folder must be the user's and closed to everybody else (0700; a folder of the user's
    that is more open is closed first).  The start that takes the lock is the program and
    listens on the socket; a later start finds the lock taken and hands its arguments over
    the socket instead.  The kernel lets go of the lock when the process that held it ends,
    however it ends, so a crash blocks nothing: the next start takes the lock and replaces
    the socket left behind.  Another user's program lives in another folder, so it can
    neither be reached nor get in the way.

    (The framework's own single-instance lock cannot do this on Linux: it is one file for the
    whole machine and hands nothing over.)

    Request on the socket: "zr-remote-connect/1", then each argument, each ended by a NUL
    byte, then the end of the sender's stream.  Answer: "ok\n" once the request was taken,
    "refused\n" for anything else.  Only connections from the same user are served.

    claim() and handOver() run on the thread that calls them (main, before the framework
    starts); listen() serves requests on a thread of its own, which sleeps in poll() until a
    request or the end comes: no wake-ups at rest.
*/
class InstanceChannel : private juce::Thread
{
public:
    enum class Claim
    {
        first,        // this start is the program: listen() next
        another,      // a program of this user runs: handOver() the arguments to it
        unavailable   // no safe folder for the lock (why() says): run without a channel
    };

    /** The lock and the socket go in `folder`.  `clientTimeoutMs` bounds how long one
        connection may take to send its request before it is dropped unanswered. */
    explicit InstanceChannel (juce::File folder, int clientTimeoutMs = 2000);

    /** Stops listening, removes the socket this channel made and lets go of the lock. */
    ~InstanceChannel() override;

    /** The folder for the user running the program, from XDG_RUNTIME_DIR, XDG_CACHE_HOME and
        HOME (paths that are not absolute count as unset). */
    static juce::File folderForUser();
    static juce::File folderForUser (const char* runtimeFolder, const char* cacheFolder, const char* home);

    /** Makes sure the folder is safe and tries to take the lock.  With `first` the socket is
        already bound and accepting connections (they wait until listen()). */
    Claim claim();

    /** After `another`: sends `arguments` to the running program and waits up to
        `timeoutMs` for its answer (a program that is still starting gets that long to open
        its socket).  True when the program took them; otherwise why() says what failed. */
    bool handOver (const juce::StringArray& arguments, int timeoutMs = 10000);

    /** After `first`: serves hand-overs from now on.  `onArguments` is called on the
        channel's own thread with each request's arguments, after the sender was answered. */
    void listen (std::function<void (const juce::StringArray&)> onArguments);

    /** Why the last claim() or handOver() did not succeed, one line. */
    const juce::String& why() const noexcept { return problem; }

    juce::File getSocketFile() const { return folder.getChildFile ("instance.socket"); }
    juce::File getLockFile() const { return folder.getChildFile ("instance.lock"); }

    /** The request that carries `arguments`, and the arguments read back from a whole
        request (false for anything that is not one). */
    static juce::MemoryBlock encodeRequest (const juce::StringArray& arguments);
    static bool decodeRequest (const juce::MemoryBlock& request, juce::StringArray& arguments);

private:
    void run() override;
    bool prepareFolder();
    bool bindSocket();
    bool socketAddress (sockaddr_un& address) const;
    void serveClient (int client);
    bool readRequest (int client, juce::MemoryBlock& request) const;
    bool fail (const juce::String& why);

    const juce::File folder;
    const int clientTimeoutMs;
    juce::String problem;
    int folderFd = -1;
    int lockFd = -1;
    int listenFd = -1;
    int wakeFds[2] { -1, -1 };
    bool socketBound = false;
    std::function<void (const juce::StringArray&)> handler;

    JUCE_DECLARE_NON_COPYABLE (InstanceChannel)
};
