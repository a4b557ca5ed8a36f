# The installed layout: <prefix>/bin/zuvora links to the program folder <prefix>/lib/zuvora/,
# which holds the language files, links to the readme files and the mark of an installed copy;
# the linked program answers --version and --help without a display.
# cmake -DPREFIX=... -DVERSION=... -DLANGUAGE_FILES=a.lng;b.lng -DREADME_FILES=... -P ...
set(link "${PREFIX}/bin/zuvora")
if(NOT IS_SYMLINK "${link}")
    message(FATAL_ERROR "${link} is not a symbolic link")
endif()
file(REAL_PATH "${link}" program)
file(REAL_PATH "${PREFIX}/lib/zuvora/zuvora" expected)
if(NOT program STREQUAL expected)
    message(FATAL_ERROR "${link} leads to ${program}, not to ${expected}")
endif()
get_filename_component(folder "${program}" DIRECTORY)
foreach(file IN LISTS LANGUAGE_FILES)
    if(NOT EXISTS "${folder}/lang/${file}")
        message(FATAL_ERROR "The language file ${file} is not in ${folder}/lang/")
    endif()
endforeach()
if(NOT EXISTS "${folder}/lang/enu.lng")
    message(FATAL_ERROR "The English language file is not in ${folder}/lang/")
endif()
# The guides lie with the documentation; the program folder's links lead the Readme! button there.
foreach(file IN LISTS README_FILES)
    if(NOT IS_SYMLINK "${folder}/${file}" OR NOT EXISTS "${folder}/${file}")
        message(FATAL_ERROR "${folder}/${file} is no link to the readme file")
    endif()
    file(REAL_PATH "${folder}/${file}" guide)
    file(REAL_PATH "${PREFIX}/share/doc/zuvora/${file}" expected)
    if(NOT guide STREQUAL expected)
        message(FATAL_ERROR "${folder}/${file} leads to ${guide}, not to ${expected}")
    endif()
endforeach()
foreach(file share/applications/zuvora.desktop share/metainfo/org.zuvora.Zuvora.metainfo.xml
             share/man/man1/zuvora.1.gz share/doc/zuvora/changelog.gz share/doc/zuvora/copyright
             lib/zuvora/installed share/icons/hicolor/scalable/apps/zuvora.svg
             share/icons/hicolor/16x16/apps/zuvora.png share/icons/hicolor/256x256/apps/zuvora.png)
    if(NOT EXISTS "${PREFIX}/${file}")
        message(FATAL_ERROR "${PREFIX}/${file} was not installed")
    endif()
endforeach()

# Without any display, and with a platform that would need one if a window were opened.
set(no_display env -u DISPLAY -u WAYLAND_DISPLAY QT_QPA_PLATFORM=xcb)
execute_process(COMMAND ${no_display} "${link}" --version
                RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE errors)
if(NOT result EQUAL 0 OR NOT output STREQUAL "Zuvora ${VERSION}\n" OR NOT errors STREQUAL "")
    message(FATAL_ERROR "zuvora --version: exit ${result}, output [${output}], errors [${errors}]")
endif()
execute_process(COMMAND ${no_display} "${link}" --help
                RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE errors)
if(NOT result EQUAL 0 OR NOT output MATCHES "^Usage: zuvora" OR NOT output MATCHES "ZUVORA_POWEROFF_COMMAND"
   OR NOT errors STREQUAL "")
    message(FATAL_ERROR "zuvora --help: exit ${result}, output [${output}], errors [${errors}]")
endif()
# An answer that cannot be written is not a success.
execute_process(COMMAND ${no_display} "${link}" --version OUTPUT_FILE /dev/full
                RESULT_VARIABLE result)
if(result EQUAL 0)
    message(FATAL_ERROR "zuvora --version reported success writing to a full device")
endif()
