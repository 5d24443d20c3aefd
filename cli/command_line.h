#pragma once
// The one way the host's programs read a command line: `--opt value` or
// `--opt=value`, each option at most once, conflicts declared with
// CLI::Option::excludes. Values are kept as given and checked after the
// parse (cli/values.h), so that --help and --version win over a bad value.

#include <CLI/CLI.hpp>
#include <string>
#include <vector>

namespace cli {

// Gives a program's options the help layout both programs share.
void SetUp(CLI::App& app);

// An option that takes one value, kept as text in `value`; `valueName` is how
// the help shows it (e.g. "WxH").
CLI::Option* AddValue(CLI::App& app, const std::string& name, std::string* value,
                      const std::string& valueName, const std::string& description);
CLI::Option* AddFlag(CLI::App& app, const std::string& name, bool* value,
                     const std::string& description);

// The --help text, ending in a newline.
std::string Help(const CLI::App& app);

enum class Request { kRun, kHelp, kVersion };

// What Parse adds to CLI11's complaints.
constexpr const char* kHelpHint = " (see --help)";

// Parses the arguments after the program's name. --help, then --version,
// wins over anything else given; otherwise throws UsageError with the
// complaint on one line. An option whose value is left out, so that the next
// argument is another option, or whose value after '=' is empty, needs a value.
Request Parse(CLI::App& app, const std::vector<std::string>& args);

}  // namespace cli
