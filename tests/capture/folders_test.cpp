// --out may name folders that are not there yet: the exporter creates them,
// as mkdir -p would, and leaves those that are there as they were.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "tests/capture/support/run_program.h"
#include "tests/support/temp_dir.h"

namespace {

bool IsFolderWithMode(const std::string& path, mode_t mode) {
    struct stat status;
    return stat(path.c_str(), &status) == 0 && S_ISDIR(status.st_mode) &&
           (status.st_mode & 07777) == mode;
}

TEST(CaptureFolders, CreatesTheMissingFoldersOfTheOutPath) {
    const struct {
        const char* name;
        std::vector<std::string> args;        // run from a fresh directory
        std::vector<std::string> files;       // written, relative to it
        std::vector<std::string> newFolders;  // created with the umask's mode
    } cases[] = {
        // The README's commands, as written, in a fresh checkout.
        {"gif", {"--frames", "1-128", "--out", "out/plasma.gif"}, {"out/plasma.gif"}, {"out"}},
        {"png frames",
         {"--frames", "1,10-12", "--out", "out/frame%04d.png"},
         {"out/frame0001.png", "out/frame0010.png", "out/frame0011.png", "out/frame0012.png"},
         {"out"}},
        {"raw frame",
         {"--size", "640x295", "--frames", "7", "--out", "out/frame.rgb565"},
         {"out/frame.rgb565"},
         {"out"}},
        {"nested, through a doubled slash and a dot",
         {"--frames", "1", "--size", "3x3", "--out", "a//b/./c/x.png"},
         {"a/b/c/x.png"},
         {"a", "a/b", "a/b/c"}},
        {"a folder for each frame",
         {"--frames", "2-3", "--size", "3x3", "--out", "f%d/x.rgb565"},
         {"f2/x.rgb565", "f3/x.rgb565"},
         {"f2", "f3"}},
        {"under a folder that is there",
         {"--frames", "1", "--size", "3x3", "--out", "kept/new/x.gif"},
         {"kept/new/x.gif", "kept/old.txt"},
         {"kept/new"}},
    };
    const mode_t umaskNow = umask(022);
    umask(umaskNow);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TempDir dir;
        ASSERT_EQ(mkdir((dir / "kept").c_str(), 0700), 0);
        std::ofstream(dir / "kept/old.txt") << "x";

        const ChildResult result = RunCaptureIn(dir.Path(), c.args);
        EXPECT_EQ(result.exitCode, 0) << result.err;
        EXPECT_EQ(result.err, "");
        for (const std::string& file : c.files) {
            EXPECT_TRUE(std::filesystem::is_regular_file(dir / file)) << file;
        }
        for (const std::string& folder : c.newFolders) {
            EXPECT_TRUE(IsFolderWithMode(dir / folder, 0777 & ~umaskNow)) << folder;
        }
        EXPECT_TRUE(IsFolderWithMode(dir / "kept", 0700));
    }
}

}  // namespace
