#pragma once

#include <string>
#include <vector>

// While one lives, this process adopts the orphans of its descendants
// (PR_SET_CHILD_SUBREAPER): what a script leaves running behind it, in any
// process group or session, becomes this process's child, to be found,
// ended and reaped.
class OrphanCatcher {
public:
    OrphanCatcher();
    ~OrphanCatcher();
    OrphanCatcher(const OrphanCatcher&) = delete;
    OrphanCatcher& operator=(const OrphanCatcher&) = delete;

    // The names of the processes still running as this process's children
    // after `graceMs` for them to end; each is then killed and reaped.
    std::vector<std::string> Leftovers(int graceMs = 2000);
};
