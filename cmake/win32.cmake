# Windows build, 32-bit (the shipped Pelk.exe) or 64-bit: Pelk.exe, its test twin
# PelkTest.exe (recording power layer), and the whole-program tests that drive
# PelkTest.exe under Wine of the same width.
enable_language(RC)
set(CMAKE_RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bin)
if(CMAKE_SIZEOF_VOID_P EQUAL 8)
  set(PELK_BUILD win64)
  set(PELK_MANIFEST_CPU amd64)
else()
  set(PELK_BUILD win32)
  set(PELK_MANIFEST_CPU x86)
endif()

# Nothing newer than Windows 2000 is called by accident; newer calls are looked up at run time.
add_compile_definitions(_WIN32_WINNT=0x0500 WINVER=0x0500 _WIN32_IE=0x0500)
# A function pointer cast to another calling convention or signature (a callback, a
# function looked up at run time) is an error: on 32-bit Windows it corrupts the stack.
set(PELK_WARNINGS -Wall -Wextra -Werror=return-type -Wno-missing-field-initializers -Werror=cast-function-type)
# The compiler does not see a calling convention in a cast on 32-bit Windows: function
# pointers are never cast in the sources, callbacks are passed as they are declared,
# and functions are looked up only through lookUpFunction (app/look_up.h), which
# checks the convention. A cast or a lookup elsewhere stops the configuration.
file(GLOB_RECURSE PELK_WIN_FILES ${CMAKE_SOURCE_DIR}/src/*_win.cpp ${CMAKE_SOURCE_DIR}/src/*.h)
list(REMOVE_ITEM PELK_WIN_FILES ${CMAKE_SOURCE_DIR}/src/app/look_up.h)
foreach(file ${PELK_WIN_FILES})
  file(STRINGS ${file} casts REGEX "GetProcAddress|(reinterpret_cast<|\\()[A-Z_]*(PROC|ROUTINE)[>)]|cast<[A-Za-z]*Proc>")
  if(casts)
    message(FATAL_ERROR "${file}: a function pointer cast or lookup outside lookUpFunction:\n${casts}")
  endif()
endforeach()

# Link-time optimisation keeps Pelk.exe near 120 KiB (near a third of it the icon's
# images for every scaling); the objects stay fat, so the test programs link them
# without it.
set(PELK_SMALL -Os -fno-exceptions -fno-rtti -fno-asynchronous-unwind-tables
               -ffunction-sections -fdata-sections -flto -ffat-lto-objects)
target_compile_options(pelk_core PRIVATE ${PELK_WARNINGS} ${PELK_SMALL})

# Every program is linked statically against the compiler's runtime: only system DLLs remain.
add_link_options(-static -static-libgcc -static-libstdc++)

file(GLOB SHELL_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/src/*/*_win.cpp)
list(FILTER SHELL_SOURCES EXCLUDE REGEX "/(main_win|power_calls_win)\\.cpp$|/setup/")
add_library(pelk_shell STATIC ${SHELL_SOURCES})
target_link_libraries(pelk_shell PUBLIC pelk_core comctl32 shell32 advapi32 gdi32 user32 kernel32)
target_compile_options(pelk_shell PRIVATE ${PELK_WARNINGS} ${PELK_SMALL})

# The one version number (project() in CMakeLists.txt) for the version record, the
# help page, the zip, the installer and its Add/Remove entry.
configure_file(${CMAKE_SOURCE_DIR}/src/resources/version.h.in ${CMAKE_BINARY_DIR}/generated/version.h @ONLY)
include_directories(${CMAKE_BINARY_DIR}/generated)
set(PELK_VERSION ${PROJECT_VERSION})
configure_file(${CMAKE_SOURCE_DIR}/docs/ReadMe.htm.in ${CMAKE_BINARY_DIR}/bin/ReadMe.htm @ONLY)

# The manifest names the processor the program is built for.
configure_file(${CMAKE_SOURCE_DIR}/src/resources/pelk.manifest.in ${CMAKE_BINARY_DIR}/generated/pelk.manifest @ONLY)
# The message table of the entries Pelk writes to the Windows event log, from their one
# table in the code: a tool built for this machine writes the message compiler's source,
# windmc (of the same binutils as windres) compiles it into the PelkEvents.bin that
# pelk.rc takes.
find_program(HOST_CXX NAMES c++ g++ REQUIRED)
get_filename_component(windres_name ${CMAKE_RC_COMPILER} NAME)
string(REGEX REPLACE "windres$" "windmc" windmc_name ${windres_name})
find_program(PELK_WINDMC NAMES ${windmc_name} windmc REQUIRED)
set(EVENTS_BIN ${CMAKE_BINARY_DIR}/generated/PelkEvents.bin)
set(EVENTS_SOURCES ${CMAKE_SOURCE_DIR}/src/settings/system_events.cpp ${CMAKE_SOURCE_DIR}/src/settings/system_events_main.cpp
                   ${CMAKE_SOURCE_DIR}/src/settings/policy_rules.cpp ${CMAKE_SOURCE_DIR}/src/app/text.cpp)
add_custom_command(OUTPUT ${EVENTS_BIN}
  COMMAND ${HOST_CXX} -std=c++17 -O1 -I${CMAKE_SOURCE_DIR}/src ${EVENTS_SOURCES} -o ${CMAKE_BINARY_DIR}/system_events
  COMMAND ${CMAKE_BINARY_DIR}/system_events ${CMAKE_BINARY_DIR}/generated/PelkEvents.mc
  COMMAND ${PELK_WINDMC} -A -h ${CMAKE_BINARY_DIR}/generated -r ${CMAKE_BINARY_DIR}/generated
          ${CMAKE_BINARY_DIR}/generated/PelkEvents.mc
  DEPENDS ${EVENTS_SOURCES} ${CMAKE_SOURCE_DIR}/src/settings/system_events.h VERBATIM)

set(PELK_RC ${CMAKE_SOURCE_DIR}/src/resources/pelk.rc)
set_source_files_properties(${PELK_RC} PROPERTIES OBJECT_DEPENDS
  "${CMAKE_SOURCE_DIR}/src/resources/pelk.ico;${CMAKE_BINARY_DIR}/generated/pelk.manifest;${CMAKE_SOURCE_DIR}/src/resources/resource.h;${EVENTS_BIN}")

function(pelk_program name power_layer)
  add_executable(${name} WIN32 ${CMAKE_SOURCE_DIR}/src/app/main_win.cpp ${power_layer} ${PELK_RC} ${EVENTS_BIN})
  target_link_libraries(${name} PRIVATE pelk_shell)
  target_compile_options(${name} PRIVATE ${PELK_WARNINGS} ${PELK_SMALL})
  target_link_options(${name} PRIVATE -mwindows -s -Wl,--gc-sections -flto -Os)
endfunction()
pelk_program(Pelk ${CMAKE_SOURCE_DIR}/src/power/power_calls_win.cpp)
pelk_program(PelkTest ${CMAKE_SOURCE_DIR}/tests/support/power_calls_recording_win.cpp)

# The custom actions of the Windows Installer package, at the package's width, exported
# under their plain names.
add_library(PelkSetup SHARED ${CMAKE_SOURCE_DIR}/src/setup/setup_actions_win.cpp)
set_target_properties(PelkSetup PROPERTIES PREFIX "")
target_include_directories(PelkSetup PRIVATE ${CMAKE_SOURCE_DIR}/src)
target_link_libraries(PelkSetup PRIVATE msi user32 advapi32 kernel32)
target_compile_options(PelkSetup PRIVATE ${PELK_WARNINGS} ${PELK_SMALL})
target_link_options(PelkSetup PRIVATE -s -Wl,--kill-at -Wl,--gc-sections -flto -Os)

# The release, in build/dist: the 32-bit zip, installer and Windows Installer package (one
# Pelk for every Windows), the 64-bit package (which winget and software distribution
# pick on 64-bit Windows) and the 64-bit zip for Windows without 32-bit support. The
# 64-bit build also makes an installer for 64-bit Windows from the same script, for its
# release test only. What the release holds is listed here, once.
set(DIST_DIR ${CMAKE_SOURCE_DIR}/build/dist)
set(PELK_DOWNLOAD_URL "https://github.com/orvenlit/pelk/releases/download/v${PELK_VERSION}/" CACHE STRING
    "Where the release's files are downloaded from (the winget manifests point there)")
# The package's UpgradeCode, the same for every version and width; the NSIS installer
# looks for it to replace a package, the winget manifests name it.
set(PELK_UPGRADE_GUID 8E70DD8A-21DD-4553-88C3-8D10601A5318)
set(PELK_UPGRADE_CODE "{${PELK_UPGRADE_GUID}}")
if(PELK_BUILD STREQUAL win64)
  set(DIST_ZIP ${DIST_DIR}/Pelk-${PELK_VERSION}-x64.zip)
  set(DIST_SETUP ${CMAKE_BINARY_DIR}/Pelk-${PELK_VERSION}-x64-setup.exe)
  set(DIST_MSI ${DIST_DIR}/Pelk-${PELK_VERSION}-x64.msi)
  set(SETUP_UNDER_TEST "..\\\\Pelk-${PELK_VERSION}-x64-setup.exe")
  set(MSI_UNDER_TEST "..\\\\..\\\\dist\\\\Pelk-${PELK_VERSION}-x64.msi")
  set(NSIS_TARGET -DX64)
  set(MSI_ARCH x64)
else()
  set(DIST_ZIP ${DIST_DIR}/Pelk-${PELK_VERSION}.zip)
  set(DIST_SETUP ${DIST_DIR}/Pelk-${PELK_VERSION}-setup.exe)
  set(DIST_MSI ${DIST_DIR}/Pelk-${PELK_VERSION}.msi)
  set(SETUP_UNDER_TEST "..\\\\..\\\\dist\\\\Pelk-${PELK_VERSION}-setup.exe")
  set(MSI_UNDER_TEST "..\\\\..\\\\dist\\\\Pelk-${PELK_VERSION}.msi")
  set(NSIS_TARGET)
  set(MSI_ARCH x86)
endif()
find_program(MAKENSIS makensis)
find_program(ZIP zip)
find_program(WIXL wixl)
set(DIST_OUTPUTS)
# The Group Policy templates, written by a tool built for this machine from the table of
# policy values the program reads: in each zip, and beside the package.
set(POLICY_DIR ${CMAKE_BINARY_DIR}/PolicyDefinitions)
set(POLICY_TEMPLATES ${POLICY_DIR}/Pelk.admx ${POLICY_DIR}/en-US/Pelk.adml)
set(POLICY_SOURCES ${CMAKE_SOURCE_DIR}/src/settings/policy_rules.cpp ${CMAKE_SOURCE_DIR}/src/settings/policy_templates.cpp
                   ${CMAKE_SOURCE_DIR}/src/settings/policy_templates_main.cpp)
add_custom_command(OUTPUT ${POLICY_TEMPLATES}
  COMMAND ${HOST_CXX} -std=c++17 -O1 -I${CMAKE_SOURCE_DIR}/src ${POLICY_SOURCES} -o ${CMAKE_BINARY_DIR}/policy_templates
  COMMAND ${CMAKE_COMMAND} -E make_directory ${POLICY_DIR}/en-US
  COMMAND ${CMAKE_BINARY_DIR}/policy_templates ${POLICY_TEMPLATES}
  DEPENDS ${POLICY_SOURCES} ${CMAKE_SOURCE_DIR}/src/settings/policy_rules.h VERBATIM)
if(ZIP)
  add_custom_command(OUTPUT ${DIST_ZIP}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${DIST_DIR}
    COMMAND ${CMAKE_COMMAND} -E rm -f ${DIST_ZIP}
    COMMAND ${ZIP} -j -q ${DIST_ZIP} $<TARGET_FILE:Pelk> ${CMAKE_BINARY_DIR}/bin/ReadMe.htm
    COMMAND ${CMAKE_COMMAND} -E chdir ${CMAKE_BINARY_DIR} ${ZIP} -q -r ${DIST_ZIP} PolicyDefinitions
    DEPENDS Pelk ${CMAKE_BINARY_DIR}/bin/ReadMe.htm ${POLICY_TEMPLATES} VERBATIM)
  list(APPEND DIST_OUTPUTS ${DIST_ZIP})
endif()
if(PELK_BUILD STREQUAL win32)
  add_custom_command(OUTPUT ${DIST_DIR}/PolicyDefinitions/Pelk.admx
    COMMAND ${CMAKE_COMMAND} -E copy_directory ${POLICY_DIR} ${DIST_DIR}/PolicyDefinitions
    DEPENDS ${POLICY_TEMPLATES} VERBATIM)
  list(APPEND DIST_OUTPUTS ${DIST_DIR}/PolicyDefinitions/Pelk.admx)
endif()
if(MAKENSIS)
  add_custom_command(OUTPUT ${DIST_SETUP}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${DIST_DIR}
    COMMAND ${MAKENSIS} -V2 -DVERSION=${PELK_VERSION} -DBIN=${CMAKE_BINARY_DIR}/bin -DOUTFILE=${DIST_SETUP}
            -DMSI_UPGRADE_CODE=${PELK_UPGRADE_CODE} ${NSIS_TARGET} ${CMAKE_SOURCE_DIR}/packaging/pelk.nsi
    DEPENDS Pelk ${CMAKE_BINARY_DIR}/bin/ReadMe.htm ${CMAKE_SOURCE_DIR}/packaging/pelk.nsi VERBATIM)
  list(APPEND DIST_OUTPUTS ${DIST_SETUP})
endif()
# The package of a version: its files gathered in a folder of their own (an empty
# DefSet.txt beside Pelk.exe would move the settings of a Pelk run from bin/), and a
# ProductCode derived from the version and the width, so that a rebuild of a version
# keeps its code and a package of another version has another. msibuild then writes what
# this wixl drops: LAUNCH among the secure properties, the upgrade of this version's
# other width (IncludeMaximum, attribute 768 with IncludeMinimum), and the commit flag of
# the NSIS takeover (512, over its deferred DLL action's 3137).
find_program(MSIBUILD msibuild)
function(pelk_msi output version)
  string(UUID code NAMESPACE ${PELK_UPGRADE_GUID} NAME "Pelk ${version} ${MSI_ARCH}" TYPE SHA1 UPPER)
  string(REGEX MATCH "^([0-9]+)\\.([0-9]+)" numbers ${version})
  set(files ${CMAKE_BINARY_DIR}/msi-files-${version})
  file(MAKE_DIRECTORY ${files})  # wixl takes the files' paths relative to the folder it runs in
  add_custom_command(OUTPUT ${output}
    COMMAND ${CMAKE_COMMAND} -E copy $<TARGET_FILE:Pelk> $<TARGET_FILE:PelkSetup> ${CMAKE_BINARY_DIR}/bin/ReadMe.htm
            ${CMAKE_SOURCE_DIR}/src/resources/pelk.ico ${files}
    COMMAND ${CMAKE_COMMAND} -E touch ${files}/DefSet.txt
    COMMAND ${WIXL} -a ${MSI_ARCH} -D Arch=${MSI_ARCH} -D Version=${version} -D Major=${CMAKE_MATCH_1}
            -D Minor=${CMAKE_MATCH_2} -D ProductCode={${code}} -D UpgradeCode=${PELK_UPGRADE_CODE} -D Bin=.
            -o ${output} ${CMAKE_SOURCE_DIR}/packaging/pelk.wxs
    COMMAND ${MSIBUILD} ${output}
      -q "UPDATE `Property` SET `Value` = 'LAUNCH;WIX_UPGRADE_DETECTED;WIX_DOWNGRADE_DETECTED' WHERE `Property` = 'SecureCustomProperties'"
      -q "DELETE FROM `Upgrade` WHERE `ActionProperty` = 'WIX_UPGRADE_DETECTED'"
      -q "INSERT INTO `Upgrade` (`UpgradeCode`, `VersionMin`, `VersionMax`, `Attributes`, `ActionProperty`) VALUES ('${PELK_UPGRADE_CODE}', '0.0.0', '${version}', 768, 'WIX_UPGRADE_DETECTED')"
      -q "UPDATE `CustomAction` SET `Type` = 3649 WHERE `Action` = 'TakeOverNsisPelk'"
    WORKING_DIRECTORY ${files} DEPENDS Pelk PelkSetup ${CMAKE_BINARY_DIR}/bin/ReadMe.htm ${CMAKE_SOURCE_DIR}/packaging/pelk.wxs VERBATIM)
endfunction()
if(WIXL)
  pelk_msi(${DIST_MSI} ${PELK_VERSION})
  list(APPEND DIST_OUTPUTS ${DIST_MSI})
endif()
add_custom_target(dist ALL DEPENDS ${DIST_OUTPUTS})
# The winget manifests list the files of both builds, so they are written once both have
# made theirs (make dist, make test), by this target of the 32-bit build.
if(PELK_BUILD STREQUAL win32)
  add_custom_target(winget COMMAND sh ${CMAKE_SOURCE_DIR}/scripts/winget-manifests.sh ${DIST_DIR} ${PELK_VERSION}
                                   ${PELK_DOWNLOAD_URL} ${PELK_UPGRADE_CODE} VERBATIM)
  add_dependencies(winget dist)
endif()

# What a 64-bit run cannot show is read from the 32-bit Pelk.exe itself: its format,
# subsystem and imports.
if(PELK_BUILD STREQUAL win32 AND NOT CMAKE_HOST_WIN32)
  add_test(NAME win32.Release.BuiltForWindows2000
           COMMAND sh ${CMAKE_SOURCE_DIR}/tests/program/windows2000.sh ${CMAKE_OBJDUMP} $<TARGET_FILE:Pelk>)
  add_test(NAME win32.Release.WingetManifests
           COMMAND sh ${CMAKE_SOURCE_DIR}/tests/program/winget.sh ${DIST_DIR} ${PELK_VERSION})
endif()

# The tests run under Wine on Debian, with GoogleTest from its sources; a build on
# Windows itself makes Pelk.exe and the release without them.
if(CMAKE_HOST_WIN32 OR NOT EXISTS /usr/src/googletest)
  return()
endif()

# Wine of this build's width runs every test program through one wrapper that pins the
# prefix and quiets Wine. Whether it runs on this machine is found out by starting it:
# a kernel without 32-bit support refuses the 32-bit loader. The answer, "yes" or why
# not, is left in wine-status for the test run to report.
if(PELK_BUILD STREQUAL win64)
  set(PELK_WINEARCH win64)
  set(PELK_WINE_LOADER /usr/lib/wine/wine64)
else()
  set(PELK_WINEARCH win32)
  set(PELK_WINE_LOADER /usr/lib/wine/wine)
endif()
execute_process(COMMAND sh ${CMAKE_SOURCE_DIR}/scripts/wine-probe.sh ${PELK_WINE_LOADER}
                OUTPUT_VARIABLE PELK_WINE_STATUS OUTPUT_STRIP_TRAILING_WHITESPACE)
file(WRITE ${CMAKE_BINARY_DIR}/wine-status "${PELK_WINE_STATUS}\n")
set(WINE_RUN ${CMAKE_BINARY_DIR}/wine-run)
configure_file(${CMAKE_SOURCE_DIR}/scripts/wine-run.in ${WINE_RUN} @ONLY
               FILE_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
set(CMAKE_CROSSCOMPILING_EMULATOR ${WINE_RUN})

# GoogleTest from the Debian sources, cross-compiled.
set(gtest_force_shared_crt OFF CACHE BOOL "" FORCE)
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)

# The whole program as a process: PelkTest.exe driven through its window and files.
file(GLOB PROGRAM_TESTS CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/program/*.cpp)
add_executable(program_tests ${PROGRAM_TESTS})
target_include_directories(program_tests PRIVATE ${CMAKE_SOURCE_DIR}/src)
target_compile_definitions(program_tests PRIVATE "PELK_SETUP_UNDER_TEST=\"${SETUP_UNDER_TEST}\""
  "PELK_MSI_UNDER_TEST=\"${MSI_UNDER_TEST}\"" "PELK_OLDER_MSI=\"..\\\\Pelk-1.3.9.msi\""
  "PELK_OLDER_SETUP=\"..\\\\Pelk-1.3-setup.exe\"" "PELK_UPGRADE_CODE=\"${PELK_UPGRADE_CODE}\"")
# The tray icon's digits are drawn here as the program draws them.
target_sources(program_tests PRIVATE ${CMAKE_SOURCE_DIR}/src/tray/tray_digits_win.cpp)
target_link_libraries(program_tests PRIVATE pelk_core gtest_main msi psapi shlwapi shell32 advapi32 gdi32 user32 kernel32)
target_compile_options(program_tests PRIVATE ${PELK_WARNINGS})
# An older package and an older installer of the same files, which the release test
# upgrades, or sees refused over this version.
pelk_msi(${CMAKE_BINARY_DIR}/Pelk-1.3.9.msi 1.3.9)
add_custom_command(OUTPUT ${CMAKE_BINARY_DIR}/Pelk-1.3-setup.exe
  COMMAND ${MAKENSIS} -V2 -DVERSION=1.3 -DBIN=${CMAKE_BINARY_DIR}/bin -DOUTFILE=${CMAKE_BINARY_DIR}/Pelk-1.3-setup.exe
          -DMSI_UPGRADE_CODE=${PELK_UPGRADE_CODE} ${NSIS_TARGET} ${CMAKE_SOURCE_DIR}/packaging/pelk.nsi
  DEPENDS Pelk ${CMAKE_SOURCE_DIR}/packaging/pelk.nsi VERBATIM)
add_custom_target(older_msi DEPENDS ${CMAKE_BINARY_DIR}/Pelk-1.3.9.msi ${CMAKE_BINARY_DIR}/Pelk-1.3-setup.exe)
add_dependencies(program_tests Pelk PelkTest dist older_msi)
# Built always; run only where this Wine starts, each test in a lane of the test run.
if(PELK_WINE_STATUS STREQUAL "yes")
  gtest_discover_tests(program_tests TEST_PREFIX "${PELK_BUILD}." DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 120
                       TEST_LIST pelk_program_tests PROPERTIES TIMEOUT 180)
  configure_file(${CMAKE_SOURCE_DIR}/cmake/test-lanes.cmake.in ${CMAKE_BINARY_DIR}/test-lanes.cmake @ONLY)
  set_property(DIRECTORY APPEND PROPERTY TEST_INCLUDE_FILES ${CMAKE_BINARY_DIR}/test-lanes.cmake)
endif()
