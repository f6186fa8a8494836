// The manual pages' synopsis and options, made from a program's own command line (CLI11) with
// the texts --help shows, so the installed manual cannot drift from the help. The build asks
// each program for them through a hidden option and sets them into the page's prose.
#pragma once

#include <CLI/CLI.hpp>

#include <string>

// Roff for the SYNOPSIS section: one line for the program and one for each of its commands.
std::string ManualSynopsis(const CLI::App& app);
// Roff for the OPTIONS section (the program's own options) and, when it has commands, a
// COMMANDS section with each command's description, arguments and options.
std::string ManualOptions(const CLI::App& app);

// Adds the hidden option "--manual-section synopsis|options" to app: it prints that section
// of the manual and ends the program (exit code 0) before any other option is looked at.
void AddManualSectionOption(CLI::App& app);
