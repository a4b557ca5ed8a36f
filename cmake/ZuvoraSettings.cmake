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

# Debian's hardening flags, as its packages are built: fortified functions, the strong stack
# protector, read-only relocations bound at start (relro, now) and a position-independent
# program (the compiler's default here). The build type keeps choosing optimisation and debug
# information; fortification needs optimisation, so debug builds go without it. The sanitizer and
# fuzz presets turn them off: they bring their own checks.
option(ZUVORA_HARDENING "Build with Debian's hardening flags (dpkg-buildflags)" ON)
find_program(ZUVORA_DPKG_BUILDFLAGS dpkg-buildflags)
if(ZUVORA_HARDENING AND ZUVORA_DPKG_BUILDFLAGS AND NOT WIN32)
    foreach(kind CPPFLAGS CXXFLAGS LDFLAGS)
        execute_process(
            COMMAND "${CMAKE_COMMAND}" -E env DEB_BUILD_MAINT_OPTIONS=hardening=+all
                    "${ZUVORA_DPKG_BUILDFLAGS}" --get ${kind}
            OUTPUT_VARIABLE flags OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)
        separate_arguments(flags UNIX_COMMAND "${flags}")
        list(FILTER flags EXCLUDE REGEX "^-O|^-g|^-ffile-prefix-map=")
        set(hardening_${kind} ${flags})
    endforeach()
    target_compile_options(zuv_settings INTERFACE
        ${hardening_CXXFLAGS} "$<$<NOT:$<CONFIG:Debug>>:${hardening_CPPFLAGS}>")
    target_link_options(zuv_settings INTERFACE ${hardening_LDFLAGS})
endif()

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
