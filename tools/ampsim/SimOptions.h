#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

/** The simulator's command line. */
struct SimOptions
{
    std::uint32_t bindAddress = 0x7F000001;   // 127.0.0.1, host byte order
    int port = 3456;
    int answerPort = 0;   // 0: answer to the sender's port; otherwise always to this one
    std::string name = "ZR-SIM";
    int model = 1;   // 0..7, as reported by "/info"
    std::string firmware = "V1.4";
    std::array<float, 4> levels { 0.1f, 0.1f, 0.05f, 0.05f };   // input A, B, output A, B (linear)
    double meterRate = 30.0;                                    // meter messages per second
    int replyDelayMs = 0;
    double lossPercent = 0.0;   // share of received datagrams dropped
    std::uint32_t seed = 1;
    std::string logPath;   // "" none, "-" standard error
    std::string presetPath;
    std::string controlPath;   // FIFO of control commands
    bool moving = false;
    bool readStdin = true;
    /** Amplifiers served: a rack of them at consecutive addresses from bindAddress. */
    int rack = 1;

    bool showHelp = false;

    /** Reads argv; on failure returns false and puts the reason in `error`. */
    bool parse (const std::vector<std::string>& args, std::string& error);

    /** The --help text. */
    static std::string helpText();
};
