# The Windows program folder and its zip: zuvora.exe with the Qt DLLs it imports, the platform and
# style plugins, MinGW's runtime DLLs (Qt's DLLs need them), lang\ and the readme files. The
# user adds mplayer.exe. The build folder's bin\ gets the same DLLs, so the program runs there.

set(ZUVORA_QT_DLLS Qt6::Core Qt6::Gui Qt6::Widgets)
set(ZUVORA_QT_PLUGINS "platforms|Qt6::QWindowsIntegrationPlugin"
                      "platforms|Qt6::QOffscreenIntegrationPlugin"
                      "styles|Qt6::QWindowsVistaStylePlugin")

# MinGW's runtime, as the compiler finds it.
set(ZUVORA_MINGW_RUNTIME_DLLS "")
foreach(name libstdc++-6.dll libgcc_s_seh-1.dll libwinpthread-1.dll)
    execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=${name}
                    OUTPUT_VARIABLE path OUTPUT_STRIP_TRAILING_WHITESPACE)
    if(NOT IS_ABSOLUTE "${path}" OR NOT EXISTS "${path}")
        message(FATAL_ERROR "MinGW runtime ${name} not found by ${CMAKE_CXX_COMPILER}")
    endif()
    list(APPEND ZUVORA_MINGW_RUNTIME_DLLS "${path}")
endforeach()

set(copy_commands "")
foreach(target IN LISTS ZUVORA_QT_DLLS)
    list(APPEND copy_commands COMMAND ${CMAKE_COMMAND} -E copy_if_different
         "$<TARGET_FILE:${target}>" "${ZUVORA_PROGRAM_DIR}/")
    install(FILES "$<TARGET_FILE:${target}>" DESTINATION .)
endforeach()
foreach(entry IN LISTS ZUVORA_QT_PLUGINS)
    string(REPLACE "|" ";" entry "${entry}")
    list(GET entry 0 folder)
    list(GET entry 1 target)
    list(APPEND copy_commands
         COMMAND ${CMAKE_COMMAND} -E make_directory "${ZUVORA_PROGRAM_DIR}/${folder}"
         COMMAND ${CMAKE_COMMAND} -E copy_if_different "$<TARGET_FILE:${target}>"
                 "${ZUVORA_PROGRAM_DIR}/${folder}/")
    install(FILES "$<TARGET_FILE:${target}>" DESTINATION "${folder}")
endforeach()
list(APPEND copy_commands COMMAND ${CMAKE_COMMAND} -E copy_if_different
     ${ZUVORA_MINGW_RUNTIME_DLLS} "${ZUVORA_PROGRAM_DIR}/")
install(FILES ${ZUVORA_MINGW_RUNTIME_DLLS} DESTINATION .)
add_custom_target(zuvora_runtime ALL ${copy_commands}
    COMMENT "Copying the Qt and MinGW DLLs into the program folder")
add_dependencies(zuvora zuvora_runtime)

install(TARGETS zuvora RUNTIME DESTINATION .)
install(FILES ${ZUVORA_LANGUAGE_FILES} DESTINATION lang)
install(FILES ${ZUVORA_README_FILES} "${PROJECT_SOURCE_DIR}/packaging/README-windows.txt"
        DESTINATION .)

# The DLLs come with their symbols (libstdc++ alone 23 MB); the zip carries them stripped.
if(CMAKE_STRIP)
    install(CODE "
        file(GLOB_RECURSE binaries \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/*.dll\"
                                   \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/*.exe\")
        foreach(binary IN LISTS binaries)
            execute_process(COMMAND \"${CMAKE_STRIP}\" --strip-unneeded \"\${binary}\"
                            RESULT_VARIABLE result)
            if(NOT result EQUAL 0)
                message(FATAL_ERROR \"${CMAKE_STRIP} failed on \${binary}\")
            endif()
        endforeach()")
endif()

set(ZUVORA_PACKAGE_VERSION "${PROJECT_VERSION}")
if(ZUVORA_PRERELEASE)
    string(APPEND ZUVORA_PACKAGE_VERSION "-beta")
endif()
set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_NAME zuvora)
set(CPACK_PACKAGE_VENDOR "Zuvora developers")
set(CPACK_PACKAGE_VERSION "${PROJECT_VERSION}")
set(CPACK_PACKAGE_FILE_NAME "zuvora-${ZUVORA_PACKAGE_VERSION}-win64")
# The zip opens into one folder of the same name.
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY ON)
set(CPACK_PACKAGE_DIRECTORY "${CMAKE_BINARY_DIR}/package")
include(CPack)
