# Sanitizer builds. QD_SANITIZE lists the sanitizers every target is built
# with, as -fsanitize takes them ("address,undefined"); empty for a normal
# build. Any undefined behaviour aborts the test that met it, so a finding
# can never pass unnoticed in a test log.
set(QD_SANITIZE "" CACHE STRING "Sanitizers for every target, e.g. address,undefined (empty: none)")

if(QD_SANITIZE)
    add_compile_options(-fsanitize=${QD_SANITIZE} -fno-omit-frame-pointer -fno-sanitize-recover=all)
    add_link_options(-fsanitize=${QD_SANITIZE})
endif()

# The fuzz targets need clang's libFuzzer. Everything they link is built with
# the coverage instrumentation libFuzzer steers by, and with the address and
# undefined-behaviour checks so that a finding stops the run.
if(QD_BUILD_FUZZERS)
    if(NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
        message(FATAL_ERROR "QD_BUILD_FUZZERS needs clang (configure with CMAKE_CXX_COMPILER=clang++ "
                            "or the 'fuzz' preset)")
    endif()
    if(NOT QD_SANITIZE)
        add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=all)
        add_link_options(-fsanitize=address,undefined)
    endif()
    add_compile_options(-fsanitize=fuzzer-no-link)
endif()

# The sanitizers' options live in one place, compiled into every program this
# build links (SanitizerOptions.cpp): ctest, the build's test listings, the
# fuzz runs and a program started by hand all use the same.
if(QD_SANITIZE OR QD_BUILD_FUZZERS)
    add_library(qd_sanitizer_options OBJECT ${CMAKE_CURRENT_LIST_DIR}/SanitizerOptions.cpp)
    target_compile_definitions(qd_sanitizer_options
                               PRIVATE QD_LSAN_SUPPRESSIONS="${CMAKE_CURRENT_LIST_DIR}/lsan.supp")
    link_libraries(qd_sanitizer_options)
endif()
