# Test programs are Windows exes run through Wine (see tools/wine-exec.sh.in).
include(GoogleTest)

set(gtest_force_shared_crt OFF CACHE BOOL "" FORCE)
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(BUILD_GMOCK ON CACHE BOOL "" FORCE)
set(GOOGLETEST_SOURCE_DIR /usr/src/googletest CACHE PATH "GoogleTest sources shipped by the googletest package")
add_subdirectory(${GOOGLETEST_SOURCE_DIR} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
# GoogleTest's own sources are not held to our warning rules.
foreach(t gtest gtest_main gmock gmock_main)
    if(TARGET ${t})
        target_compile_options(${t} PRIVATE -w)
    endif()
endforeach()

set(TARVOLO_WINE_PREFIX ${CMAKE_BINARY_DIR}/wineprefix)
configure_file(${CMAKE_SOURCE_DIR}/tools/wine-exec.sh.in ${CMAKE_BINARY_DIR}/wine-exec.sh @ONLY
               FILE_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_BINARY_DIR}/wine-exec.sh CACHE FILEPATH "" FORCE)

set(TARVOLO_LOCALE_de LANG=de_DE.UTF-8 LC_ALL=de_DE.UTF-8)
set(TARVOLO_LOCALE_en LANG=en_US.UTF-8 LC_ALL=en_US.UTF-8)

# tarvolo_add_gtest(<name> SOURCES ... [LIBS ...] [LOCALES de en] [ENVIRONMENT VAR=value ...]
#                   [RESOURCE_LOCK lock ...] [RUN_SERIAL] [OWN_PREFIX])
# RESOURCE_LOCK keeps tests that share registry keys or files from running at the same time;
# OWN_PREFIX gives the exe a Wine prefix of its own (its own registry and wineserver).
# Registers every test case of the exe with CTest. With LOCALES the whole exe runs once per
# user locale, each test named <locale>.<suite>.<case>; without, it runs under German settings.
function(tarvolo_add_gtest name)
    cmake_parse_arguments(T "RUN_SERIAL;OWN_PREFIX" "" "SOURCES;LIBS;LOCALES;ENVIRONMENT;RESOURCE_LOCK" ${ARGN})
    add_executable(${name} ${T_SOURCES} ${CMAKE_SOURCE_DIR}/tests/support/CrtTimeZone.cpp)
    target_link_libraries(${name} PRIVATE ${T_LIBS} GTest::gmock GTest::gtest_main)
    if(NOT T_LOCALES)
        set(T_LOCALES de)
        set(prefix_needed FALSE)
    else()
        set(prefix_needed TRUE)
    endif()
    set(extra_properties)
    if(T_RESOURCE_LOCK)
        string(REPLACE ";" "\\;" locks "${T_RESOURCE_LOCK}")
        list(APPEND extra_properties RESOURCE_LOCK "${locks}")
    endif()
    if(T_RUN_SERIAL)
        list(APPEND extra_properties RUN_SERIAL TRUE)
    endif()
    if(T_OWN_PREFIX)
        list(APPEND T_ENVIRONMENT TARVOLO_WINEPREFIX=${CMAKE_BINARY_DIR}/wineprefix-${name})
    endif()
    foreach(loc ${T_LOCALES})
        set(env ${TARVOLO_LOCALE_${loc}} ${T_ENVIRONMENT})
        # gtest_discover_tests splits list-valued properties, so the whole environment travels
        # as one variable that wine-exec.sh unpacks.
        string(REPLACE ";" "|" env "${env}")
        set(env "TARVOLO_TEST_ENV=${env}")
        if(prefix_needed)
            set(prefix "${loc}.")
        else()
            set(prefix "")
        endif()
        # The variables go on the emulator's command line (env VAR=value ... wine-exec.sh): handed
        # over as the ENVIRONMENT property, gtest_discover_tests would split them into separate
        # words, and only the first would reach the test. gtest_discover_tests reads the emulator
        # when it is called, so each locale gets its own.
        set_property(TARGET ${name} PROPERTY CROSSCOMPILING_EMULATOR
                     env ${TARVOLO_LOCALE_${loc}} ${T_ENVIRONMENT} ${CMAKE_CROSSCOMPILING_EMULATOR})
        gtest_discover_tests(${name}
            DISCOVERY_MODE PRE_TEST
            DISCOVERY_TIMEOUT 120
            TEST_PREFIX "${prefix}"
            WORKING_DIRECTORY $<TARGET_FILE_DIR:${name}>
            PROPERTIES ENVIRONMENT "${env}" TIMEOUT 120 ${extra_properties})
    endforeach()
endfunction()
