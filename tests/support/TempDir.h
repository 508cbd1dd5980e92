#pragma once

#include <string>

namespace testsupport {

// A fresh folder under $TMPDIR (or /tmp), removed with everything in it on destruction.
class TempDir
{
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::string& Path() const { return fPath; }
    // Path of a name inside the folder.
    std::string operator/(const std::string& name) const { return fPath + "/" + name; }

private:
    std::string fPath;
};

} // namespace testsupport
