# Starts the installed program on a virtual X server with the openbox window manager in its
# screenshot mode: it shows the main window, each page of the settings dialog and the equalizer,
# and saves a picture of each. Skipped where the X server or the window manager is missing.
# cmake -DPREFIX=... -DWORK_DIR=... -DOUTPUT_DIR=... -DDESKTOP=.../run_on_desktop.sh
#       [-DLANGUAGE=deu] -P screenshots.cmake
# LANGUAGE is the language file's name; empty for the built-in texts; unset for the default.

# Fresh settings (the default language, English, unless LANGUAGE says otherwise) with the
# playlist shown, a playlist, and a runtime folder of its own so that no running copy can take
# the files over.
file(REMOVE_RECURSE "${WORK_DIR}" "${OUTPUT_DIR}")
file(MAKE_DIRECTORY "${WORK_DIR}/config/zuvora" "${WORK_DIR}/data")
file(MAKE_DIRECTORY "${WORK_DIR}/runtime")
file(CHMOD "${WORK_DIR}/runtime" DIRECTORY_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE)
set(language_line "")
if(DEFINED LANGUAGE)
    set(language_line "Language=${LANGUAGE}\n")
endif()
file(WRITE "${WORK_DIR}/config/zuvora/zuv.ini" "[Main]\nPlaylist=1\n${language_line}")
file(WRITE "${WORK_DIR}/config/zuvora/playlist.txt"
     "/home/anna/Videos/Holiday 2024/day 1 - the lake.avi|/home/anna/Videos/Holiday 2024/day 1 - the lake.srt\n"
     "/home/anna/Videos/Holiday 2024/day 2 - mountains.avi|\n"
     "/home/anna/Videos/Holiday 2024/day 3 - the old town.mpg|\n")

execute_process(
    COMMAND "${DESKTOP}" openbox
            env -u WAYLAND_DISPLAY QT_QPA_PLATFORM=xcb
                "XDG_CONFIG_HOME=${WORK_DIR}/config" "XDG_DATA_HOME=${WORK_DIR}/data"
                "XDG_RUNTIME_DIR=${WORK_DIR}/runtime" "ZUVORA_SCREENSHOTS=${OUTPUT_DIR}"
                "${PREFIX}/bin/zuvora" "/home/anna/Videos/Holiday 2024/day 1 - the lake.avi"
    RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE errors TIMEOUT 120)
message("${output}${errors}")
if(output MATCHES "^SKIPPED:")
    return()
endif()
if(NOT result EQUAL 0)
    message(FATAL_ERROR "The screenshot run ended with ${result}")
endif()

# The program found its folder through the link.
file(REAL_PATH "${PREFIX}/lib/zuvora" folder)
string(FIND "${output}" "program folder: ${folder}/\n" position)
if(position EQUAL -1)
    message(FATAL_ERROR "The program did not see ${folder}/ as its folder")
endif()

foreach(name main settings-video settings-audio settings-font settings-other settings-info
             equalizer)
    set(file "${OUTPUT_DIR}/${name}.png")
    if(NOT EXISTS "${file}")
        message(FATAL_ERROR "No picture of ${name}")
    endif()
    # A window with its controls drawn compresses to several kilobytes; an empty one does not.
    file(SIZE "${file}" size)
    file(READ "${file}" header LIMIT 24 HEX)
    string(SUBSTRING "${header}" 0 16 signature)
    string(SUBSTRING "${header}" 32 8 width)
    string(SUBSTRING "${header}" 40 8 height)
    math(EXPR width "0x${width}")
    math(EXPR height "0x${height}")
    if(NOT signature STREQUAL "89504e470d0a1a0a" OR size LESS 3000 OR width LESS 100
       OR height LESS 100)
        message(FATAL_ERROR "${file}: ${size} bytes, ${width} x ${height}")
    endif()
endforeach()
