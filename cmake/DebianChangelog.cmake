# zuvora_debian_changelog(notes output package version maintainer)
# Writes the release notes (docs/release-notes.md: "## <version> (<date>)" headings, "- " items,
# continuation lines indented) as a Debian change log. The newest entry carries the package's
# own version, which for a pre-release differs from the release it leads to.
function(zuvora_debian_changelog notes output package version maintainer)
    file(STRINGS "${notes}" lines)
    set(text "")
    set(entry_version "${version}")
    set(open_entry "")
    foreach(line IN LISTS lines)
        if(line MATCHES "^## ([^ ]+) \\(([0-9]+-[0-9]+-[0-9]+)\\)$")
            string(APPEND text "${open_entry}")
            set(date "${CMAKE_MATCH_2}")
            if(NOT open_entry STREQUAL "")
                # Older releases keep their own numbers.
                set(entry_version "${CMAKE_MATCH_1}")
            endif()
            execute_process(COMMAND env LC_ALL=C date -u -R -d "${date}"
                            OUTPUT_VARIABLE stamp OUTPUT_STRIP_TRAILING_WHITESPACE
                            COMMAND_ERROR_IS_FATAL ANY)
            string(APPEND text "${package} (${entry_version}) unstable; urgency=medium\n\n")
            set(open_entry "\n -- ${maintainer}  ${stamp}\n\n")
        elseif(open_entry STREQUAL "")
            # The file's own introduction.
        elseif(line MATCHES "^- (.*)$")
            string(APPEND text "  * ${CMAKE_MATCH_1}\n")
        elseif(line MATCHES "^  +(.*)$")
            string(APPEND text "    ${CMAKE_MATCH_1}\n")
        elseif(NOT line STREQUAL "")
            message(FATAL_ERROR "${notes}: not an item of a release: ${line}")
        endif()
    endforeach()
    if(open_entry STREQUAL "")
        message(FATAL_ERROR "${notes} names no release")
    endif()
    string(APPEND text "${open_entry}")
    string(REGEX REPLACE "\n\n$" "\n" text "${text}")
    file(WRITE "${output}" "${text}")
endfunction()
