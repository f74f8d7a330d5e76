#include "base/paths.h"

namespace tessaria {

std::string WithTrailingBackslash(const std::string& path)
{
    if (!path.empty() && path.back() == PathDelimiter)
        return path;
    return path + PathDelimiter;
}

std::string ExtractFileName(const std::string& path)
{
    const auto slash = path.find_last_of(PathDelimiter);
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string ExtractFilePath(const std::string& path)
{
    const auto slash = path.find_last_of(PathDelimiter);
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

std::string ExtractFileExt(const std::string& path)
{
    const std::string name = ExtractFileName(path);
    const auto dot = name.find_last_of('.');
    return dot == std::string::npos ? std::string() : name.substr(dot + 1);
}

} // namespace tessaria
