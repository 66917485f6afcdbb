# The release: tarvolo-<version>.zip in the build folder with tarvolo.exe, tarvolo-export.exe
# (once the build has it) and README.txt for Windows users, made by every build.

set(TARVOLO_RELEASE_ZIP ${CMAKE_BINARY_DIR}/tarvolo-${PROJECT_VERSION}.zip)
set(release_dir ${CMAKE_BINARY_DIR}/release)
set(release_readme ${CMAKE_SOURCE_DIR}/tools/release/README.txt)
find_program(TARVOLO_ZIP_PROGRAM zip REQUIRED)

# The export program, under whichever of the customary target names the build gives it.
set(export_target)
foreach(candidate tarvolo-export tarvolo_export)
    if(TARGET ${candidate})
        set(export_target ${candidate})
        break()
    endif()
endforeach()

# Shipped programs go without their debugging information.
set(release_files ${release_dir}/tarvolo.exe)
set(release_commands COMMAND ${CMAKE_STRIP} -o ${release_dir}/tarvolo.exe $<TARGET_FILE:tarvolo>)
if(export_target)
    list(APPEND release_files ${release_dir}/tarvolo-export.exe)
    list(APPEND release_commands
         COMMAND ${CMAKE_STRIP} -o ${release_dir}/tarvolo-export.exe $<TARGET_FILE:${export_target}>)
endif()
list(APPEND release_files ${release_dir}/README.txt)

add_custom_command(OUTPUT ${TARVOLO_RELEASE_ZIP}
    COMMAND ${CMAKE_COMMAND} -E rm -rf ${release_dir} ${TARVOLO_RELEASE_ZIP}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${release_dir}
    ${release_commands}
    COMMAND ${CMAKE_COMMAND} -E copy ${release_readme} ${release_dir}/README.txt
    COMMAND ${TARVOLO_ZIP_PROGRAM} -q -j -X ${TARVOLO_RELEASE_ZIP} ${release_files}
    DEPENDS tarvolo ${export_target} ${release_readme}
    COMMENT "Packing ${TARVOLO_RELEASE_ZIP}"
    VERBATIM)
add_custom_target(release_zip ALL DEPENDS ${TARVOLO_RELEASE_ZIP})

# The Windows setup of the same files, beside the zip (tools/installer/tarvolo.nsi).
set(TARVOLO_SETUP_EXE ${CMAKE_BINARY_DIR}/tarvolo-setup-${PROJECT_VERSION}.exe)
set(setup_script ${CMAKE_SOURCE_DIR}/tools/installer/tarvolo.nsi)
find_program(TARVOLO_MAKENSIS_PROGRAM makensis REQUIRED)
# The 64-bit test build's setup is a 64-bit one too, so that it runs where its programs run.
set(setup_target)
if(CMAKE_SIZEOF_VOID_P EQUAL 8)
    set(setup_target "-XTarget amd64-unicode")
endif()
add_custom_command(OUTPUT ${TARVOLO_SETUP_EXE}
    COMMAND ${TARVOLO_MAKENSIS_PROGRAM} -V2 -INPUTCHARSET UTF8 ${setup_target} -DVERSION=${PROJECT_VERSION} -DRELEASE_DIR=${release_dir}
            -DOUTFILE=${TARVOLO_SETUP_EXE} ${setup_script}
    DEPENDS ${TARVOLO_RELEASE_ZIP} ${setup_script}
    COMMENT "Building ${TARVOLO_SETUP_EXE}"
    VERBATIM)
add_custom_target(release_setup ALL DEPENDS ${TARVOLO_SETUP_EXE})

if(BUILD_TESTING)
    set(expected tarvolo.exe README.txt)
    if(export_target)
        list(APPEND expected tarvolo-export.exe)
    endif()
    add_test(NAME release.zip_holds_the_programs_and_the_readme
             COMMAND python3 ${CMAKE_SOURCE_DIR}/tests/release/check_release_zip.py
                     ${TARVOLO_RELEASE_ZIP} ${expected})
    # Install, upgrade while online, reinstall and uninstall in a Wine prefix of its own.
    add_test(NAME release.setup_installs_upgrades_and_uninstalls
             COMMAND bash ${CMAKE_SOURCE_DIR}/tests/release/setup_test.sh ${TARVOLO_SETUP_EXE}
                     ${release_dir} $<TARGET_FILE:dialup_sim_rasapi32> $<TARGET_FILE:dialup_sim_pdh>
                     ${CMAKE_SOURCE_DIR}/tools/dialup-sim/sim-state.sh)
    set_tests_properties(release.setup_installs_upgrades_and_uninstalls PROPERTIES
                         ENVIRONMENT "TARVOLO_WINEPREFIX=${CMAKE_BINARY_DIR}/wineprefix-release.setup"
                         TIMEOUT 240)
endif()
