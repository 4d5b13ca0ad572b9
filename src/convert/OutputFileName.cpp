#include "convert/OutputFileName.h"

std::string directoryPart(std::string_view path)
{
    const auto slash = path.rfind('/');
    if (slash == std::string_view::npos)
        return {};
    const bool rootLike = slash == 0 || path[slash - 1] == '/';
    return std::string(path.substr(0, rootLike ? slash + 1 : slash));
}

std::string fileNamePart(std::string_view path)
{
    const auto slash = path.rfind('/');
    return std::string(slash == std::string_view::npos ? path : path.substr(slash + 1));
}

std::string MakeOutputFileName(std::string_view dir, std::string_view prefix, std::string_view input)
{
    std::string name = fileNamePart(input);
    if (const auto dot = name.rfind('.'); dot != std::string::npos)
        name.resize(dot);
    name += ".csv";

    std::string out(dir);
    out += '/';
    if (prefix != NoPrefix) {
        out += prefix;
        out += '-';
    }
    out += name;
    return out;
}
