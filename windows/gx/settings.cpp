#include "windows/gx/settings.h"

#include <windows.h>

#include <vector>

#include "cli/command_line.h"
#include "cli/usage_error.h"

namespace {

enum class Kind { kValue, kFlag, kStats };

struct Setting {
    const char* name;
    const char* option;  // plasma-demo's option for the same thing
    Kind kind;
};

// In the order plasma-demo would be given them, so that its checks of one
// option against another read the same.
const Setting kSettings[] = {
    {"PLASMA_GX_DEVICE", "--device", Kind::kValue},
    {"PLASMA_GX_DISPLAY", "--display", Kind::kValue},
    {"PLASMA_GX_ROTATE", "--rotate", Kind::kValue},
    {"PLASMA_GX_DRAM", "--dram", Kind::kFlag},
    {"PLASMA_GX_FAIL", "--fail", Kind::kValue},
    {"PLASMA_GX_TAP_AFTER", "--tap-after", Kind::kValue},
    {"PLASMA_GX_KEY_AFTER", "--key-after", Kind::kValue},
    {"PLASMA_GX_CLOSE_AFTER", "--close-after", Kind::kValue},
    {"PLASMA_GX_SCREENSHOT", "--screenshot", Kind::kValue},
    {"PLASMA_GX_STATS", nullptr, Kind::kStats},
};
constexpr char kPrefix[] = "PLASMA_GX_";

std::string Utf8(const std::wstring& text) {
    const int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                         nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), size,
                        nullptr, nullptr);
    return out;
}

// Variable names are matched as Windows does: without regard to case.
bool SameName(const std::string& a, const char* b) {
    return CompareStringA(LOCALE_INVARIANT, NORM_IGNORECASE, a.c_str(), -1, b, -1) == CSTR_EQUAL;
}

const Setting* FindSetting(const std::string& name) {
    for (const Setting& setting : kSettings) {
        if (SameName(name, setting.name)) {
            return &setting;
        }
    }
    return nullptr;
}

std::string AcceptedNames() {
    std::string names;
    for (const Setting& setting : kSettings) {
        names += names.empty() ? "" : ", ";
        names += setting.name;
    }
    return names;
}

// plasma-demo's message with each option named as the variable that stands
// for it here, and no pointer to a --help that is not here.
std::string InTermsOfVariables(std::string message) {
    const std::string hint = cli::kHelpHint;
    if (const size_t at = message.find(hint); at != std::string::npos) {
        message.erase(at, hint.size());
    }
    for (const Setting& setting : kSettings) {
        if (setting.option == nullptr) {
            continue;
        }
        const std::string option = setting.option;
        for (size_t at = message.find(option); at != std::string::npos;
             at = message.find(option, at)) {
            message.replace(at, option.size(), setting.name);
            at += std::char_traits<char>::length(setting.name);
        }
    }
    return message;
}

}  // namespace

GxSettings ReadSettings(const wchar_t* environment) {
    GxSettings settings;
    std::wstring values[sizeof kSettings / sizeof kSettings[0]];
    bool given[sizeof kSettings / sizeof kSettings[0]] = {};
    for (const wchar_t* entry = environment; *entry != L'\0'; entry += wcslen(entry) + 1) {
        const std::wstring text = entry;
        const size_t equals = text.find(L'=', 1);  // "=C:=..." entries start with '='
        if (equals == std::wstring::npos) {
            continue;
        }
        const std::string name = Utf8(text.substr(0, equals));
        if (name.size() < sizeof kPrefix - 1 ||
            !SameName(name.substr(0, sizeof kPrefix - 1), kPrefix)) {
            continue;
        }
        const Setting* setting = FindSetting(name);
        if (setting == nullptr) {
            throw UsageError("unknown setting " + name + "; accepted: " + AcceptedNames());
        }
        const size_t index = static_cast<size_t>(setting - kSettings);
        values[index] = text.substr(equals + 1);
        given[index] = true;
    }

    std::vector<std::string> arguments = {"plasma.exe"};
    for (size_t i = 0; i < sizeof kSettings / sizeof kSettings[0]; ++i) {
        if (!given[i]) {
            continue;
        }
        const Setting& setting = kSettings[i];
        const std::string value = Utf8(values[i]);
        if (setting.kind != Kind::kValue) {
            if (value != "0" && value != "1") {
                throw UsageError(std::string(setting.name) + " needs 1 (on) or 0 (off)");
            }
            if (setting.kind == Kind::kStats) {
                settings.stats = value == "1";
            } else if (value == "1") {
                arguments.push_back(setting.option);
            }
            continue;
        }
        // One argument, so that a value that starts with '-' stays a value.
        arguments.push_back(std::string(setting.option) + "=" + value);
        if (setting.option == std::string("--screenshot")) {
            settings.screenshotPath = values[i];
        }
    }
    std::vector<const char*> argv;
    for (const std::string& argument : arguments) {
        argv.push_back(argument.c_str());
    }
    try {
        settings.launch = ParseLaunchOptions(static_cast<int>(argv.size()), argv.data());
    } catch (const UsageError& bad) {
        throw UsageError(InTermsOfVariables(bad.what()));
    }
    return settings;
}
