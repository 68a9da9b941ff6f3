// Running the command line in-process for the tests: its status and what it
// wrote to each stream.
#pragma once

#include "cli/cli.h"

#include <QStringList>

#include <sstream>
#include <string>
#include <vector>

namespace clirun {

struct Run {
    int status;
    std::string out, err;
};

inline Run run(const std::vector<std::string> &args)
{
    std::ostringstream out, err;
    const int status = cli::run(args, out, err);
    return {status, out.str(), err.str()};
}

inline Run run(const QStringList &args)
{
    std::vector<std::string> list;
    for (const QString &arg : args)
        list.push_back(arg.toStdString());
    return run(list);
}

} // namespace clirun
