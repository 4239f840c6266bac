#include "AmpSimProcess.h"

#include <fcntl.h>
#include <sched.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>
#include <cerrno>
#include <fstream>
#include <sstream>

namespace
{
    std::string readFile (const std::string& path)
    {
        std::ifstream file (path, std::ios::binary);
        std::ostringstream text;
        text << file.rdbuf();
        return text.str();
    }

    /** Splits "   1.234 recv 192.0.2.1:3456 /gain ,ffii 0 0 0 0" into its parts. */
    AmpSimProcess::LogLine parseLine (const std::string& line)
    {
        std::istringstream fields (line);
        std::string stamp, what;
        fields >> stamp >> what;

        AmpSimProcess::LogLine parsed;
        parsed.what = what;
        std::string rest;
        std::getline (fields >> std::ws, rest);
        if (what != "note")
        {
            const auto space = rest.find (' ');
            parsed.peer = rest.substr (0, space);
            rest = space == std::string::npos ? std::string() : rest.substr (space + 1);
        }
        parsed.text = rest;
        return parsed;
    }
}

AmpSimProcess::AmpSimProcess (const std::string& program, const std::vector<std::string>& args,
                              const std::string& netnsPath, const std::string& folder, const std::string& tag)
    : logPath (folder + "/" + tag + ".log"),
      errorPath (folder + "/" + tag + ".err")
{
    // A command written after the simulator ended must fail, not end the caller.
    signal (SIGPIPE, SIG_IGN);

    // Everything the child needs is made before fork: after it only system calls are safe.
    std::vector<std::string> all { program };
    all.insert (all.end(), args.begin(), args.end());
    all.insert (all.end(), { "--log", logPath });
    std::vector<char*> argv;
    for (auto& a : all)
        argv.push_back (a.data());
    argv.push_back (nullptr);

    const int nsFd = netnsPath.empty() ? -1 : ::open (netnsPath.c_str(), O_RDONLY | O_CLOEXEC);
    const int errFd = ::open (errorPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    int pipeFds[2] = { -1, -1 };
    const bool ready = (netnsPath.empty() || nsFd >= 0) && errFd >= 0 && pipe2 (pipeFds, O_CLOEXEC) == 0;

    if (ready)
    {
        const pid_t parent = getpid();
        pid = fork();
        if (pid == 0)
        {
            prctl (PR_SET_PDEATHSIG, SIGKILL);
            if (getppid() != parent)
                _exit (127);
            if (nsFd >= 0 && setns (nsFd, CLONE_NEWNET) != 0)
                _exit (127);
            dup2 (pipeFds[0], STDIN_FILENO);
            dup2 (errFd, STDERR_FILENO);
            execv (argv[0], argv.data());
            _exit (127);
        }
    }

    if (pipeFds[0] >= 0)
        ::close (pipeFds[0]);
    control = pid > 0 ? pipeFds[1] : -1;
    if (control < 0 && pipeFds[1] >= 0)
        ::close (pipeFds[1]);
    if (nsFd >= 0)
        ::close (nsFd);
    if (errFd >= 0)
        ::close (errFd);
}

AmpSimProcess::~AmpSimProcess()
{
    stop();
}

bool AmpSimProcess::isListening() const
{
    // "zr-ampsim: "NAME" (model N) on ADDRESS:PORT" follows the opening of its sockets.
    return readFile (errorPath).find ("\" (model ") != std::string::npos;
}

bool AmpSimProcess::isRunning()
{
    if (pid <= 0)
        return false;
    if (waitpid (pid, nullptr, WNOHANG) == pid)
    {
        pid = -1;
        return false;
    }
    return true;
}

bool AmpSimProcess::command (const std::string& line)
{
    if (control < 0)
        return false;
    const std::string text = line + "\n";
    return ::write (control, text.data(), text.size()) == (ssize_t) text.size();
}

void AmpSimProcess::stop()
{
    end (SIGTERM);
}

void AmpSimProcess::kill()
{
    end (SIGKILL);
}

void AmpSimProcess::end (int signal)
{
    if (pid > 0)
    {
        ::kill (pid, signal);
        while (waitpid (pid, nullptr, 0) < 0 && errno == EINTR)
        {
        }
        pid = -1;
    }
    if (control >= 0)
        ::close (control);
    control = -1;
}

std::vector<AmpSimProcess::LogLine> AmpSimProcess::log() const
{
    std::vector<LogLine> lines;
    std::istringstream text (readFile (logPath));
    for (std::string line; std::getline (text, line);)
        if (! line.empty())
            lines.push_back (parseLine (line));
    return lines;
}

std::vector<std::string> AmpSimProcess::received() const
{
    std::vector<std::string> messages;
    for (const auto& line : log())
        if (line.what == "recv")
            messages.push_back (line.text);
    return messages;
}

int AmpSimProcess::count (const std::string& what) const
{
    int n = 0;
    for (const auto& line : log())
        n += line.what == what ? 1 : 0;
    return n;
}

std::string AmpSimProcess::errors() const
{
    return readFile (errorPath);
}
