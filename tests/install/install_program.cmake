# Installs the build into a fresh PREFIX, as a user would with `cmake --install`.
# cmake -DBUILD_DIR=... -DPREFIX=... -P install_program.cmake
file(REMOVE_RECURSE "${PREFIX}")
execute_process(COMMAND "${CMAKE_COMMAND}" --install "${BUILD_DIR}" --prefix "${PREFIX}"
                RESULT_VARIABLE result OUTPUT_QUIET)
if(NOT result EQUAL 0)
    message(FATAL_ERROR "cmake --install into ${PREFIX} failed: ${result}")
endif()
