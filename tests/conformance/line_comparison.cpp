#include "tests/conformance/line_comparison.h"

#include <algorithm>
#include <cstddef>

namespace {

bool StartsWith(const std::vector<std::string>& lines, size_t at,
                const std::vector<std::string>& part) {
    return lines.size() - at >= part.size() &&
           std::equal(part.begin(), part.end(), lines.begin() + static_cast<std::ptrdiff_t>(at));
}

std::string At(const std::vector<std::string>& lines, size_t at) {
    return at < lines.size() ? "'" + lines[at] + "'" : "(end)";
}

}  // namespace

std::vector<std::string> CompareProbeOutputs(const std::vector<std::string>& standIn,
                                             const std::vector<std::string>& windows,
                                             const std::vector<ExpectedDifference>& table) {
    std::vector<std::string> problems;
    std::vector<bool> used(table.size(), false);
    size_t s = 0, w = 0;
    while (s < standIn.size() || w < windows.size()) {
        if (s < standIn.size() && w < windows.size() && standIn[s] == windows[w]) {
            ++s;
            ++w;
            continue;
        }
        bool allowed = false;
        for (size_t row = 0; row < table.size() && !allowed; ++row) {
            const ExpectedDifference& d = table[row];
            if ((!d.standIn.empty() || !d.windows.empty()) && StartsWith(standIn, s, d.standIn) &&
                StartsWith(windows, w, d.windows)) {
                s += d.standIn.size();
                w += d.windows.size();
                used[row] = true;
                allowed = true;
            }
        }
        if (!allowed) {
            problems.push_back("stand-in line " + std::to_string(s + 1) + " " + At(standIn, s) +
                               ", Windows line " + std::to_string(w + 1) + " " + At(windows, w) +
                               ": a difference no row of the table allows");
            break;  // past the first, the rest would only repeat it
        }
    }
    // A row is checked only when the walk got to the end: a stale row is
    // then one that the outputs no longer show.
    const bool walked = problems.empty();
    for (size_t row = 0; row < table.size(); ++row) {
        if (!used[row] && walked) {
            problems.push_back("expected difference no longer seen: " +
                               (table[row].standIn.empty() ? table[row].windows.front()
                                                           : table[row].standIn.front()));
        }
    }
    return problems;
}
