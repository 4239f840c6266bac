// The program's entry point: the command line, the one program of each user and then the
// framework's application object, in that order (ProgramStart).

#include "ProgramStart.h"

int main (int argc, char* argv[])
{
    return programstart::run (argc, argv);
}
