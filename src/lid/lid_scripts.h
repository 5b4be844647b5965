#pragma once

// The lid guard's generated files and privileged command lines. Pure: the
// same paths always give the same text.
//
// The enable command installs the watchdog and the daemon's property list
// into the root-owned daemons folder and loads the daemon; sleep is switched
// off only when all of that worked, so a failed step is reported and never
// leaves sleep off with no watchdog. The watchdog, run by root, checks the
// battery every pass; when it fires it brings sleep back, removes its files,
// sleeps the Mac and only then boots its own daemon out, which ends it.

#include <string>

#include "lid/lid_paths.h"

namespace kd {

// A bash script that ends with "done" and no line feed.
std::string watchdogScript(const LidPaths& paths);
std::string daemonPlist(const LidPaths& paths);
std::string enableCommand(const LidPaths& paths);
std::string disableCommand(const LidPaths& paths);
// Turns the guard off, then sleeps the Mac.
std::string sleepNowCommand(const LidPaths& paths);

}  // namespace kd
