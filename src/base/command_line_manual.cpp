// Manual page sections from a CLI11 command line, worded by CLI11's own help formatter.
#include "base/command_line_manual.h"

#include <cctype>
#include <cstdio>
#include <memory>
#include <vector>

namespace {

// Text set for roff: a backslash is printed as one, and a hyphen that starts a word (an
// option, a minus sign) is a real minus, so "--data" copied from the page still works. In a
// name (`allMinus`) every hyphen is one: "--no-music".
std::string Roff(const std::string& text, bool allMinus = false)
{
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\\') out += "\\e";
        else if (c == '-' && (allMinus || i == 0 || !std::isalnum(static_cast<unsigned char>(text[i - 1]))))
            out += "\\-";
        else if (c == '\n') out += ' ';
        else out += c;
    }
    return out;
}

// A line of running text: one that starts with a dot or a quote would be read as a request.
std::string TextLine(const std::string& text)
{
    const std::string line = Roff(text);
    return (!line.empty() && (line[0] == '.' || line[0] == '\'') ? "\\&" : "") + line + "\n";
}

// A name: an option, a command.
std::string Bold(const std::string& text)
{
    return "\\fB" + Roff(text, true) + "\\fR";
}

std::string Italic(const std::string& text)
{
    return "\\fI" + Roff(text) + "\\fR";
}

// The formatter that writes the program's --help, so both say the same.
std::shared_ptr<const CLI::Formatter> HelpFormatter(const CLI::App& app)
{
    auto formatter = std::dynamic_pointer_cast<const CLI::Formatter>(app.get_formatter());
    return formatter ? formatter : std::make_shared<const CLI::Formatter>();
}

std::vector<const CLI::Option*> VisibleOptions(const CLI::App& app, bool positional)
{
    return app.get_options([positional](const CLI::Option* option) {
        return !option->get_group().empty() && option->get_positional() == positional;
    });
}

std::vector<const CLI::App*> Commands(const CLI::App& app)
{
    return app.get_subcommands([](const CLI::App* command) {
        return !command->get_disabled() && !command->get_name().empty() && !command->get_group().empty();
    });
}

// "shot" under "lantern": "lantern shot".
std::string CommandName(const CLI::App& command)
{
    const CLI::App* parent = command.get_parent();
    return parent ? CommandName(*parent) + " " + command.get_name() : command.get_name();
}

// One synopsis line: the command, then each option in brackets (the help and version
// options are left to the OPTIONS section), then the arguments.
std::string SynopsisLine(const CLI::App& app)
{
    std::string line = ".B " + Roff(CommandName(app), true) + "\n";
    for (const CLI::Option* option : VisibleOptions(app, false)) {
        if (option == app.get_help_ptr() || option == app.get_version_ptr()) continue;
        std::string item = Bold(option->get_name());
        const std::string type = option->get_type_name();
        if (option->get_type_size() != 0 && !type.empty()) item += " " + Italic(type.substr(0, type.find(':')));
        item = option->get_required() ? item : "[" + item + "]";
        if (option->get_expected_max() == CLI::detail::expected_max_vector_size) item += "...";
        line += item + "\n";
    }
    for (const CLI::Option* argument : VisibleOptions(app, true)) {
        std::string name = Italic(argument->get_name(true));
        if (argument->get_expected_max() >= CLI::detail::expected_max_vector_size) name += "...";
        line += (argument->get_required() ? name : "[" + name + "]") + "\n";
    }
    return line;
}

// An entry of an options list: the names in bold, what they take in italics, as --help has
// them, then the description.
std::string OptionEntry(const CLI::Formatter& formatter, const CLI::Option& option, bool positional)
{
    std::string names;
    const std::string all = formatter.make_option_name(&option, positional);
    for (size_t start = 0; start <= all.size();) {
        const size_t comma = std::min(all.find(',', start), all.size());
        const std::string name = all.substr(start, comma - start);
        names += (names.empty() ? "" : ", ") + (positional ? Italic(name) : Bold(name));
        start = comma + 1;
    }
    std::string takes = formatter.make_option_opts(&option);
    if (!takes.empty() && takes[0] == ' ') takes.erase(0, 1);
    if (!takes.empty()) names += " " + Italic(takes);
    return ".TP\n" + names + "\n" + TextLine(formatter.make_option_desc(&option));
}

} // namespace

std::string ManualSynopsis(const CLI::App& app)
{
    // Left-aligned and unhyphenated: a synopsis spread to both margins reads badly. A program
    // that needs a command has no line of its own.
    std::vector<const CLI::App*> lines;
    if (app.get_require_subcommand_min() == 0) lines.push_back(&app);
    for (const CLI::App* command : Commands(app)) lines.push_back(command);
    std::string roff = ".nh\n.ad l\n";
    for (const CLI::App* line : lines) roff += (line == lines.front() ? "" : ".br\n") + SynopsisLine(*line);
    return roff + ".ad\n.hy\n";
}

std::string ManualOptions(const CLI::App& app)
{
    const std::shared_ptr<const CLI::Formatter> formatter = HelpFormatter(app);
    std::string roff = ".SH OPTIONS\n";
    for (const CLI::Option* option : VisibleOptions(app, false)) roff += OptionEntry(*formatter, *option, false);
    const std::vector<const CLI::App*> commands = Commands(app);
    if (commands.empty()) return roff;

    roff += ".SH COMMANDS\n";
    roff += TextLine("Each command also takes -h, --help, which prints its own options.");
    for (const CLI::App* command : commands) {
        roff += ".SS " + Roff(command->get_name(), true) + "\n";
        roff += TextLine(command->get_description());
        for (const CLI::Option* argument : VisibleOptions(*command, true))
            roff += OptionEntry(*formatter, *argument, true);
        for (const CLI::Option* option : VisibleOptions(*command, false))
            if (option != command->get_help_ptr()) roff += OptionEntry(*formatter, *option, false);
    }
    return roff;
}

void AddManualSectionOption(CLI::App& app)
{
    app.add_option_function<std::string>(
           "--manual-section",
           [&app](const std::string& section) {
               const std::string roff = section == "synopsis" ? ManualSynopsis(app) : ManualOptions(app);
               std::fwrite(roff.data(), 1, roff.size(), stdout);
               throw CLI::Success();
           },
           "print this section of the manual page as roff")
        ->check(CLI::IsMember({"synopsis", "options"}))
        ->trigger_on_parse()
        ->group("");
}
