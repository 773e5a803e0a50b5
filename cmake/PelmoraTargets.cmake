# Helpers shared by every folder: one library target per folder, one test
# executable per class or layer, all with the same strict warnings.

set(PELMORA_WARNINGS -Wall -Wextra -Wshadow -Wsuggest-override -Werror)

function(pelmora_strict target)
    target_compile_options(${target} PRIVATE ${PELMORA_WARNINGS})
endfunction()

# pelmora_library(NAME SOURCES ... DEPS ...)
function(pelmora_library name)
    cmake_parse_arguments(ARG "" "" "SOURCES;DEPS" ${ARGN})
    add_library(${name} STATIC ${ARG_SOURCES})
    target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
    target_link_libraries(${name} PUBLIC ${ARG_DEPS})
    set_target_properties(${name} PROPERTIES POSITION_INDEPENDENT_CODE ON)
    pelmora_strict(${name})
endfunction()

# pelmora_gtest(NAME SOURCES ... DEPS ... [ENV ...] [LABELS ...])
function(pelmora_gtest name)
    cmake_parse_arguments(ARG "" "" "SOURCES;DEPS;ENV;LABELS" ${ARGN})
    add_executable(${name} ${ARG_SOURCES})
    target_link_libraries(${name} PRIVATE ${ARG_DEPS} GTest::gtest GTest::gtest_main)
    pelmora_strict(${name})
    add_test(NAME ${name} COMMAND ${name})
    set_tests_properties(${name} PROPERTIES
        ENVIRONMENT "PELMORA_TEST_DATA=${PROJECT_SOURCE_DIR}/tests/data;PELMORA_TEST_TMP=${CMAKE_BINARY_DIR}/test-tmp;${ARG_ENV}"
        LABELS "${ARG_LABELS}")
endfunction()

# pelmora_qtest(NAME SOURCES ... DEPS ...): widget tests on the offscreen platform.
function(pelmora_qtest name)
    cmake_parse_arguments(ARG "" "" "SOURCES;DEPS;ENV" ${ARGN})
    add_executable(${name} ${ARG_SOURCES})
    target_link_libraries(${name} PRIVATE ${ARG_DEPS} Qt6::Test)
    set_target_properties(${name} PROPERTIES AUTOMOC ON)
    pelmora_strict(${name})
    add_test(NAME ${name} COMMAND ${name})
    set_tests_properties(${name} PROPERTIES
        ENVIRONMENT "QT_QPA_PLATFORM=offscreen;PELMORA_TEST_DATA=${PROJECT_SOURCE_DIR}/tests/data;PELMORA_TEST_TMP=${CMAKE_BINARY_DIR}/test-tmp;${ARG_ENV}"
        LABELS "widgets")
endfunction()
