# The warnings every target is built with, defined once.
#
# Every target: -Wall -Wextra, and with QD_WARNINGS_AS_ERRORS (on by default)
# a warning fails the build, so a new one cannot slip into a log nobody reads.
# Every library and program of src/ and tools/ adds -Wshadow and -Wconversion
# through qd_strict_warnings(): their data is bytes and counts read from files,
# where a silent narrowing or a shadowed name is how a wrong number gets into a
# report. Tests and benchmarks keep -Wall -Wextra.
option(QD_WARNINGS_AS_ERRORS "Fail the build on any compiler warning" ON)

add_compile_options(-Wall -Wextra)
set(CMAKE_COMPILE_WARNING_AS_ERROR ${QD_WARNINGS_AS_ERRORS})

function(qd_strict_warnings target)
    target_compile_options(${target} PRIVATE -Wshadow -Wconversion)
endfunction()

# Qt's stricter rules, on every target we compile: no text is made from a
# char* without saying its encoding, and a signal's argument never narrows
# silently on its way to a slot. Called once at the end of the top-level
# CMakeLists.txt, when every target exists.

function(qd_qt_strict_all)
    set(dirs ${PROJECT_SOURCE_DIR})
    while(dirs)
        list(POP_FRONT dirs dir)
        get_property(subdirs DIRECTORY ${dir} PROPERTY SUBDIRECTORIES)
        list(APPEND dirs ${subdirs})
        get_property(targets DIRECTORY ${dir} PROPERTY BUILDSYSTEM_TARGETS)
        foreach(target IN LISTS targets)
            get_target_property(type ${target} TYPE)
            if(type MATCHES "^(STATIC_LIBRARY|SHARED_LIBRARY|OBJECT_LIBRARY|EXECUTABLE)$")
                target_compile_definitions(${target} PRIVATE QT_NO_CAST_FROM_ASCII
                                                             QT_NO_NARROWING_CONVERSIONS_IN_CONNECT)
            endif()
        endforeach()
    endwhile()
endfunction()
