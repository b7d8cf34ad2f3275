# Native build: the portable core and its GoogleTest tests (optionally sanitized),
# plus the fuzz targets when the compiler is clang.
option(PELK_SANITIZE "Build with AddressSanitizer and UndefinedBehaviorSanitizer" OFF)
option(PELK_FUZZ "Build the libFuzzer targets (clang only)" OFF)

set(PELK_WARNINGS -Wall -Wextra -Werror=return-type -Wno-missing-field-initializers)
target_compile_options(pelk_core PRIVATE ${PELK_WARNINGS})

if(PELK_SANITIZE)
  set(SAN_FLAGS -fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
  add_compile_options(${SAN_FLAGS})
  add_link_options(${SAN_FLAGS})
endif()

find_package(GTest REQUIRED)
file(GLOB UNIT_TESTS CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/unit/*.cpp)
add_executable(unit_tests ${UNIT_TESTS})
target_link_libraries(unit_tests PRIVATE pelk_core GTest::gtest_main)
target_compile_options(unit_tests PRIVATE ${PELK_WARNINGS})
# The help, whose tables the tests hold to the code's.
target_compile_definitions(unit_tests PRIVATE PELK_HELP="${CMAKE_SOURCE_DIR}/docs/ReadMe.htm.in")
if(PELK_SANITIZE)
  set(TEST_PREFIX "sanitize.")
else()
  set(TEST_PREFIX "native.")
endif()
gtest_discover_tests(unit_tests TEST_PREFIX ${TEST_PREFIX} DISCOVERY_TIMEOUT 60)

if(PELK_FUZZ AND CMAKE_CXX_COMPILER_ID MATCHES "Clang")
  file(GLOB FUZZ_TARGETS CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/fuzz/*.cpp)
  foreach(src ${FUZZ_TARGETS})
    get_filename_component(name ${src} NAME_WE)
    add_executable(${name} ${src})
    target_link_libraries(${name} PRIVATE pelk_core)
    target_compile_options(${name} PRIVATE -fsanitize=fuzzer)
    target_link_options(${name} PRIVATE -fsanitize=fuzzer)
    target_compile_options(pelk_core PRIVATE -fsanitize=fuzzer-no-link)
    # A bounded run on every test pass: it must find nothing. New inputs go to the build's
    # corpus; the inputs of past findings, kept under tests/fuzz/regressions, run first.
    set(corpus ${CMAKE_BINARY_DIR}/fuzz-corpus-${name} ${CMAKE_SOURCE_DIR}/tests/fuzz/regressions/${name})
    add_test(NAME fuzz.${name}
             COMMAND ${name} -max_total_time=10 -max_len=12000 -timeout=10 -rss_limit_mb=2048 ${corpus})
    file(MAKE_DIRECTORY ${CMAKE_BINARY_DIR}/fuzz-corpus-${name})
  endforeach()
endif()

# The Group Policy templates come from the table of policy values the program reads;
# xmllint sees that they are well-formed (the unit tests check their cross-references).
add_executable(policy_templates ${CMAKE_SOURCE_DIR}/src/settings/policy_templates_main.cpp)
target_link_libraries(policy_templates PRIVATE pelk_core)
add_test(NAME ${TEST_PREFIX}PolicyTemplates.WellFormed
         COMMAND sh -c "$<TARGET_FILE:policy_templates> Pelk.admx Pelk.adml && xmllint --noout Pelk.admx Pelk.adml")

# The help lists the entries of the Windows event log as their table has them, row by row:
# the tool that writes the message table's source writes the rows too.
add_executable(system_events ${CMAKE_SOURCE_DIR}/src/settings/system_events_main.cpp)
target_link_libraries(system_events PRIVATE pelk_core)
add_test(NAME ${TEST_PREFIX}SystemEvents.HelpListsTheTable
         COMMAND sh -c "$<TARGET_FILE:system_events> events.mc rows.txt && sed -n '/<h2 id=\"eventlog\">/,/<\\/table>/p' \
           ${CMAKE_SOURCE_DIR}/docs/ReadMe.htm.in | grep -o '<tr><td>[0-9]*</td><td>[A-Za-z]*</td><td>[^<]*</td>' | diff rows.txt -")
