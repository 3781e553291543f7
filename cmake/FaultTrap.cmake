# faulttrap_embed(TARGET [OPTIONS FILE] [PASSWORD PW] [VERSION V])
#
# After TARGET is linked, the build tool reads its DWARF and writes the exception-
# reporting subsystem's data container into it (section ".ftdata"): the compact debug
# information for call stacks, the optional options and the debug password. The version the
# reports show is V, else the target's VERSION property, else the calling project's version.
function(faulttrap_embed target)
    cmake_parse_arguments(PARSE_ARGV 1 EMBED "" "OPTIONS;PASSWORD;VERSION" "")
    set(arguments embed $<TARGET_FILE:${target}>)
    if(NOT EMBED_VERSION)
        get_target_property(EMBED_VERSION ${target} VERSION)
    endif()
    if(NOT EMBED_VERSION)
        set(EMBED_VERSION "${PROJECT_VERSION}")
    endif()
    if(EMBED_VERSION)
        list(APPEND arguments --program-version ${EMBED_VERSION})
    endif()
    if(EMBED_OPTIONS)
        # The options file: readable (INI, see `faulttrap options`) or a binary options stream.
        get_filename_component(EMBED_OPTIONS ${EMBED_OPTIONS} ABSOLUTE)
        list(APPEND arguments --options ${EMBED_OPTIONS})
        set_property(TARGET ${target} APPEND PROPERTY LINK_DEPENDS ${EMBED_OPTIONS})
    endif()
    if(EMBED_PASSWORD)
        list(APPEND arguments --password ${EMBED_PASSWORD})
    endif()
    # The tool of this build (crashreport/ names it before any component asks), or the installed
    # one of the package.
    get_property(tool GLOBAL PROPERTY FAULTTRAP_TOOL_TARGET)
    if(NOT tool)
        set(tool FaultTrap::faulttrap_tool)
    elseif(NOT target STREQUAL tool)
        add_dependencies(${target} ${tool})
    endif()
    if(NOT target STREQUAL "faulttrap")
        # A new build tool writes a new container: the target is linked and embedded again.
        set_property(TARGET ${target} APPEND PROPERTY LINK_DEPENDS $<TARGET_FILE:${tool}>)
    endif()
    add_custom_command(TARGET ${target} POST_BUILD
        COMMAND $<TARGET_FILE:${tool}> ${arguments}
        COMMENT "Embedding the FaultTrap data container into ${target}"
        VERBATIM)
endfunction()
