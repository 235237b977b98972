# quavix.so and the Linux host tool, with the benchmark and the reference
# digest beside them.
set(QUAVIX_DIST_DIR ${CMAKE_BINARY_DIR}/dist CACHE PATH "where quavix.so and quavix-host land")

# The C++ runtime is linked in and hidden by the version script: a host
# built against an older libstdc++ (or another plug-in's copy) then neither
# refuses to load us nor hands us its own runtime's symbols.
add_library(quavix SHARED $<TARGET_OBJECTS:quavix_core> ${CMAKE_SOURCE_DIR}/host/SharedObjectEntry.cpp)
set_target_properties(quavix PROPERTIES PREFIX "" OUTPUT_NAME quavix
    LIBRARY_OUTPUT_DIRECTORY ${QUAVIX_DIST_DIR}
    CXX_VISIBILITY_PRESET hidden VISIBILITY_INLINES_HIDDEN ON
    LINK_DEPENDS ${CMAKE_SOURCE_DIR}/host/quavix.map)
target_link_options(quavix PRIVATE -static-libstdc++ -static-libgcc -Wl,--no-undefined -Wl,-z,defs
    -Wl,--version-script=${CMAKE_SOURCE_DIR}/host/quavix.map)

# The host tool: its portable parts, the Linux parts, and main.
file(GLOB HOST_TOOL_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tools/*.cpp ${CMAKE_SOURCE_DIR}/tools/linux/*.cpp)
list(FILTER HOST_TOOL_SOURCES EXCLUDE REGEX "/main\\.cpp$")
add_library(quavix_host_parts STATIC ${HOST_TOOL_SOURCES})
target_include_directories(quavix_host_parts SYSTEM PUBLIC /usr/include/stb)
target_link_libraries(quavix_host_parts ${CMAKE_DL_LIBS} pthread)
add_executable(quavix-host ${CMAKE_SOURCE_DIR}/tools/main.cpp)
set_target_properties(quavix-host PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${QUAVIX_DIST_DIR})
target_link_libraries(quavix-host quavix_host_parts)

file(GLOB BENCH_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/bench/*.cpp)
add_executable(quavix_bench ${BENCH_SOURCES})
target_link_libraries(quavix_bench quavix_core ${CMAKE_DL_LIBS})
file(GLOB REFERENCE_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/reference/*.cpp)
add_executable(quavix_reference ${REFERENCE_SOURCES})
target_link_libraries(quavix_reference quavix_core ${CMAKE_DL_LIBS})

# The shared object, loaded as a host loads it, renders what the linked
# effect renders, to the bit.
add_test(NAME shared_object_digest
    COMMAND ${CMAKE_COMMAND} -DREFERENCE=$<TARGET_FILE:quavix_reference> -DPLUGIN=$<TARGET_FILE:quavix>
    -P ${CMAKE_SOURCE_DIR}/cmake/CompareDigests.cmake)

file(GLOB LINUX_TESTS CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/linux/*_test.cpp)
foreach(test_source ${LINUX_TESTS})
    get_filename_component(test_name ${test_source} NAME_WE)
    add_executable(${test_name} ${test_source})
    target_link_libraries(${test_name} quavix_host_parts quavix_core gtest_main)
    add_dependencies(${test_name} quavix quavix-host)
    add_test(NAME ${test_name} COMMAND ${test_name})
    set_tests_properties(${test_name} PROPERTIES ENVIRONMENT
        "QUAVIX_PLUGIN=$<TARGET_FILE:quavix>;QUAVIX_HOST=$<TARGET_FILE:quavix-host>" TIMEOUT 300)
endforeach()

# --- The host tool's test: a plug-in that misbehaves on request ---
# tests/linux/TestPlugin.cpp crashes or has no inputs as the test asks;
# the test finds it through QUAVIX_TEST_PLUGIN.
if(TARGET host_tool_test)
    add_library(quavix_test_plugin MODULE ${CMAKE_SOURCE_DIR}/tests/linux/TestPlugin.cpp)
    set_target_properties(quavix_test_plugin PROPERTIES PREFIX "")
    add_dependencies(host_tool_test quavix_test_plugin)
    set_property(TEST host_tool_test APPEND PROPERTY ENVIRONMENT
        "QUAVIX_TEST_PLUGIN=$<TARGET_FILE:quavix_test_plugin>")
endif()
# The validator's test plants its faults in the same plug-in.
if(TARGET validator_test AND TARGET quavix_test_plugin)
    add_dependencies(validator_test quavix_test_plugin)
    set_property(TEST validator_test APPEND PROPERTY ENVIRONMENT
        "QUAVIX_TEST_PLUGIN=$<TARGET_FILE:quavix_test_plugin>")
endif()

# --- Response pictures: cairo draws them, in the Linux host tool only ---
# The response test measures the pass-through test plug-in too.
find_package(PkgConfig REQUIRED)
pkg_check_modules(CAIRO REQUIRED IMPORTED_TARGET cairo)
target_link_libraries(quavix_host_parts PkgConfig::CAIRO)
if(TARGET response_test AND TARGET quavix_test_plugin)
    add_dependencies(response_test quavix_test_plugin)
    set_property(TEST response_test APPEND PROPERTY ENVIRONMENT
        "QUAVIX_TEST_PLUGIN=$<TARGET_FILE:quavix_test_plugin>")
endif()
