#include "tools/capture/usage.h"

const char* UsageText() {
    return R"(Usage: plasma-capture [--size WxH] [--frames LIST] [--fps N] --out PATH

Renders frames of the plasma animation offline and writes them as images.

  --size WxH     drawing area in pixels, W and H from 1 to 4096 (default 240x295)
  --frames LIST  frame numbers N and ranges A-B separated by commas, from 1 to
                 1000000 (default 1-128). Frame 1 is the first frame the program
                 shows. Frames are written in ascending order whatever the order
                 of the list; a frame listed more than once is written once.
  --fps N        .gif only: playback rate, 1 to 50 frames per second (default 30).
                 GIF delays are whole hundredths of a second: the k-th frame
                 (from 0) starts at 100*k/N rounded to the nearest hundredth, so
                 at 30 fps delays run 3,4,3 and the average rate stays exact.
  --out PATH     where to write; the extension (any case) picks the format:
                   .png     8-bit RGB, one file per frame
                   .rgb565  raw little-endian 16-bit 5-6-5 pixels, rows top to
                            bottom, no header, one file per frame
                   .gif     one looping animated GIF of all the frames
                 With more than one .png or .rgb565 frame, PATH holds one %d or
                 %0Nd (zero-padded to N digits, N from 1 to 9) that takes the
                 frame number, e.g. out/frame%04d.png; %% is a literal %.
  --help         print this help and exit
  --version      print the version and exit

Every file is written under a temporary name in its directory and renamed into
place, so no half-written image is left behind.
Exit status: 0 done, 1 a file could not be written, 2 bad arguments.
)";
}

const char* VersionText() {
    return "plasma-capture " PLASMA_VERSION "\n";
}
