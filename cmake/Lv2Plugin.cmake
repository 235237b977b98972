# Quavix as an LV2 plug-in: the bundle quavix.lv2 beside quavix.so. The same
# headless effect as quavix_core, behind the framework's LV2 adapter, and the
# VST panel behind the toolkit's LV2 panel adapter in a binary of its own, so
# that the processing never loads X11; the Turtle files describe both, written
# by the build from the templates in resources/lv2 and the parameter table.
#
# The bundle needs only the LV2 headers; the test host and the benchmark load
# it through lilv, which only make test installs.
pkg_check_modules(LV2 IMPORTED_TARGET lv2)
if(NOT TARGET PkgConfig::LILV)
    pkg_check_modules(LILV IMPORTED_TARGET lilv-0)
endif()
if(NOT LV2_FOUND)
    message(STATUS "quavix.lv2 not built: the LV2 headers are missing (make setup installs them)")
    return()
endif()

# A host that finds a bundle loads it whole, so the one in QUAVIX_DIST_DIR is
# never half built: the binaries and Turtle files are made in a staging
# folder, and the complete bundle replaces the published one in one rename.
set(LV2_BUNDLE_DIR ${QUAVIX_DIST_DIR}/quavix.lv2)
set(LV2_STAGE_DIR ${CMAKE_BINARY_DIR}/lv2-stage/quavix.lv2)
# The URI, for the tests that name it to a host: QuavixConfig.h says it.
file(STRINGS ${CMAKE_SOURCE_DIR}/quavix/QuavixConfig.h LV2_URI REGEX "^#define QUAVIX_LV2_URI ")
string(REGEX REPLACE "^#define QUAVIX_LV2_URI \"([^\"]+)\".*" "\\1" LV2_URI "${LV2_URI}")
set(FRAMEWORK_LV2_SOURCES ${CMAKE_SOURCE_DIR}/framework/lv2/Lv2Adapter.cpp)
set(QUAVIX_LV2_SOURCES ${CMAKE_SOURCE_DIR}/quavix/lv2/QuavixLv2.cpp)
set(LV2_VERSION_SCRIPT ${CMAKE_SOURCE_DIR}/framework/lv2/lv2.map)

add_library(quavix_lv2 MODULE ${FRAMEWORK_SOURCES} ${QUAVIX_EFFECT_SOURCES} ${FRAMEWORK_LV2_SOURCES}
    ${QUAVIX_LV2_SOURCES})
target_link_libraries(quavix_lv2 PRIVATE PkgConfig::LV2)
set_target_properties(quavix_lv2 PROPERTIES OUTPUT_NAME quavix_dsp LIBRARY_OUTPUT_DIRECTORY ${LV2_STAGE_DIR})
link_as_plugin_binary(quavix_lv2 ${LV2_VERSION_SCRIPT})
# The Turtle files, filled from the code that describes the same plug-in: the
# control ports from the parameter table, the URI, the port numbers and the
# version from where the adapter and the build take them.
add_executable(quavix_turtle ${CMAKE_SOURCE_DIR}/quavix/lv2/QuavixTurtle.cpp ${QUAVIX_LV2_SOURCES})
set(LV2_TURTLE_FILES "")
foreach(turtle manifest.ttl quavix.ttl)
    add_custom_command(OUTPUT ${LV2_STAGE_DIR}/${turtle}
        COMMAND ${CMAKE_COMMAND} -E make_directory ${LV2_STAGE_DIR}
        COMMAND quavix_turtle ${CMAKE_SOURCE_DIR}/resources/lv2/${turtle}.in ${LV2_STAGE_DIR}/${turtle}
        DEPENDS quavix_turtle ${CMAKE_SOURCE_DIR}/resources/lv2/${turtle}.in
        COMMENT "Writing ${turtle} from the parameter table")
    list(APPEND LV2_TURTLE_FILES ${LV2_STAGE_DIR}/${turtle})
endforeach()

# The panel: the editor's layers over X11 and cairo, without the effect,
# drawing the adapter's stand-in. Built with the editor only.
set(LV2_UI_VERSION_SCRIPT ${CMAKE_SOURCE_DIR}/toolkit/lv2/lv2ui.map)
if(QUAVIX_EDITOR)
    add_library(quavix_lv2_ui MODULE ${CMAKE_SOURCE_DIR}/framework/EffectBase.cpp
        ${CMAKE_SOURCE_DIR}/framework/ExtendedEffectBase.cpp ${CMAKE_SOURCE_DIR}/framework/ValueText.cpp
        ${TOOLKIT_SOURCES} ${X11_PLATFORM_SOURCES} ${QUAVIX_PANEL_SOURCES} ${QUAVIX_READOUT_SOURCES} ${EMBEDDED_BITMAPS}
        ${CMAKE_SOURCE_DIR}/toolkit/lv2/Lv2UiAdapter.cpp ${QUAVIX_LV2_SOURCES}
        ${CMAKE_SOURCE_DIR}/quavix/lv2/QuavixLv2Ui.cpp)
    # Xlib's and cairo's headers only: the panel loads both when it opens.
    target_include_directories(quavix_lv2_ui PRIVATE $<TARGET_PROPERTY:PkgConfig::X11,INTERFACE_INCLUDE_DIRECTORIES>
        $<TARGET_PROPERTY:PkgConfig::CAIRO,INTERFACE_INCLUDE_DIRECTORIES>)
    target_link_libraries(quavix_lv2_ui PRIVATE PkgConfig::LV2 ${CMAKE_DL_LIBS})
    set_target_properties(quavix_lv2_ui PROPERTIES OUTPUT_NAME quavix_ui LIBRARY_OUTPUT_DIRECTORY ${LV2_STAGE_DIR})
    link_as_plugin_binary(quavix_lv2_ui ${LV2_UI_VERSION_SCRIPT})
    # The embedded bitmaps are generated once, for the effect's layer first.
    add_dependencies(quavix_lv2_ui quavix_effect)
else()
    message(WARNING "quavix_ui.so not built: this build has no editor (QUAVIX_EDITOR)")
endif()

# Published only whole: a bundle whose manifest names a panel it lacks is
# not a bundle, so a build without the editor publishes none.
if(TARGET quavix_lv2_ui)
    set(LV2_PUBLISHED ${CMAKE_BINARY_DIR}/lv2-stage/published.stamp)
    add_custom_command(OUTPUT ${LV2_PUBLISHED}
        COMMAND ${CMAKE_COMMAND} -DSTAGE=${LV2_STAGE_DIR} -DDESTINATION=${LV2_BUNDLE_DIR}
            -P ${CMAKE_SOURCE_DIR}/cmake/PublishBundle.cmake
        COMMAND ${CMAKE_COMMAND} -E touch ${LV2_PUBLISHED}
        DEPENDS quavix_lv2 quavix_lv2_ui $<TARGET_FILE:quavix_lv2> $<TARGET_FILE:quavix_lv2_ui> ${LV2_TURTLE_FILES}
            ${CMAKE_SOURCE_DIR}/cmake/PublishBundle.cmake
        COMMENT "Publishing the complete quavix.lv2 in ${QUAVIX_DIST_DIR}")
    add_custom_target(quavix_lv2_bundle ALL DEPENDS ${LV2_PUBLISHED})
endif()
if(NOT LILV_FOUND)
    message(STATUS "the LV2 tests and benchmark not built: lilv is missing (make setup installs it)")
    return()
endif()

# The test loads the bundle through the host tool's LV2 host, as LV2 hosts
# do, and runs the linked VST effect beside it.
add_library(quavix_lv2_test_support STATIC ${QUAVIX_LV2_SOURCES})
target_link_libraries(quavix_lv2_test_support PUBLIC quavix_host_parts PkgConfig::LV2)
add_executable(lv2_host_test ${CMAKE_SOURCE_DIR}/tests/lv2/lv2_host_test.cpp)
target_link_libraries(lv2_host_test quavix_lv2_test_support quavix_core gtest_main)
add_dependencies(lv2_host_test quavix_lv2_bundle)
add_test(NAME lv2_host_test COMMAND lv2_host_test)
set_tests_properties(lv2_host_test PROPERTIES ENVIRONMENT "QUAVIX_LV2_BUNDLE=${LV2_BUNDLE_DIR}/" TIMEOUT 300)


# The bundle sounds as quavix.so, to the bit, through quavix-host --compare's
# stimulus: noise, silence, impulses, varying blocks, parameter changes and
# controller sweeps.
add_test(NAME lv2_sounds_as_vst COMMAND quavix-host --compare $<TARGET_FILE:quavix> ${LV2_BUNDLE_DIR})
set_tests_properties(lv2_sounds_as_vst PROPERTIES PASS_REGULAR_EXPRESSION "compare: identical [0-9]+ samples"
    TIMEOUT 300)

# The panel in an X window of a test host, driven by XTest input, its port
# writes and port events checked (under Xvfb, as the X11 editor tests run).
if(TARGET quavix_lv2_ui)
    add_executable(lv2_ui_test ${CMAKE_SOURCE_DIR}/tests/lv2/lv2_ui_test.cpp)
    target_link_libraries(lv2_ui_test quavix_x11_test_support PkgConfig::LV2 ${CMAKE_DL_LIBS} gtest_main)
    add_dependencies(lv2_ui_test quavix_lv2_bundle)
    add_test(NAME lv2_ui_test COMMAND lv2_ui_test)
    set_tests_properties(lv2_ui_test PROPERTIES ENVIRONMENT "QUAVIX_LV2_BUNDLE=${LV2_BUNDLE_DIR}/" TIMEOUT 300)
endif()
