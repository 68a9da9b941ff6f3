#include "cli.h"

#include "command.h"
#include "errors.h"
#include "options.h"

#include <sys/stat.h>

#include <array>
#include <iostream>

namespace cli {

namespace {

constexpr std::string_view Version = ZANDOR_VERSION;

void printOverview(std::ostream &out)
{
    out << "Usage: zandor [FILE...]\n"
           "       zandor SUBCOMMAND [ARGUMENTS...] [--json]\n"
           "\n"
           "Without a sub-command, zandor opens its window, with the spectra named.\n"
           "\n"
           "Sub-commands:\n";
    for (const Command *command : commands()) {
        std::string name(command->name);
        name.resize(10, ' ');
        out << "  " << name << command->summary << '\n';
    }
    out << "\n"
           "  zandor help SUBCOMMAND   the sub-command's arguments and options\n"
           "  zandor --version         the program's version\n"
           "\n"
           "Energies take a unit (6.4keV, 6400eV, \"6.4 keV\"); a bare number is keV.\n"
           "Exit status: 0 done, 1 a file could not be read, 2 bad usage.\n";
}

bool isHelp(std::string_view arg) { return arg == "--help" || arg == "-h"; }

int runHelp(const std::vector<std::string> &args, std::ostream &out)
{
    if (args.empty()) {
        printOverview(out);
        return Done;
    }
    if (args.size() > 1)
        throw UsageError("help takes one sub-command, not " + quoted(args[1]));
    const Command *command = findCommand(args[0]);
    if (!command)
        throw UsageError("no sub-command " + quoted(args[0]) + " (see 'zandor --help')");
    out << command->help;
    return Done;
}

} // namespace

std::span<const Command *const> commands()
{
    static constexpr std::array<const Command *, 7> all = {
        &linesCommand, &edgesCommand,     &findLinesCommand, &infoCommand,
        &convertCommand, &identifyCommand, &mapCommand,
    };
    return all;
}

const Command *findCommand(std::string_view name)
{
    for (const Command *command : commands())
        if (command->name == name)
            return command;
    return nullptr;
}

bool wantsCommandLine(int argc, char *argv[])
{
    if (argc < 2)
        return false;
    const std::string_view first = argv[1];
    if (findCommand(first) || first == "help" || isHelp(first) || first == "--version")
        return true;
    // A bare word that names no file is a mistyped sub-command, not a
    // spectrum: `zandor fnid 6.4` should say so, not open the window.
    if (first.empty() || first[0] == '-')
        return false;
    if (first.find_first_of("./") != std::string_view::npos)
        return false;
    struct stat info {};
    return ::stat(argv[1], &info) != 0;
}

int run(int argc, char *argv[])
{
    std::vector<std::string> args(argv + 1, argv + argc);
    std::ios::sync_with_stdio(false);
    const int status = run(args, std::cout, std::cerr);
    std::cout.flush();
    if (!std::cout) {
        std::cerr << "zandor: cannot write the output\n";
        return status == Done ? FileFailed : status;
    }
    return status;
}

int run(const std::vector<std::string> &args, std::ostream &out, std::ostream &err)
{
    std::string who = "zandor";
    try {
        if (args.empty()) {
            printOverview(out);
            return Done;
        }
        const std::string &first = args.front();
        const std::vector<std::string> rest(args.begin() + 1, args.end());
        if (first == "--version") {
            if (!rest.empty())
                throw UsageError("--version takes no arguments");
            out << "zandor " << Version << '\n';
            return Done;
        }
        if (first == "help" || isHelp(first))
            return runHelp(rest, out);
        const Command *command = findCommand(first);
        if (!command)
            throw UsageError("unknown sub-command " + quoted(first) + " (see 'zandor --help')");
        who += ' ';
        who += command->name;
        for (const std::string &arg : rest) {
            if (arg == "--")
                break;
            if (isHelp(arg)) {
                out << command->help;
                return Done;
            }
        }
        return command->run(rest, out, err);
    } catch (const UsageError &e) {
        err << who << ": " << e.what() << '\n';
        return BadUsage;
    } catch (const FileError &e) {
        err << who << ": " << e.what() << '\n';
        return FileFailed;
    } catch (const std::bad_alloc &) {
        err << who << ": out of memory\n";
        return FileFailed;
    }
}

} // namespace cli
