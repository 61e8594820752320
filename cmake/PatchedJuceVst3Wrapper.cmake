# JUCE 7.0.5's VST3 wrapper, which Debian ships and no newer JUCE replaces here, has two faults that
# users meet in the shipped binary and that later JUCE versions mend. The VST3 target compiles a copy
# of the wrapper that configuration makes in the build tree from the installed JUCE, with exactly
# those lines changed to what later JUCE does; the LV2 and Standalone targets compile JUCE as installed.
#
#   vevarero_build_vst3_from_patched_juce(<VST3 target>)

set(VEVARERO_PATCHED_JUCE_DIR "${CMAKE_BINARY_DIR}/juce-patched")

# Copies a file of the installed JUCE modules to the same path under the patched folder, with one line
# replaced. A line that is not there exactly once (another JUCE version) stops configuration, saying
# which line and why it is changed: the fault must then be looked at again in that version.
function(_vevarero_patch_juce_file relative_path original replacement why)
    set(source "${JUCE_MODULES_DIR}/${relative_path}")
    file(READ "${source}" text)

    string(LENGTH "${text}" length)
    string(LENGTH "${original}" line_length)
    string(REPLACE "${original}" "" without "${text}")
    string(LENGTH "${without}" length_without)
    math(EXPR occurrences "(${length} - ${length_without}) / ${line_length}")

    if(NOT occurrences EQUAL 1)
        message(FATAL_ERROR
            "Cannot patch JUCE's ${relative_path}: the line\n"
            "    ${original}\n"
            "occurs ${occurrences} times in ${source}, expected once (this build expects JUCE 7.0.5). "
            "It is changed because ${why}")
    endif()

    string(REPLACE "${original}" "${replacement}" patched "${text}")
    # Copied only when different, so that configuring again rebuilds nothing.
    set(destination "${VEVARERO_PATCHED_JUCE_DIR}/${relative_path}")
    file(WRITE "${destination}.new" "${patched}")
    file(COPY_FILE "${destination}.new" "${destination}" ONLY_IF_DIFFERENT)
    file(REMOVE "${destination}.new")
    set_property(DIRECTORY "${CMAKE_SOURCE_DIR}" APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS "${source}")
endfunction()

function(vevarero_build_vst3_from_patched_juce vst3_target)
    set(wrapper juce_audio_plugin_client/VST3/juce_VST3_Wrapper.cpp)
    set(common juce_audio_processors/format_types/juce_VST3Common.h)

    _vevarero_patch_juce_file(${wrapper}
        "refreshAttachedEventLoop ([this, runLoop] { hostRunLoops.erase (runLoop); });"
        "refreshAttachedEventLoop ([this, runLoop] { if (const auto it = hostRunLoops.find (runLoop); it != hostRunLoops.end()) hostRunLoops.erase (it); });"
        "the wrapper keeps one entry per open editor of the host's run loop in a multiset, and erasing \
by value when one editor closes removed every editor's entry: in a host that hands all plug-in \
windows one run loop, every other open editor then stopped repainting and taking clicks.")

    _vevarero_patch_juce_file(${common}
        "const auto mapping = map[busIndex];"
        "const auto& mapping = map[busIndex];"
        "copying the channel mapping, which holds a std::vector, allocated on the audio thread in \
every processed block.")

    # The wrapper's source takes the place of the module's one-line file that includes it. Its own
    # relative includes ("../utility/...") are found beside the installed original, and the patched
    # folder comes first in the include path, so that its juce_VST3Common.h is the one included.
    set(client_source "${JUCE_MODULES_DIR}/juce_audio_plugin_client/juce_audio_plugin_client_VST3.cpp")
    get_target_property(client_sources juce_audio_plugin_client_VST3 INTERFACE_SOURCES)
    list(FIND client_sources "${client_source}" index)

    if(index EQUAL -1)
        message(FATAL_ERROR "Cannot build the VST3 wrapper from a patched copy: JUCE's VST3 client "
                            "target does not list ${client_source}")
    endif()

    list(REMOVE_AT client_sources ${index})
    list(APPEND client_sources "${VEVARERO_PATCHED_JUCE_DIR}/${wrapper}")
    set_target_properties(juce_audio_plugin_client_VST3 PROPERTIES INTERFACE_SOURCES "${client_sources}")

    set_source_files_properties("${VEVARERO_PATCHED_JUCE_DIR}/${wrapper}"
        TARGET_DIRECTORY ${vst3_target}
        PROPERTIES COMPILE_OPTIONS "-iquote;${JUCE_MODULES_DIR}/juce_audio_plugin_client/VST3")
    target_include_directories(${vst3_target} BEFORE PRIVATE "${VEVARERO_PATCHED_JUCE_DIR}")
endfunction()
