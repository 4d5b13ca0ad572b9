#pragma once

#include <exception>
#include <type_traits>
#include <utility>

class QWidget;

// Shows an error that stopped a command: critical icon, the application title
// as caption. The command has ended; the program carries on.
void showCommandError(QWidget* parent, const char* text);

namespace detail {

// Handlers that take no arguments ignore what the signal carries.
template <class Handler, class... Args> void callHandler(const Handler& handler, Args&&... args)
{
    if constexpr (std::is_invocable_v<const Handler&, Args...>)
        handler(std::forward<Args>(args)...);
    else
        handler();
}

} // namespace detail

// Wraps an event handler so that an error raised inside it ends only that
// command: the error is shown and Qt never sees an exception leave a slot.
template <class Handler> auto guarded(QWidget* parent, Handler handler)
{
    return [parent, handler = std::move(handler)](auto&&... args) {
        try {
            detail::callHandler(handler, std::forward<decltype(args)>(args)...);
        } catch (const std::exception& e) {
            showCommandError(parent, e.what());
        }
    };
}
