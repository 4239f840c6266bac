// One program per user: the lock and the local socket in the user's folder, the hand-over
// of a second start's arguments, and what a crash, a silent program, a stranger's request
// and another user's files do to it.  Local sockets only, in a folder of the test's own.

#include "InstanceChannel.h"
#include "TempFolder.h"

#include <gtest/gtest.h>
#include <mutex>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace
{
    /** What a listening channel was handed, collected from the channel's thread. */
    class Received
    {
    public:
        std::function<void (const juce::StringArray&)> handler()
        {
            return [this] (const juce::StringArray& arguments)
            {
                const std::lock_guard<std::mutex> lock (mutex);
                requests.push_back (arguments);
                arrived.signal();
            };
        }

        /** Waits for the `count`-th request (up to 5 s) and returns all of them. */
        std::vector<juce::StringArray> waitFor (size_t count)
        {
            for (int i = 0; i < 100 && size() < count; ++i)
                arrived.wait (50);
            const std::lock_guard<std::mutex> lock (mutex);
            return requests;
        }

        size_t size()
        {
            const std::lock_guard<std::mutex> lock (mutex);
            return requests.size();
        }

    private:
        std::mutex mutex;
        std::vector<juce::StringArray> requests;
        juce::WaitableEvent arrived;
    };

    int modeOf (const juce::File& file)
    {
        struct stat info
        {
        };
        return ::lstat (file.getFullPathName().toRawUTF8(), &info) == 0 ? (int) (info.st_mode & 07777) : -1;
    }

    /** A raw client: connects to `socket`, sends `bytes` (and closes its side unless told
        not to), returns the file descriptor. */
    int connectTo (const juce::File& socket)
    {
        sockaddr_un address {};
        address.sun_family = AF_UNIX;
        std::strcpy (address.sun_path, socket.getFullPathName().toRawUTF8());
        const int fd = ::socket (AF_UNIX, SOCK_STREAM, 0);
        if (::connect (fd, reinterpret_cast<sockaddr*> (&address), sizeof address) != 0)
        {
            ::close (fd);
            return -1;
        }
        return fd;
    }

    std::string answerTo (const juce::File& socket, const std::string& bytes)
    {
        const int fd = connectTo (socket);
        if (fd < 0)
            return "(no connection)";
        juce::ignoreUnused (::send (fd, bytes.data(), bytes.size(), MSG_NOSIGNAL));
        ::shutdown (fd, SHUT_WR);
        std::string answer;
        char buffer[64];
        for (ssize_t got; (got = ::read (fd, buffer, sizeof buffer)) > 0;)
            answer.append (buffer, (size_t) got);
        ::close (fd);
        return answer;
    }

    class InstanceChannelTest : public ::testing::Test
    {
    protected:
        TempFolder temp { "zr-instance" };
        juce::File folder = temp.file ("runtime").getChildFile ("zr-remote-connect");

        void SetUp() override { ASSERT_TRUE (folder.getParentDirectory().createDirectory()); }
    };
}

TEST_F (InstanceChannelTest, TheFirstStartListensAndLaterStartsHandTheirArgumentsOver)
{
    InstanceChannel program (folder);
    ASSERT_EQ (program.claim(), InstanceChannel::Claim::first) << program.why();
    EXPECT_EQ (modeOf (folder), 0700);
    Received received;
    program.listen (received.handler());

    const juce::StringArray first { "--", "/home/user/Club Night ü.kvt" };
    const juce::StringArray second { "--remote=9000" };
    for (const auto& arguments : { first, second })
    {
        InstanceChannel later (folder);
        ASSERT_EQ (later.claim(), InstanceChannel::Claim::another);
        EXPECT_TRUE (later.handOver (arguments, 5000)) << later.why();
    }

    const auto requests = received.waitFor (2);
    ASSERT_EQ (requests.size(), 2u);
    EXPECT_EQ (requests[0], first);
    EXPECT_EQ (requests[1], second);
}

TEST_F (InstanceChannelTest, AProgramThatEndsTakesItsSocketAlongAndTheNextStartIsTheProgram)
{
    {
        InstanceChannel program (folder);
        ASSERT_EQ (program.claim(), InstanceChannel::Claim::first);
        program.listen ({});
        EXPECT_TRUE (program.getSocketFile().exists());
    }
    EXPECT_FALSE (InstanceChannel (folder).getSocketFile().exists());

    InstanceChannel next (folder);
    EXPECT_EQ (next.claim(), InstanceChannel::Claim::first) << next.why();
}

TEST_F (InstanceChannelTest, WhatACrashLeavesBehindBlocksNothing)
{
    // A crash leaves the lock file (the kernel drops the lock itself) and the bound socket
    // file with nobody listening behind it.
    ASSERT_EQ (::mkdir (folder.getFullPathName().toRawUTF8(), 0700), 0);
    ASSERT_TRUE (folder.getChildFile ("instance.lock").create());
    {
        sockaddr_un address {};
        address.sun_family = AF_UNIX;
        std::strcpy (address.sun_path, folder.getChildFile ("instance.socket").getFullPathName().toRawUTF8());
        const int fd = ::socket (AF_UNIX, SOCK_STREAM, 0);
        ASSERT_EQ (::bind (fd, reinterpret_cast<sockaddr*> (&address), sizeof address), 0);
        ::close (fd);
    }
    ASSERT_EQ (connectTo (folder.getChildFile ("instance.socket")), -1);

    InstanceChannel program (folder);
    ASSERT_EQ (program.claim(), InstanceChannel::Claim::first) << program.why();
    Received received;
    program.listen (received.handler());

    InstanceChannel later (folder);
    ASSERT_EQ (later.claim(), InstanceChannel::Claim::another);
    EXPECT_TRUE (later.handOver ({ "--", "/x.kvt" }, 5000)) << later.why();
    EXPECT_EQ (received.waitFor (1).size(), 1u);
}

TEST_F (InstanceChannelTest, AFolderDeeperThanASocketAddressHoldsServesAsWell)
{
    // Socket addresses hold 107 characters; deep home folders are longer than that.
    const auto deep = temp.file (juce::String::repeatedString ("deep", 30)).getChildFile ("zr-remote-connect");
    ASSERT_GT (deep.getChildFile ("instance.socket").getFullPathName().length(), 110);
    ASSERT_TRUE (deep.getParentDirectory().createDirectory());

    InstanceChannel program (deep);
    ASSERT_EQ (program.claim(), InstanceChannel::Claim::first) << program.why();
    Received received;
    program.listen (received.handler());
    EXPECT_TRUE (program.getSocketFile().exists());

    InstanceChannel later (deep);
    ASSERT_EQ (later.claim(), InstanceChannel::Claim::another);
    EXPECT_TRUE (later.handOver ({ "--", "/deep.kvt" }, 5000)) << later.why();
    EXPECT_EQ (received.waitFor (1).size(), 1u);
}

TEST_F (InstanceChannelTest, ASilentProgramEndsTheHandOverInTimeWithAReason)
{
    InstanceChannel program (folder);
    ASSERT_EQ (program.claim(), InstanceChannel::Claim::first);   // never listens: hung

    InstanceChannel later (folder);
    ASSERT_EQ (later.claim(), InstanceChannel::Claim::another);
    const auto started = juce::Time::getMillisecondCounter();
    EXPECT_FALSE (later.handOver ({ "--", "/x.kvt" }, 300));
    EXPECT_LT (juce::Time::getMillisecondCounter() - started, 3000u);
    EXPECT_TRUE (later.why().contains ("does not answer")) << later.why();
}

TEST_F (InstanceChannelTest, StrangeRequestsAndSilentClientsAreDroppedAndTheProgramKeepsListening)
{
    InstanceChannel program (folder, 200);
    ASSERT_EQ (program.claim(), InstanceChannel::Claim::first);
    Received received;
    program.listen (received.handler());
    const auto socket = program.getSocketFile();

    EXPECT_EQ (answerTo (socket, "hello"), "refused\n");
    EXPECT_EQ (answerTo (socket, std::string ("zr-remote-connect/2\0a\0", 22)), "refused\n");
    EXPECT_EQ (answerTo (socket, std::string (100 * 1024, 'x')), "refused\n");

    // A client that connects and says nothing is given up after the client time-out.
    const int silent = connectTo (socket);
    ASSERT_GE (silent, 0);
    InstanceChannel later (folder);
    ASSERT_EQ (later.claim(), InstanceChannel::Claim::another);
    EXPECT_TRUE (later.handOver ({ "--", "/after.kvt" }, 5000)) << later.why();
    ::close (silent);

    const auto requests = received.waitFor (1);
    ASSERT_EQ (requests.size(), 1u);
    EXPECT_EQ (requests[0], juce::StringArray ({ "--", "/after.kvt" }));
}

TEST_F (InstanceChannelTest, AFolderOpenToOthersIsClosedFirst)
{
    ASSERT_EQ (::mkdir (folder.getFullPathName().toRawUTF8(), 0777), 0);
    ASSERT_EQ (::chmod (folder.getFullPathName().toRawUTF8(), 0777), 0);
    InstanceChannel program (folder);
    ASSERT_EQ (program.claim(), InstanceChannel::Claim::first) << program.why();
    EXPECT_EQ (modeOf (folder), 0700);
}

TEST_F (InstanceChannelTest, AnotherUsersFilesAreNeitherUsedNorReached)
{
    if (::geteuid() != 0)
        GTEST_SKIP() << "needs root to hand files to another user";
    constexpr uid_t stranger = 65534;

    // Another user's folder where ours should be: nothing is made or locked in it.
    ASSERT_EQ (::mkdir (folder.getFullPathName().toRawUTF8(), 0700), 0);
    ASSERT_EQ (::chown (folder.getFullPathName().toRawUTF8(), stranger, stranger), 0);
    {
        InstanceChannel program (folder);
        EXPECT_EQ (program.claim(), InstanceChannel::Claim::unavailable);
        EXPECT_TRUE (program.why().contains ("another user")) << program.why();
        EXPECT_FALSE (program.getLockFile().exists());
    }

    // A symbolic link in its place is refused as well.
    ASSERT_TRUE (folder.deleteRecursively());
    ASSERT_TRUE (temp.file ("elsewhere").createDirectory());
    ASSERT_EQ (::symlink (temp.file ("elsewhere").getFullPathName().toRawUTF8(), folder.getFullPathName().toRawUTF8()),
               0);
    InstanceChannel linked (folder);
    EXPECT_EQ (linked.claim(), InstanceChannel::Claim::unavailable);
    ASSERT_EQ (::unlink (folder.getFullPathName().toRawUTF8()), 0);

    // A socket of another user's in our folder is not spoken to.
    InstanceChannel program (folder);
    ASSERT_EQ (program.claim(), InstanceChannel::Claim::first);
    Received received;
    program.listen (received.handler());
    ASSERT_EQ (::chown (program.getSocketFile().getFullPathName().toRawUTF8(), stranger, stranger), 0);
    InstanceChannel later (folder);
    ASSERT_EQ (later.claim(), InstanceChannel::Claim::another);
    EXPECT_FALSE (later.handOver ({ "--", "/x.kvt" }, 500));
    EXPECT_TRUE (later.why().contains ("not this user's")) << later.why();
    EXPECT_EQ (received.size(), 0u);
}

TEST (InstanceChannelFolder, EachUserHasAFolderOfTheirOwn)
{
    EXPECT_EQ (InstanceChannel::folderForUser ("/run/user/1000", "/home/a/.cache", "/home/a").getFullPathName(),
               "/run/user/1000/zr-remote-connect");
    EXPECT_EQ (InstanceChannel::folderForUser (nullptr, "/home/a/cache", "/home/a").getFullPathName(),
               "/home/a/cache/zr-remote-connect");
    EXPECT_EQ (InstanceChannel::folderForUser ("", nullptr, "/home/b").getFullPathName(),
               "/home/b/.cache/zr-remote-connect");
    // Paths that are not absolute are not trusted.
    EXPECT_EQ (InstanceChannel::folderForUser ("run", "cache", "/home/c").getFullPathName(),
               "/home/c/.cache/zr-remote-connect");
}

TEST (InstanceChannelRequest, ArgumentsTravelUnchangedAndNothingElseIsARequest)
{
    const juce::StringArray arguments { "--remote=8080", "--", "/a b/ü\tc.kvt", "" };
    juce::StringArray decoded;
    ASSERT_TRUE (InstanceChannel::decodeRequest (InstanceChannel::encodeRequest (arguments), decoded));
    EXPECT_EQ (decoded, arguments);
    ASSERT_TRUE (InstanceChannel::decodeRequest (InstanceChannel::encodeRequest ({}), decoded));
    EXPECT_TRUE (decoded.isEmpty());

    const auto request = [] (const std::string& bytes) { return juce::MemoryBlock (bytes.data(), bytes.size()); };
    for (const auto& bad : { std::string(), std::string ("zr-remote-connect/1"),   // no NUL at the end
                             std::string ("zr-remote-connect/1\0/a.kvt", 26), std::string ("other/1\0", 8),
                             std::string ("zr-remote-connect/1\0\xff\xfe\0", 23) })
        EXPECT_FALSE (InstanceChannel::decodeRequest (request (bad), decoded)) << bad;
}
