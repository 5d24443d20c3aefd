#pragma once

#include <map>
#include <sstream>
#include <string>

// `key=value` lines, as the scenario programs print them.
inline std::map<std::string, long long> KeyValues(const std::string& text) {
    std::map<std::string, long long> values;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        const size_t equals = line.find('=');
        if (equals != std::string::npos) {
            values[line.substr(0, equals)] = std::stoll(line.substr(equals + 1));
        }
    }
    return values;
}
