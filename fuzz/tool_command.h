// One of the tool's commands as the tool runs it (its own parser, then its run), kept between
// a fuzzer's runs: its parser is built once instead of the whole command line's on every run.
#pragma once

#include <CLI/CLI.hpp>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "builder/tool/commands.h"

class ToolCommand {
 public:
  // add is one of the Add...Command functions of builder/tool/commands.h.
  explicit ToolCommand(Command (*add)(CLI::App&)) : command_(add(lodrun_)) {}

  // Runs "lodrun NAME arguments..." and returns the tool's exit code. The fuzzer's lines are
  // its own: one the parser refuses would leave its checks without a run, so it stops there.
  int Run(std::vector<std::string> arguments) {
    arguments.insert(arguments.begin(), command_.parser->get_name());
    std::reverse(arguments.begin(), arguments.end());  // CLI11 takes the line last word first
    try {
      lodrun_.parse(arguments);
    } catch (const CLI::ParseError& error) {
      std::fprintf(stderr, "fuzz: the tool refuses the line: %s\n", error.what());
      std::abort();
    }
    return command_.run();
  }

 private:
  CLI::App lodrun_{"lodrun", "lodrun"};
  Command command_;
};
