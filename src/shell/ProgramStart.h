#pragma once

/** From main() to the window: reads the command line, answers --help and --version, makes
    sure there is a desktop to show the window on, and either hands the request to the
    user's running program or becomes that program (the framework's application loop,
    with the parsed request and the hand-over channel given to JUCEStartupApplication).

    Nothing here touches the display before the display check, so the answers that need
    none work over ssh or on a text console.
*/
namespace programstart
{
    /** The exit status: 0 after a run or a hand-over, 1 when the program could not start
        (no display, a running program that does not answer), 2 for invalid arguments. */
    int run (int argc, char* argv[]);
}
