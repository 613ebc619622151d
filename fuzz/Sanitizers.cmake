# The fuzz build: everything compiled with coverage for libFuzzer, AddressSanitizer and
# UndefinedBehaviorSanitizer (any undefined behaviour stops the run).
if(NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
    message(FATAL_ERROR "QUARVELIN_FUZZ needs clang: configure with CXX=clang++-14")
endif()
add_compile_options(-fsanitize=address,undefined,fuzzer-no-link -fno-sanitize-recover=undefined
                    -fno-omit-frame-pointer)
add_link_options(-fsanitize=address,undefined)
