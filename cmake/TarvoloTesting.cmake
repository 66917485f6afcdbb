# Test programs are Windows exes run through Wine (see tools/wine-exec.sh.in).
set(gtest_force_shared_crt OFF CACHE BOOL "" FORCE)
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(BUILD_GMOCK ON CACHE BOOL "" FORCE)
set(GOOGLETEST_SOURCE_DIR /usr/src/googletest CACHE PATH "GoogleTest sources shipped by the googletest package")
add_subdirectory(${GOOGLETEST_SOURCE_DIR} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
# GoogleTest's port settings for the win32 thread model (tests/gtest-custom), ahead of its own
# empty ones, for GoogleTest and for every test that includes its headers.
target_include_directories(gtest BEFORE PUBLIC ${CMAKE_SOURCE_DIR}/tests/gtest-custom)
# GoogleTest's own sources are not held to our warning rules.
foreach(t gtest gtest_main gmock gmock_main)
    if(TARGET ${t})
        target_compile_options(${t} PRIVATE -w)
    endif()
endforeach()

set(TARVOLO_WINE_PREFIX ${CMAKE_BINARY_DIR}/wineprefix)
if(CMAKE_SIZEOF_VOID_P EQUAL 8)
    set(TARVOLO_WINEARCH win64)
else()
    set(TARVOLO_WINEARCH win32)
endif()
set(TARVOLO_PREFIX_KEEPER ${CMAKE_BINARY_DIR}/tools/prefix-keeper/prefix_keeper.exe)
configure_file(${CMAKE_SOURCE_DIR}/tools/wine-exec.sh.in ${CMAKE_BINARY_DIR}/wine-exec.sh @ONLY
               FILE_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_BINARY_DIR}/wine-exec.sh CACHE FILEPATH "" FORCE)
# The Linux program that plays network devices for the NETNS tests (tools/tun-driver).
set(TARVOLO_TUN_DRIVER ${CMAKE_BINARY_DIR}/tools/tun-driver/tun-driver)

set(TARVOLO_LOCALE_de LANG=de_DE.UTF-8 LC_ALL=de_DE.UTF-8)
set(TARVOLO_LOCALE_en LANG=en_US.UTF-8 LC_ALL=en_US.UTF-8)

# tarvolo_add_gtest(<name> SOURCES ... [LIBS ...] [LOCALES de en] [ENVIRONMENT VAR=value ...]
#                   [RESOURCE_LOCK lock ...] [OWN_PREFIX] [NETNS] [RUN_SERIAL] [TIMEOUT s])
# Builds the test exe and runs it as one CTest test per user locale, so that Wine starts once
# for all its cases; a failing case's name and output stand in CTest's log.
# RESOURCE_LOCK keeps tests that share registry keys or files from running at the same time;
# OWN_PREFIX gives the exe a Wine prefix of its own (its own registry and wineserver);
# NETNS runs it, with a prefix of its own, in a network namespace of its own with the tun driver
# beside it (tools/netns-run.sh), and fails where no namespace can be made;
# RUN_SERIAL keeps every other test from running at the same time. With LOCALES the exe runs
# once per user locale, named <locale>.<name>; without, it runs under German settings.
function(tarvolo_add_gtest name)
    cmake_parse_arguments(T "OWN_PREFIX;NETNS;RUN_SERIAL" "TIMEOUT" "SOURCES;LIBS;LOCALES;ENVIRONMENT;RESOURCE_LOCK" ${ARGN})
    add_executable(${name} ${T_SOURCES} ${CMAKE_SOURCE_DIR}/tests/support/CrtTimeZone.cpp)
    target_link_libraries(${name} PRIVATE ${T_LIBS} GTest::gmock GTest::gtest_main)
    set(prefixed TRUE)
    if(NOT T_LOCALES)
        set(T_LOCALES de)
        set(prefixed FALSE)
    endif()
    set(options ENVIRONMENT ${T_ENVIRONMENT} TIMEOUT ${T_TIMEOUT} RESOURCE_LOCK ${T_RESOURCE_LOCK})
    foreach(flag OWN_PREFIX NETNS RUN_SERIAL)
        if(T_${flag})
            list(APPEND options ${flag})
        endif()
    endforeach()
    foreach(loc ${T_LOCALES})
        if(prefixed)
            tarvolo_run_gtest(${name} NAME ${loc}.${name} LOCALE ${loc} ${options})
        else()
            tarvolo_run_gtest(${name} NAME ${name} LOCALE ${loc} ${options})
        endif()
    endforeach()
endfunction()

# tarvolo_run_gtest(<target> NAME <test name> LOCALE de|en [FILTER pattern] [ENVIRONMENT ...]
#                   [RESOURCE_LOCK ...] [OWN_PREFIX] [NETNS] [RUN_SERIAL] [TIMEOUT s])
# One more run of a test exe, for example a subset of its cases under another time zone.
function(tarvolo_run_gtest target)
    cmake_parse_arguments(T "OWN_PREFIX;NETNS;RUN_SERIAL" "NAME;LOCALE;FILTER;TIMEOUT" "ENVIRONMENT;RESOURCE_LOCK" ${ARGN})
    if(NOT T_TIMEOUT)
        set(T_TIMEOUT 300)
    endif()
    set(args)
    if(T_FILTER)
        set(args --gtest_filter=${T_FILTER})
    endif()
    set(env ${TARVOLO_LOCALE_${T_LOCALE}} ${T_ENVIRONMENT})
    set(command ${CMAKE_CROSSCOMPILING_EMULATOR})
    if(T_NETNS)
        # The namespace holds the prefix's wineserver and services: a shared prefix would move
        # every other test's server into it.
        set(T_OWN_PREFIX TRUE)
        add_dependencies(${target} tun_driver)
        set(command bash ${CMAKE_SOURCE_DIR}/tools/netns-run.sh ${TARVOLO_TUN_DRIVER} ${command})
    endif()
    if(T_OWN_PREFIX)
        list(APPEND env TARVOLO_WINEPREFIX=${CMAKE_BINARY_DIR}/wineprefix-${T_NAME})
    endif()
    add_test(NAME ${T_NAME}
             COMMAND ${command} $<TARGET_FILE:${target}> ${args}
             WORKING_DIRECTORY $<TARGET_FILE_DIR:${target}>)
    set_tests_properties(${T_NAME} PROPERTIES ENVIRONMENT "${env}" TIMEOUT ${T_TIMEOUT})
    if(T_RESOURCE_LOCK)
        set_tests_properties(${T_NAME} PROPERTIES RESOURCE_LOCK "${T_RESOURCE_LOCK}")
    endif()
    if(T_RUN_SERIAL)
        set_tests_properties(${T_NAME} PROPERTIES RUN_SERIAL TRUE)
    endif()
endfunction()
