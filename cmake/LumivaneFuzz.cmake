# The fuzz build (make fuzz: clang, -DLUMIVANE_FUZZ=ON) and its targets.
#
# lv_fuzz_instrument(<library>)
# A library whose code the fuzz targets reach is built with the coverage libFuzzer steers by and
# with the address and undefined-behaviour sanitizers.
function(lv_fuzz_instrument library)
    target_compile_options(${library} PRIVATE -fsanitize=fuzzer-no-link,address,undefined
                                              -fno-sanitize-recover=undefined)
endfunction()

# lv_add_fuzzer(<target> SOURCES <sources...> LIBS <libraries...> [DEFINITIONS <definitions...>])
# A fuzz target: its sources built with LUMIVANE_FUZZ_ENTRY, which adds libFuzzer's entry point,
# linked with libFuzzer and the sanitizers, and part of the target `fuzzers` that make fuzz builds.
function(lv_add_fuzzer target)
    cmake_parse_arguments(F "" "" "SOURCES;LIBS;DEFINITIONS" ${ARGN})
    if(NOT TARGET fuzzers)
        add_custom_target(fuzzers)
    endif()
    add_executable(${target} ${F_SOURCES})
    target_link_libraries(${target} PRIVATE ${F_LIBS})
    target_compile_definitions(${target} PRIVATE LUMIVANE_FUZZ_ENTRY=1 ${F_DEFINITIONS})
    target_compile_options(${target} PRIVATE -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined)
    target_link_options(${target} PRIVATE -fsanitize=fuzzer,address,undefined)
    add_dependencies(fuzzers ${target})
endfunction()
