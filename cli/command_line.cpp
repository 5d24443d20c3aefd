#include "cli/command_line.h"

#include <algorithm>
#include <memory>

#include "cli/usage_error.h"

namespace cli {

namespace {
constexpr size_t kNameColumn = 26;
constexpr size_t kLineWidth = 79;

// CLI11's layout with each description wrapped to the terminal's usual width;
// CLI11 indents the lines after the first.
class WrappingFormatter : public CLI::Formatter {
public:
    // The usage line first, then what the program does.
    std::string make_description(const CLI::App*) const override { return ""; }
    std::string make_usage(const CLI::App* app, std::string name) const override {
        return CLI::Formatter::make_usage(app, name) + "\n" + app->get_description() + "\n";
    }
    std::string make_option_desc(const CLI::Option* option) const override {
        return Wrapped(CLI::Formatter::make_option_desc(option), kLineWidth - kNameColumn);
    }

private:
    static std::string Wrapped(const std::string& text, size_t width) {
        std::string out;
        size_t lineStart = 0;
        size_t lastSpace = std::string::npos;
        for (size_t i = 0; i < text.size(); ++i) {
            out += text[i];
            if (text[i] == '\n') {
                lineStart = out.size();
                lastSpace = std::string::npos;
            } else if (text[i] == ' ') {
                lastSpace = out.size() - 1;
            }
            if (out.size() - lineStart > width && lastSpace != std::string::npos) {
                out[lastSpace] = '\n';
                lineStart = lastSpace + 1;
                lastSpace = std::string::npos;
            }
        }
        return out;
    }
};

// The option an argument names, as `--opt` or `--opt=value`, if any.
const CLI::Option* OptionNamedBy(const CLI::App& app, const std::string& arg) {
    return arg.size() > 1 && arg[0] == '-' ? app.get_option_no_throw(arg.substr(0, arg.find('=')))
                                           : nullptr;
}

// What the command line asks for before CLI11 reads it: help or version,
// which win over anything else, or a value left out. CLI11 would take the
// next argument as the value even where it names another option, so that
// `--trace --headless` traced to a file called "--headless".
Request Scan(const CLI::App& app, const std::vector<std::string>& args) {
    const CLI::Option* const helpOption = app.get_help_ptr();
    bool help = false, version = false;
    std::string missing;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        const CLI::Option* option = OptionNamedBy(app, arg);
        if (option == nullptr) {
            continue;
        }
        help = help || option == helpOption;
        version = version || arg == "--version";
        if (option->get_expected_min() == 0) {
            continue;
        }
        const size_t equals = arg.find('=');
        const bool leftOut =
            equals == std::string::npos
                ? i + 1 == args.size() || OptionNamedBy(app, args[i + 1]) != nullptr
                : equals + 1 == arg.size();
        if (leftOut && missing.empty()) {
            missing = arg.substr(0, equals);
        } else if (!leftOut && equals == std::string::npos) {
            ++i;  // its value
        }
    }
    if (help) {
        return Request::kHelp;
    }
    if (version) {
        return Request::kVersion;
    }
    if (!missing.empty()) {
        throw UsageError(missing + " needs a value" + kHelpHint);
    }
    return Request::kRun;
}

// CLI11 reports a repeated option and a missing value alike; say which.
std::string Reworded(const CLI::ParseError& error) {
    std::string message = error.what();
    std::replace(message.begin(), message.end(), '\n', ' ');
    const size_t colon = message.find(": ");
    if (error.get_name() == "ArgumentMismatch" && colon != std::string::npos) {
        const std::string option = message.substr(0, colon);
        if (message.find("At Most") != std::string::npos) {
            return option + " given more than once; give it once";
        }
        return option + " needs a value";
    }
    if (error.get_name() == "ExcludesError") {
        return message + "; give only one of them";
    }
    return message;
}
}  // namespace

void SetUp(CLI::App& app) {
    app.formatter(std::make_shared<WrappingFormatter>());
    app.get_formatter()->column_width(kNameColumn);
}

CLI::Option* AddValue(CLI::App& app, const std::string& name, std::string* value,
                      const std::string& valueName, const std::string& description) {
    return app.add_option(name, *value, description)
        ->type_name(valueName)
        ->multi_option_policy(CLI::MultiOptionPolicy::Throw);
}

CLI::Option* AddFlag(CLI::App& app, const std::string& name, bool* value,
                     const std::string& description) {
    return app.add_flag(name, *value, description)
        ->multi_option_policy(CLI::MultiOptionPolicy::Throw);
}

std::string Help(const CLI::App& app) {
    std::string text = app.help();
    if (text.empty() || text.back() != '\n') {
        text += '\n';
    }
    return text;
}

Request Parse(CLI::App& app, const std::vector<std::string>& args) {
    const Request request = Scan(app, args);
    if (request != Request::kRun) {
        return request;
    }
    std::vector<std::string> reversed(args.rbegin(), args.rend());  // as CLI11 takes them
    try {
        app.parse(reversed);
    } catch (const CLI::CallForHelp&) {
        return Request::kHelp;
    } catch (const CLI::ExtrasError&) {
        // Named as the user gave it: the first that no option takes.
        const std::vector<std::string> extras = app.remaining();
        for (const std::string& arg : args) {
            if (std::find(extras.begin(), extras.end(), arg) != extras.end()) {
                throw UsageError("unknown argument '" + arg + "'" + kHelpHint);
            }
        }
        throw UsageError(std::string("unknown arguments") + kHelpHint);
    } catch (const CLI::ParseError& error) {
        throw UsageError(Reworded(error) + kHelpHint);
    }
    return Request::kRun;
}

}  // namespace cli
