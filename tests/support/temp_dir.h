#pragma once

#include <string>
#include <vector>

// A fresh empty directory, removed with everything in it at the end.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::string& Path() const { return path_; }
    std::string operator/(const std::string& name) const { return path_ + "/" + name; }
    // Every entry's name, sorted, hidden ones included.
    std::vector<std::string> Names() const;
    static std::vector<std::string> NamesIn(const std::string& directory);

private:
    std::string path_;
};
