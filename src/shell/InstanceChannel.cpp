#include "InstanceChannel.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace
{
    const char* const folderName = "zr-remote-connect";
    const char* const socketName = "instance.socket";
    const char* const lockName = "instance.lock";
    const char* const requestHeader = "zr-remote-connect/1";
    const char* const answerOk = "ok\n";
    const char* const answerRefused = "refused\n";
    constexpr size_t largestRequest = 64 * 1024;
    constexpr int retryMs = 50;

    juce::String systemError()
    {
        return juce::String::fromUTF8 (std::strerror (errno));
    }

    bool isAbsolute (const char* path)
    {
        return path != nullptr && path[0] == '/';
    }

    void closeFd (int& fd)
    {
        if (fd >= 0)
            ::close (fd);
        fd = -1;
    }

    int msLeft (juce::uint32 deadline)
    {
        const auto now = juce::Time::getMillisecondCounter();
        return now >= deadline ? 0 : (int) (deadline - now);
    }

    /** Waits until `fd` has `events` or the deadline passes; false on time-out or error. */
    bool waitFor (int fd, short events, juce::uint32 deadline)
    {
        for (;;)
        {
            pollfd entry { fd, events, 0 };
            const int ready = ::poll (&entry, 1, msLeft (deadline));
            if (ready > 0)
                return true;
            if (ready == 0 || errno != EINTR)
                return false;
        }
    }

    bool writeAll (int fd, const void* data, size_t size, juce::uint32 deadline)
    {
        auto* bytes = static_cast<const char*> (data);
        while (size > 0)
        {
            if (! waitFor (fd, POLLOUT, deadline))
                return false;
            const auto written = ::send (fd, bytes, size, MSG_NOSIGNAL);
            if (written < 0 && errno == EINTR)
                continue;
            if (written <= 0)
                return false;
            bytes += written;
            size -= (size_t) written;
        }
        return true;
    }

    /** Reads until the other end closes its side, at most `limit` bytes. */
    bool readToEnd (int fd, juce::MemoryBlock& into, size_t limit, juce::uint32 deadline)
    {
        char buffer[4096];
        for (;;)
        {
            if (! waitFor (fd, POLLIN, deadline))
                return false;
            const auto got = ::recv (fd, buffer, sizeof buffer, 0);
            if (got < 0 && errno == EINTR)
                continue;
            if (got < 0)
                return false;
            if (got == 0)
                return true;
            if (into.getSize() + (size_t) got > limit)
                return false;
            into.append (buffer, (size_t) got);
        }
    }

    bool sameUser (int socket)
    {
        ucred peer {};
        socklen_t size = sizeof peer;
        return ::getsockopt (socket, SOL_SOCKET, SO_PEERCRED, &peer, &size) == 0 && peer.uid == ::geteuid();
    }
}

InstanceChannel::InstanceChannel (juce::File folderToUse, int clientTimeout)
    : juce::Thread ("Instance hand-over"),
      folder (std::move (folderToUse)),
      clientTimeoutMs (clientTimeout)
{
}

InstanceChannel::~InstanceChannel()
{
    if (wakeFds[1] >= 0)
    {
        const char stop = 0;
        juce::ignoreUnused (::write (wakeFds[1], &stop, 1));
    }
    stopThread (4000);

    // The socket goes before the lock, so the next program never finds one of ours.
    if (socketBound)
        ::unlinkat (folderFd, socketName, 0);
    closeFd (listenFd);
    closeFd (wakeFds[0]);
    closeFd (wakeFds[1]);
    closeFd (lockFd);
    closeFd (folderFd);
}

juce::File InstanceChannel::folderForUser()
{
    return folderForUser (std::getenv ("XDG_RUNTIME_DIR"), std::getenv ("XDG_CACHE_HOME"), std::getenv ("HOME"));
}

juce::File InstanceChannel::folderForUser (const char* runtimeFolder, const char* cacheFolder, const char* home)
{
    if (isAbsolute (runtimeFolder))
        return juce::File (juce::String::fromUTF8 (runtimeFolder)).getChildFile (folderName);
    if (isAbsolute (cacheFolder))
        return juce::File (juce::String::fromUTF8 (cacheFolder)).getChildFile (folderName);
    const auto homeFolder = isAbsolute (home) ? juce::File (juce::String::fromUTF8 (home))
                                              : juce::File::getSpecialLocation (juce::File::userHomeDirectory);
    return homeFolder.getChildFile (".cache").getChildFile (folderName);
}

bool InstanceChannel::fail (const juce::String& why)
{
    problem = why;
    return false;
}

bool InstanceChannel::prepareFolder()
{
    const auto path = folder.getFullPathName();
    if (! folder.getParentDirectory().isDirectory() && ! folder.getParentDirectory().createDirectory())
        return fail ("cannot make the folder " + folder.getParentDirectory().getFullPathName());
    if (::mkdir (path.toRawUTF8(), 0700) != 0 && errno != EEXIST)
        return fail ("cannot make the folder " + path + ": " + systemError());

    // Everything from here on goes through this descriptor: the folder checked is the one used.
    folderFd = ::open (path.toRawUTF8(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (folderFd < 0)
        return fail (path + " is not a folder: " + systemError());

    struct stat info
    {
    };
    if (::fstat (folderFd, &info) != 0)
        return fail ("cannot read the folder " + path + ": " + systemError());
    if (info.st_uid != ::geteuid())
        return fail ("the folder " + path + " belongs to another user");
    if ((info.st_mode & 077) != 0 && ::fchmod (folderFd, 0700) != 0)
        return fail ("cannot close the folder " + path + " to other users: " + systemError());
    return true;
}

bool InstanceChannel::socketAddress (sockaddr_un& address) const
{
    // Deep home folders make paths longer than a socket address holds; the folder's open
    // descriptor names the same place in a few characters.
    auto path = getSocketFile().getFullPathName().toStdString();
    if (path.size() >= sizeof (address.sun_path))
        path = "/proc/self/fd/" + std::to_string (folderFd) + "/" + socketName;
    if (path.size() >= sizeof (address.sun_path))
        return false;

    std::memset (&address, 0, sizeof address);
    address.sun_family = AF_UNIX;
    std::memcpy (address.sun_path, path.c_str(), path.size() + 1);
    return true;
}

InstanceChannel::Claim InstanceChannel::claim()
{
    if (! prepareFolder())
        return Claim::unavailable;

    lockFd = ::openat (folderFd, lockName, O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (lockFd < 0)
    {
        fail ("cannot open " + getLockFile().getFullPathName() + ": " + systemError());
        return Claim::unavailable;
    }
    if (::flock (lockFd, LOCK_EX | LOCK_NB) != 0)
    {
        const bool taken = errno == EWOULDBLOCK;
        if (! taken)
            fail ("cannot lock " + getLockFile().getFullPathName() + ": " + systemError());
        closeFd (lockFd);
        return taken ? Claim::another : Claim::unavailable;
    }

    return bindSocket() ? Claim::first : Claim::unavailable;
}

bool InstanceChannel::bindSocket()
{
    sockaddr_un address {};
    if (! socketAddress (address))
        return fail ("the path " + getSocketFile().getFullPathName() + " is too long for a local socket");

    // Whatever is there was left by a program that ended without cleaning up: the lock is ours.
    ::unlinkat (folderFd, socketName, 0);

    listenFd = ::socket (AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (listenFd < 0)
        return fail ("cannot make a local socket: " + systemError());
    if (::bind (listenFd, reinterpret_cast<sockaddr*> (&address), sizeof address) != 0)
        return fail ("cannot bind " + getSocketFile().getFullPathName() + ": " + systemError());
    socketBound = true;
    if (::listen (listenFd, 8) != 0)
        return fail ("cannot listen on " + getSocketFile().getFullPathName() + ": " + systemError());
    return true;
}

bool InstanceChannel::handOver (const juce::StringArray& arguments, int timeoutMs)
{
    const auto deadline = juce::Time::getMillisecondCounter() + (juce::uint32) timeoutMs;
    const auto socketPath = getSocketFile().getFullPathName();
    sockaddr_un address {};
    if (! socketAddress (address))
        return fail ("the path " + socketPath + " is too long for a local socket");

    int fd = -1;
    for (;;)
    {
        // Only a socket of this user's is spoken to.
        struct stat info
        {
        };
        if (::fstatat (folderFd, socketName, &info, AT_SYMLINK_NOFOLLOW) == 0
            && (! S_ISSOCK (info.st_mode) || info.st_uid != ::geteuid()))
            return fail (socketPath + " is not this user's socket");

        fd = ::socket (AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
        if (fd < 0)
            return fail ("cannot make a local socket: " + systemError());
        if (::connect (fd, reinterpret_cast<sockaddr*> (&address), sizeof address) == 0)
            break;
        closeFd (fd);

        // The program holding the lock may still be on its way to opening the socket.
        if (msLeft (deadline) == 0)
            return fail ("the running program does not answer on " + socketPath);
        juce::Thread::sleep (retryMs);
    }

    const auto request = encodeRequest (arguments);
    juce::MemoryBlock answer;
    const bool exchanged = writeAll (fd, request.getData(), request.getSize(), deadline)
                           && ::shutdown (fd, SHUT_WR) == 0 && readToEnd (fd, answer, 64, deadline);
    closeFd (fd);

    if (! exchanged)
        return fail ("the running program does not answer on " + socketPath);
    if (answer.toString() != answerOk)
        return fail ("the running program refused the request");
    return true;
}

void InstanceChannel::listen (std::function<void (const juce::StringArray&)> onArguments)
{
    jassert (listenFd >= 0 && ! isThreadRunning());
    handler = std::move (onArguments);
    if (::pipe2 (wakeFds, O_CLOEXEC) != 0)
        return;
    startThread (juce::Thread::Priority::low);
}

void InstanceChannel::run()
{
    while (! threadShouldExit())
    {
        pollfd entries[2] { { listenFd, POLLIN, 0 }, { wakeFds[0], POLLIN, 0 } };
        if (::poll (entries, 2, -1) < 0)
        {
            if (errno == EINTR)
                continue;
            return;
        }
        if (entries[1].revents != 0)
            return;
        if ((entries[0].revents & POLLIN) == 0)
            continue;

        int client = ::accept4 (listenFd, nullptr, nullptr, SOCK_CLOEXEC);
        if (client >= 0)
        {
            serveClient (client);
            closeFd (client);
        }
    }
}

void InstanceChannel::serveClient (int client)
{
    const auto deadline = juce::Time::getMillisecondCounter() + (juce::uint32) clientTimeoutMs;
    juce::MemoryBlock request;
    juce::StringArray arguments;
    const bool taken = sameUser (client) && readRequest (client, request) && decodeRequest (request, arguments);

    const char* answer = taken ? answerOk : answerRefused;
    writeAll (client, answer, std::strlen (answer), deadline);
    if (taken && handler)
        handler (arguments);
}

bool InstanceChannel::readRequest (int client, juce::MemoryBlock& request) const
{
    const auto deadline = juce::Time::getMillisecondCounter() + (juce::uint32) clientTimeoutMs;
    return readToEnd (client, request, largestRequest, deadline);
}

juce::MemoryBlock InstanceChannel::encodeRequest (const juce::StringArray& arguments)
{
    juce::MemoryOutputStream out;
    out.writeString (requestHeader);   // writeString ends each text with a NUL byte
    for (const auto& argument : arguments)
        out.writeString (argument);
    return out.getMemoryBlock();
}

bool InstanceChannel::decodeRequest (const juce::MemoryBlock& request, juce::StringArray& arguments)
{
    const auto* bytes = static_cast<const char*> (request.getData());
    const auto size = request.getSize();
    if (size == 0 || bytes[size - 1] != 0)
        return false;

    juce::StringArray fields;
    for (size_t start = 0; start < size;)
    {
        const auto length = std::strlen (bytes + start);
        if (! juce::CharPointer_UTF8::isValidString (bytes + start, (int) length))
            return false;
        fields.add (juce::String::fromUTF8 (bytes + start, (int) length));
        start += length + 1;
    }

    if (fields[0] != requestHeader)
        return false;
    fields.remove (0);
    arguments = fields;
    return true;
}
