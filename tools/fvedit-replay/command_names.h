// The editor commands a replay script may name, by their command-table names.
#pragma once

#include <string>
#include <vector>

using CommandProcedure = void (*)();

// The procedure named name, or null.
CommandProcedure FindCommand(const std::string& name);
// Every name, sorted.
std::vector<std::string> CommandNames();
