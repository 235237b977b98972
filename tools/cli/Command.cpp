#include "tools/cli/Command.h"

#include "tools/cli/CommandTable.h"

int Command::run() const { return CommandTable::of(mode).run(*this); }

std::string Command::hostedPlugins() const { return CommandTable::of(mode).plugins(*this); }
