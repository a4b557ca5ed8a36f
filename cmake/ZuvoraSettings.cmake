# Compile settings shared by every target of the project.
add_library(zuv_settings INTERFACE)
target_compile_features(zuv_settings INTERFACE cxx_std_20)
set(CMAKE_CXX_EXTENSIONS OFF)
target_compile_options(zuv_settings INTERFACE
    -Wall -Wextra -Wpedantic -Wshadow -Wnon-virtual-dtor -Woverloaded-virtual
    -Wcast-align -Wimplicit-fallthrough)
target_compile_definitions(zuv_settings INTERFACE
    ZUVORA_VERSION_MAJOR=${PROJECT_VERSION_MAJOR}
    ZUVORA_VERSION_MINOR=${PROJECT_VERSION_MINOR}
    ZUVORA_VERSION_PATCH=${PROJECT_VERSION_PATCH}
    ZUVORA_PRERELEASE=$<BOOL:${ZUVORA_PRERELEASE}>)

# gold links the many test programs with debug information in about two thirds of the time.
if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU" AND NOT WIN32)
    target_link_options(zuv_settings INTERFACE -fuse-ld=gold)
endif()

# Test code gains nothing from full optimisation, and compiles a third faster without it.
add_library(zuv_test_settings INTERFACE)
target_compile_options(zuv_test_settings INTERFACE $<$<CONFIG:RelWithDebInfo>:-O1 -g1>)

# Qt-specific settings for the window code.
add_library(zuv_qt_settings INTERFACE)
target_link_libraries(zuv_qt_settings INTERFACE zuv_settings)
target_compile_definitions(zuv_qt_settings INTERFACE
    QT_NO_CAST_FROM_ASCII QT_NO_CAST_TO_ASCII QT_NO_URL_CAST_FROM_STRING
    QT_NO_CONTEXTLESS_CONNECT QT_NO_NARROWING_CONVERSIONS_IN_CONNECT)

# GCC 12 warns of overlapping copies inside std::string's own operator+ when it inlines it for
# MinGW-w64 (GCC bug 105329); the warning says nothing about our code.
if(MINGW AND CMAKE_CXX_COMPILER_ID STREQUAL "GNU" AND CMAKE_CXX_COMPILER_VERSION VERSION_LESS 13)
    target_compile_options(zuv_settings INTERFACE -Wno-restrict)
endif()
