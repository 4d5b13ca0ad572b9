// The sanitizers' options, compiled into every program of a sanitizer build
// (cmake/Sanitizers.cmake), so that tests, test listings made during the
// build, fuzz runs and hand runs all stop on the first finding alike. The
// sanitizers read these first; ASAN_OPTIONS and the like still override them.

// The runtimes look these up by name, unmangled.
// NOLINTBEGIN(bugprone-reserved-identifier)
extern "C" const char* __asan_default_options()
{
    return "halt_on_error=1:abort_on_error=1:detect_leaks=1:print_stacktrace=1:strict_string_checks=1:"
           "detect_stack_use_after_return=1:check_initialization_order=1";
}

extern "C" const char* __ubsan_default_options()
{
    return "halt_on_error=1:print_stacktrace=1";
}

// Only leaks kept inside system libraries are suppressed (see the file).
extern "C" const char* __lsan_default_options()
{
    return "suppressions=" QD_LSAN_SUPPRESSIONS ":print_suppressions=0";
}
// NOLINTEND(bugprone-reserved-identifier)
