// The probe on the stand-in against the same probe on desktop Windows (run
// under Wine), and the comparison itself on small fixtures.
#include <gtest/gtest.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "tests/conformance/line_comparison.h"
#include "tests/support/child_process.h"

namespace {

// Where the handheld is documented to behave otherwise than desktop Windows,
// and where the desktop implementation under test departs from the desktop
// documentation that the handheld's matches. Nothing else may differ.
const std::vector<ExpectedDifference> kExpectedDifferences = {
    {{"taken up to the quit: PROBE(0x1) PROBE(0x2) WM_KEYDOWN(0x41) WM_CHAR(0x61) WM_KEYUP(0x41) "
      "WM_QUIT(0x5)",
      "taken after it, up to a last key: WM_KEYDOWN(0x5a) WM_CHAR(0x7a) WM_KEYUP(0x5a)"},
     {"taken up to the quit: PROBE(0x1) PROBE(0x2) WM_QUIT(0x5)",
      "taken after it, up to a last key: WM_KEYDOWN(0x41) WM_CHAR(0x61) WM_KEYUP(0x41) "
      "WM_KEYDOWN(0x5a) WM_CHAR(0x7a) WM_KEYUP(0x5a)"},
     "Windows CE checks for WM_QUIT only when no sent, posted or input message waits "
     "(Receiving and Dispatching Messages, Windows CE 5.0: https://learn.microsoft.com/en-us/"
     "previous-versions/windows/embedded/aa452701(v=msdn.10)); desktop Windows hands the quit "
     "message out before input that is still queued"},
    {{"  TranslateMessage(WM_KEYUP) = 0"},
     {"  TranslateMessage(WM_KEYUP) = 1"},
     "On Windows CE TranslateMessage is nonzero regardless of translation only for WM_KEYDOWN and "
     "WM_SYSKEYDOWN (TranslateMessage, Windows CE 5.0: https://learn.microsoft.com/en-us/"
     "previous-versions/windows/embedded/aa453776(v=msdn.10)); on desktop Windows for "
     "WM_KEYUP and WM_SYSKEYUP too (https://learn.microsoft.com/en-us/windows/win32/api/"
     "winuser/nf-winuser-translatemessage)"},
    {{"  TranslateMessage(WM_CHAR) = 0"},
     {"  TranslateMessage(WM_CHAR) = 1"},
     "Both platforms document zero for a message that is not translated, which WM_CHAR is "
     "not (TranslateMessage, Windows CE 5.0: https://learn.microsoft.com/en-us/"
     "previous-versions/windows/embedded/aa453776(v=msdn.10), and the desktop page); Wine "
     "answers nonzero for every message in the keyboard range"},
    {{},
     {"GetMessageW = 1 WM_MOUSEMOVE x=10 y=20 buttons=0", "  TranslateMessage(WM_MOUSEMOVE) = 0",
      "  proc WM_MOUSEMOVE x=10 y=20 buttons=0"},
     "On Windows CE WM_MOUSEMOVE is posted only while the stylus tip is down (WM_MOUSEMOVE, "
     "Windows CE 5.0: https://learn.microsoft.com/en-us/previous-versions/windows/embedded/"
     "aa453885(v=msdn.10)); the desktop pointer is moved to the point before it is pressed"},
    {{},
     {"    proc WM_NCDESTROY"},
     "The Windows CE DestroyWindow does not support WM_NCDESTROY (DestroyWindow, Windows CE: "
     "https://learn.microsoft.com/en-us/previous-versions/ms960187(v=msdn.10))"},
    {{"GetMessageW = 1 PROBE wParam=7", "  TranslateMessage(PROBE) = 0"},
     {},
     "The Windows CE DestroyWindow does not flush the thread message queue (DestroyWindow, "
     "Windows CE 5.0: https://learn.microsoft.com/en-us/previous-versions/windows/embedded/"
     "aa452942(v=msdn.10)); the desktop one does (https://learn.microsoft.com/en-us/windows/"
     "win32/api/winuser/nf-winuser-destroywindow)"},
    {{"GetExitCodeThread(returned, then terminated) = 1, code 17"},
     {"GetExitCodeThread(returned, then terminated) = 1, code 99"},
     "A thread that has returned has terminated, with the return value of its function as "
     "its status (GetExitCodeThread, Windows CE 5.0: https://learn.microsoft.com/en-us/"
     "previous-versions/windows/embedded/ms885623(v=msdn.10); desktop: "
     "https://learn.microsoft.com/en-us/windows/win32/api/processthreadsapi/"
     "nf-processthreadsapi-getexitcodethread); neither page has a later TerminateThread change "
     "it, and Wine lets one overwrite it"},
};

std::string Joined(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines) {
        text += line + "\n";
    }
    return text;
}

// Output lines without carriage returns: Windows ends its lines with CR LF.
std::vector<std::string> OutputLines(const std::string& text) {
    std::vector<std::string> lines = Lines(text);
    for (std::string& line : lines) {
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
    }
    return lines;
}

// Every run prints its first and last observation: a program that did not
// run at all (a Windows program Wine cannot start exits 0 without output)
// cannot pass for one that agrees.
void ExpectWholeRun(const ChildResult& run, const std::vector<std::string>& lines,
                    const char* where) {
    ASSERT_FALSE(run.timedOut) << where;
    EXPECT_EQ(run.exitCode, 0) << where << ": " << run.err;
    ASSERT_GE(lines.size(), 2u) << where << " printed nothing: " << run.err;
    EXPECT_EQ(lines.front(), "probe start") << where;
    EXPECT_EQ(lines.back(), "probe end") << where;
}

TEST(Wine, TheStandInAgreesWithWindowsUpToTheDocumentedDifferences) {
    ASSERT_STRNE(WINDOWS_PROBE, "") << "no mingw-w64 compiler: the Windows probe was not built";
    const ChildResult standIn = RunChild({STAND_IN_PROBE});
    const std::vector<std::string> standInLines = OutputLines(standIn.out);
    ExpectWholeRun(standIn, standInLines, "stand-in");

    ChildOptions options;
    options.timeoutMs = 60000;
    const ChildResult windows = RunChild(
        {"/usr/bin/env", "WINEPREFIX=" WINE_PREFIX, "WINEDEBUG=-all", "wine", WINDOWS_PROBE},
        options);
    const std::vector<std::string> windowsLines = OutputLines(windows.out);
    ExpectWholeRun(windows, windowsLines, "Windows under Wine");

    const std::vector<std::string> problems =
        CompareProbeOutputs(standInLines, windowsLines, kExpectedDifferences);
    EXPECT_TRUE(problems.empty()) << Joined(problems) << "\n--- stand-in\n"
                                  << Joined(standInLines) << "--- Windows\n"
                                  << Joined(windowsLines);
}

// A row stands only with the page that documents it.
TEST(ProbeComparison, EveryExpectedDifferenceCitesMicrosoftsDocumentation) {
    for (const ExpectedDifference& row : kExpectedDifferences) {
        EXPECT_NE(std::string(row.why).find("https://learn.microsoft.com/"), std::string::npos)
            << row.why;
    }
}

// The comparison, on outputs small enough to see the point.
const std::vector<ExpectedDifference> kTable = {
    {{}, {"nc"}, "only one side"},
    {{"a0"}, {"a1"}, "changed"},
};

TEST(ProbeComparison, AgreesWhereTheLinesAndTheRowsSaySo) {
    EXPECT_TRUE(
        CompareProbeOutputs({"x", "a0", "y", "a0", "z"}, {"x", "a1", "y", "nc", "a1", "z"}, kTable)
            .empty());
}

TEST(ProbeComparison, ADifferenceOutsideTheTableIsReportedWithItsLines) {
    const auto problems =
        CompareProbeOutputs({"x", "a0", "nc", "y"}, {"x", "a1", "y"}, {kTable[1]});
    ASSERT_EQ(problems.size(), 1u);
    EXPECT_NE(problems[0].find("stand-in line 3 'nc', Windows line 3 'y'"), std::string::npos)
        << problems[0];
}

TEST(ProbeComparison, MissingOrExtraLinesAtTheEndAreDifferences) {
    EXPECT_EQ(CompareProbeOutputs({"x"}, {"x", "y"}, {}).size(), 1u);
    EXPECT_EQ(CompareProbeOutputs({"x", "y"}, {"x"}, {}).size(), 1u);
}

TEST(ProbeComparison, ARowThatNoLongerMatchesIsReported) {
    const auto problems = CompareProbeOutputs({"x"}, {"x"}, kTable);
    ASSERT_EQ(problems.size(), 2u);
    EXPECT_NE(problems[0].find("nc"), std::string::npos);
    EXPECT_NE(problems[1].find("a0"), std::string::npos);
}

}  // namespace
