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
