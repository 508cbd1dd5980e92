#include "../private/PathUtil.h"

#include <unistd.h>
#include <vector>

namespace kit_private {

std::string normalized_path(const std::string& path)
{
    if (path.empty())
        return "";
    std::string full = path;
    if (full[0] != '/') {
        char cwd[4096];
        if (getcwd(cwd, sizeof cwd) == nullptr)
            return "";
        full = std::string(cwd) + "/" + full;
    }
    std::vector<std::string> parts;
    size_t start = 0;
    while (start <= full.size()) {
        size_t end = full.find('/', start);
        if (end == std::string::npos)
            end = full.size();
        std::string part = full.substr(start, end - start);
        if (part == "..") {
            if (!parts.empty())
                parts.pop_back();
        } else if (!part.empty() && part != ".") {
            parts.push_back(part);
        }
        start = end + 1;
    }
    std::string result;
    for (const std::string& part : parts)
        result += "/" + part;
    return result.empty() ? "/" : result;
}

std::string joined_path(const std::string& path, const std::string& leaf)
{
    if (leaf.empty())
        return normalized_path(path);
    if (leaf[0] == '/')
        return normalized_path(leaf);
    return normalized_path(path + "/" + leaf);
}

std::string parent_of(const std::string& path)
{
    size_t slash = path.rfind('/');
    if (slash == std::string::npos || path == "/")
        return "";
    return slash == 0 ? "/" : path.substr(0, slash);
}

std::string leaf_of(const std::string& path)
{
    size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

} // namespace kit_private
