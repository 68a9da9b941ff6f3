// Zandor: periodic table, X-ray lines and spectra.
//
// One program with two faces. A sub-command (`zandor find 6.4keV`) runs the
// command line, which is plain C++ and needs no display; anything else opens
// the window. The window and Qt live in a module that is loaded only then,
// so a sub-command starts in a few milliseconds and a few megabytes.
#include "app/windowmodule.h"
#include "cli/cli.h"

int main(int argc, char *argv[])
{
    if (cli::wantsCommandLine(argc, argv))
        return cli::run(argc, argv);
    return runWindowModule(argc, argv);
}
