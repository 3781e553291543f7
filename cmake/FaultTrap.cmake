# faulttrap_embed(TARGET [OPTIONS FILE] [PASSWORD PW])
#
# After TARGET is linked, the build tool reads its DWARF and writes the exception-
# reporting subsystem's data container into it (section ".ftdata"): the compact debug
# information for call stacks, the optional options stream and the debug password.
function(faulttrap_embed target)
    cmake_parse_arguments(PARSE_ARGV 1 EMBED "" "OPTIONS;PASSWORD" "")
    set(arguments embed $<TARGET_FILE:${target}>)
    if(EMBED_OPTIONS)
        list(APPEND arguments --options ${EMBED_OPTIONS})
    endif()
    if(EMBED_PASSWORD)
        list(APPEND arguments --password ${EMBED_PASSWORD})
    endif()
    if(NOT target STREQUAL "faulttrap")
        add_dependencies(${target} faulttrap)
        # A new build tool writes a new container: the target is linked and embedded again.
        set_property(TARGET ${target} APPEND PROPERTY LINK_DEPENDS $<TARGET_FILE:faulttrap>)
    endif()
    add_custom_command(TARGET ${target} POST_BUILD
        COMMAND $<TARGET_FILE:faulttrap> ${arguments}
        COMMENT "Embedding the FaultTrap data container into ${target}"
        VERBATIM)
endfunction()
