#pragma once

#include <string>

// Outcome of one file operation: ok, or why not, in words a user can act on.
struct IoResult
{
    bool ok = true;
    int error = 0;      // errno value, 0 when the reason is not a system error
    std::string reason; // "No such file or directory", "not a regular file", ...

    static IoResult success() { return {}; }
    static IoResult failure(int errnoValue);
    static IoResult failure(std::string why) { return {false, 0, std::move(why)}; }
    explicit operator bool() const { return ok; }
};
