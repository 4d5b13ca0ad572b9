#pragma once

#include <stdexcept>
#include <string>

// The system's own error: raised where a command cannot go on ("Unable to
// write to ...", "'x' is not a valid integer value", ...). The window shows its
// text in an error box and the program carries on.
class SystemError : public std::runtime_error
{
public:
    explicit SystemError(const std::string& message) : std::runtime_error(message) {}
};
