# libFuzzer targets of every layer.
#
# With OLVENDRA_BUILD_FUZZERS=ON (clang only) every library is instrumented for coverage and built
# with AddressSanitizer and UndefinedBehaviorSanitizer, so the fuzzers see faults inside the code
# they drive, not only in their own entry point.
if(OLVENDRA_BUILD_FUZZERS)
    add_compile_options(-fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=undefined)
    add_link_options(-fsanitize=address,undefined)
endif()

# olvendra_add_fuzzer(<name> SOURCES <files...> LIBRARIES <targets...> CORPUS <dir>)
#
# Fuzzers on: the libFuzzer program <name>, and a test that runs it once over the saved corpus.
# Fuzzers off (tests on): <name>_replay, the same entry point driven by a plain runner over every
# file of the saved corpus, as an ordinary test.
function(olvendra_add_fuzzer name)
    cmake_parse_arguments(PARSE_ARGV 1 ARG "" "CORPUS" "SOURCES;LIBRARIES")
    if(OLVENDRA_BUILD_FUZZERS)
        add_executable(${name} ${ARG_SOURCES})
        target_link_libraries(${name} PRIVATE ${ARG_LIBRARIES})
        target_link_options(${name} PRIVATE -fsanitize=fuzzer)
        add_test(NAME ${name}_corpus COMMAND ${name} -runs=0 ${ARG_CORPUS})
        # scripts/fuzz.sh runs every fuzzer listed here on its corpus.
        set_property(GLOBAL APPEND PROPERTY OLVENDRA_FUZZERS "$<TARGET_FILE:${name}> ${ARG_CORPUS}")
    elseif(OLVENDRA_BUILD_TESTS)
        add_executable(${name}_replay ${ARG_SOURCES})
        target_link_libraries(${name}_replay PRIVATE ${ARG_LIBRARIES} olvendra_fuzz_replay)
        add_test(NAME ${name}_corpus COMMAND ${name}_replay ${ARG_CORPUS})
    endif()
endfunction()
