#include "windows/gx/settings.h"

#include <windows.h>

#include <vector>

#include "cli/usage_error.h"
#include "windows/gx/gx_state.h"

namespace {

enum class Kind { kValue, kFlag, kStats };

struct Setting {
    const char* name;
    const char* option;  // plasma-demo's option for the same thing
    Kind kind;
};

const Setting kSettings[] = {
    {"PLASMA_GX_DEVICE", "--device", Kind::kValue},
    {"PLASMA_GX_DISPLAY", "--display", Kind::kValue},
    {"PLASMA_GX_ROTATE", "--rotate", Kind::kValue},
    {"PLASMA_GX_DRAM", "--dram", Kind::kFlag},
    {"PLASMA_GX_SPEED", "--speed", Kind::kValue},
    {"PLASMA_GX_SCALE", "--scale", Kind::kValue},
    {"PLASMA_GX_FAIL", "--fail", Kind::kValue},
    {"PLASMA_GX_TAP_AFTER", "--tap-after", Kind::kValue},
    {"PLASMA_GX_KEY_AFTER", "--key-after", Kind::kValue},
    {"PLASMA_GX_CLOSE_AFTER", "--close-after", Kind::kValue},
    {"PLASMA_GX_SCREENSHOT", "--screenshot", Kind::kValue},
    {"PLASMA_GX_STATS", nullptr, Kind::kStats},
};
constexpr char kPrefix[] = "PLASMA_GX_";

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

std::string VariableFor(const std::string& option) {
    for (const Setting& setting : kSettings) {
        if (setting.option != nullptr && option == setting.option) {
            return setting.name;
        }
    }
    return option;
}

}  // namespace

GxSettings ReadSettings(const wchar_t* environment) {
    GxSettings settings;
    std::vector<GivenSetting> given;
    std::string directDisplay;      // PLASMA_GX_DRAM=0, as spelled
    std::vector<std::string> seen;  // as spelled, one for each setting found
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
        // Names that differ only in case are one variable to Windows, but a
        // block can still hold both.
        for (const std::string& earlier : seen) {
            if (SameName(earlier, setting->name)) {
                throw UsageError(earlier + " and " + name +
                                 " are the same setting given twice; give it once");
            }
        }
        seen.push_back(name);
        const std::wstring value = text.substr(equals + 1);
        const std::string valueText = Utf8(value);
        if (setting->kind != Kind::kValue) {
            if (valueText != "0" && valueText != "1") {
                throw UsageError(name + " needs 1 (on) or 0 (off)");
            }
            if (setting->kind == Kind::kStats) {
                settings.stats = valueText == "1";
            } else if (valueText == "1") {
                given.push_back({setting->option, name, ""});
            } else {
                directDisplay = name;
            }
            continue;
        }
        given.push_back({setting->option, name, valueText});
        if (setting->option == std::string("--screenshot")) {
            settings.screenshotPath = value;
        }
    }
    settings.launch = ApplyLaunchSettings(given, VariableFor);
    // Frames are paced where the program meets the platform once a frame.
    // Here the read of its running flag is the desktop compiler's own inline
    // code, which gx.dll never sees, so the display is a DRAM buffer, paced
    // in GXEndDraw, unless the user asks for display memory unpaced.
    if (directDisplay.empty()) {
        settings.launch.device.dramBuffer = true;
    } else if (settings.launch.device.framesPerSecond != 0) {
        throw UsageError(directDisplay +
                         "=0 cannot be paced on the desktop, where gx.dll does not see the "
                         "program's frames end; give PLASMA_GX_SPEED=max with it");
    }
    return settings;
}
