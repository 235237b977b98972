# Every source of the plug-in, by layer, for every build: each build picks
# the layers it needs and the window system of its target. A layer links
# only to the layers below it:
#
#   framework  <-  toolkit  <-  window system (win32, x11 or stub)
#        ^            ^              ^
#        +------------+---- quavix --+
#
# scripts/check/layers.sh holds the includes to the same order.
set(SRC ${CMAKE_SOURCE_DIR})

# The plug-in framework: the interface record, effect and editor base
# classes, the entry point. The library entries of each system join only
# their plug-in binary.
set(FRAMEWORK_SOURCES
    ${SRC}/framework/EffectBase.cpp
    ${SRC}/framework/Entry.cpp
    ${SRC}/framework/ExtendedEffectBase.cpp
    ${SRC}/framework/ValueText.cpp)
set(FRAMEWORK_SHARED_OBJECT_ENTRY ${SRC}/framework/SharedObjectEntry.cpp)
# The CLAP adapter: a CLAP binary is the plug-in's layers with these instead
# of a VST entry name. The records' sizes are checked in every build.
set(FRAMEWORK_CLAP_SOURCES
    ${SRC}/framework/clap/ClapEffect.cpp
    ${SRC}/framework/clap/ClapEntry.cpp
    ${SRC}/framework/clap/ClapGui.cpp
    ${SRC}/framework/clap/ClapInstance.cpp
    ${SRC}/framework/clap/ClapInterfaceChecks.cpp
    ${SRC}/framework/clap/ClapParams.cpp
    ${SRC}/framework/clap/ClapPorts.cpp
    ${SRC}/framework/clap/ClapState.cpp)

# The toolkit: geometry, views and the frame, controls, the view-tree editor,
# and what every window system does alike.
set(TOOLKIT_SOURCES
    ${SRC}/toolkit/controls/CControl.cpp
    ${SRC}/toolkit/controls/CParamDisplay.cpp
    ${SRC}/toolkit/controls/CRockerSwitch.cpp
    ${SRC}/toolkit/controls/CSlider.cpp
    ${SRC}/toolkit/drawing/CBitmap.cpp
    ${SRC}/toolkit/drawing/CDrawContext.cpp
    ${SRC}/toolkit/drawing/COffscreenContext.cpp
    ${SRC}/toolkit/drawing/PngPicture.cpp
    ${SRC}/toolkit/drawing/Resampling.cpp
    ${SRC}/toolkit/drawing/SharedPictures.cpp
    ${SRC}/toolkit/editor/ViewTreeEditor.cpp
    ${SRC}/toolkit/geometry/CRect.cpp
    ${SRC}/toolkit/platform/DragEvent.cpp
    ${SRC}/toolkit/platform/FrameWindow.cpp
    ${SRC}/toolkit/platform/ModuleInstance.cpp
    ${SRC}/toolkit/platform/MouseButtons.cpp
    ${SRC}/toolkit/views/CFrame.cpp
    ${SRC}/toolkit/views/CFrameDrop.cpp
    ${SRC}/toolkit/views/CFrameGeometry.cpp
    ${SRC}/toolkit/views/CView.cpp
    ${SRC}/toolkit/views/CViewContainer.cpp)

# The window systems, each behind the toolkit's platform interface.
set(WIN32_PLATFORM_SOURCES
    ${SRC}/platform/win32/CBitmap.cpp
    ${SRC}/platform/win32/CDragContainer.cpp
    ${SRC}/platform/win32/CDrawContext.cpp
    ${SRC}/platform/win32/CDropTarget.cpp
    ${SRC}/platform/win32/COffscreenContext.cpp
    ${SRC}/platform/win32/Cursor.cpp
    ${SRC}/platform/win32/DisplayScale.cpp
    ${SRC}/platform/win32/DropTargetRegistration.cpp
    ${SRC}/platform/win32/FrameWindow.cpp
    ${SRC}/platform/win32/ImageFunctions.cpp
    ${SRC}/platform/win32/ModuleInstance.cpp
    ${SRC}/platform/win32/MouseButtons.cpp
    ${SRC}/platform/win32/SystemServices.cpp
    ${SRC}/platform/win32/WindowGeometry.cpp)
set(WIN32_LIBRARY_ENTRY ${SRC}/platform/win32/DllMain.cpp)
set(X11_PLATFORM_SOURCES
    ${SRC}/platform/x11/CBitmap.cpp
    ${SRC}/platform/x11/CDragContainer.cpp
    ${SRC}/platform/x11/CDrawContext.cpp
    ${SRC}/platform/x11/CDropTarget.cpp
    ${SRC}/platform/x11/DisplayScale.cpp
    ${SRC}/platform/x11/COffscreenContext.cpp
    ${SRC}/platform/x11/Cursor.cpp
    ${SRC}/platform/x11/DropTargetRegistration.cpp
    ${SRC}/platform/x11/FrameWindow.cpp
    ${SRC}/platform/x11/ModuleInstance.cpp
    ${SRC}/platform/x11/MouseButtons.cpp
    ${SRC}/platform/x11/SystemServices.cpp
    ${SRC}/platform/x11/WindowGeometry.cpp
    ${SRC}/platform/x11/WindowLibraries.cpp
    ${SRC}/platform/x11/X11Windows.cpp)
# Windows, devices and pictures as records in memory, for the toolkit's
# tests: nothing reaches a display.
set(STUB_PLATFORM_SOURCES
    ${SRC}/platform/stub/CBitmap.cpp
    ${SRC}/platform/stub/CDragContainer.cpp
    ${SRC}/platform/stub/CDrawContext.cpp
    ${SRC}/platform/stub/COffscreenContext.cpp
    ${SRC}/platform/stub/DropTargetRegistration.cpp
    ${SRC}/platform/stub/FrameWindow.cpp
    ${SRC}/platform/stub/ModuleInstance.cpp
    ${SRC}/platform/stub/Pointer.cpp
    ${SRC}/platform/stub/StubWindows.cpp
    ${SRC}/platform/stub/SystemServices.cpp
    ${SRC}/platform/stub/WindowGeometry.cpp)

# Quavix itself: the effect with its filter, its identity, its panel. The
# read-outs serve the effect and the panel both.
set(QUAVIX_READOUT_SOURCES ${SRC}/quavix/ParameterText.cpp)
set(QUAVIX_EFFECT_SOURCES
    ${SRC}/quavix/EditorFactory.cpp
    ${SRC}/quavix/Filter.cpp
    ${QUAVIX_READOUT_SOURCES})
set(QUAVIX_PANEL_SOURCES ${SRC}/quavix/QuavixEditor.cpp)
# Its identity and parameter ranges as CLAP hosts list them.
set(QUAVIX_CLAP_SOURCES ${SRC}/quavix/clap/QuavixClap.cpp ${SRC}/quavix/ReadOutValue.cpp)
set(QUAVIX_RESOURCE_SCRIPT ${SRC}/resources/quavix.rc)

# The panel's pictures are PNG files decoded by Debian's stb_image, whose
# header is not ours to hold to our warnings.
set_source_files_properties(${SRC}/toolkit/drawing/PngPicture.cpp PROPERTIES COMPILE_OPTIONS "-isystem;/usr/include/stb")

# The plug-in's layers for one window system, each an object library that
# links only downward, and quavix_plugin, all of them in one static library
# for the test programs. With QUAVIX_EDITOR off the plug-in is headless and
# no toolkit or window system is compiled: hosts show generic controls.
#
#   add_plugin_layers(WINDOW_SYSTEM sources... [PANEL_RESOURCES sources...])
function(add_plugin_layers)
    cmake_parse_arguments(LAYERS "" "" "WINDOW_SYSTEM;PANEL_RESOURCES" ${ARGN})
    set(platform_sources ${LAYERS_WINDOW_SYSTEM})
    add_library(quavix_framework OBJECT ${FRAMEWORK_SOURCES})
    set(layers quavix_framework)
    if(QUAVIX_EDITOR)
        add_library(quavix_toolkit OBJECT ${TOOLKIT_SOURCES})
        target_link_libraries(quavix_toolkit PUBLIC quavix_framework)
        add_library(quavix_window_system OBJECT ${platform_sources})
        target_link_libraries(quavix_window_system PUBLIC quavix_toolkit)
        add_library(quavix_effect OBJECT ${QUAVIX_EFFECT_SOURCES} ${QUAVIX_PANEL_SOURCES} ${LAYERS_PANEL_RESOURCES})
        target_compile_definitions(quavix_effect PRIVATE QUAVIX_WITH_EDITOR=1)
        target_link_libraries(quavix_effect PUBLIC quavix_framework quavix_toolkit quavix_window_system)
        list(APPEND layers quavix_toolkit quavix_window_system quavix_effect)
    else()
        add_library(quavix_effect OBJECT ${QUAVIX_EFFECT_SOURCES})
        target_link_libraries(quavix_effect PUBLIC quavix_framework)
        list(APPEND layers quavix_effect)
    endif()
    set(objects "")
    foreach(layer ${layers})
        list(APPEND objects $<TARGET_OBJECTS:${layer}>)
    endforeach()
    add_library(quavix_plugin STATIC ${objects})
    target_link_libraries(quavix_plugin PUBLIC ${layers})
    set(PLUGIN_OBJECTS ${objects} PARENT_SCOPE)
endfunction()

# The host tool, a folder per command or feature, each with the parts its
# system does its own way in linux/ and win32/ beside it, in four layers,
# each a library linked only downward: hosting and media at the bottom; the
# validator, and the measurements (rendering, editor pictures, bench,
# response, stress, compare) above them; the command line on top,
# quavix_host_parts, which the tool's main and its tests link.
# scripts/check/layers.sh holds the includes to the same order.
set(HOST_HOSTING_SOURCES
    ${SRC}/tools/hosting/EditorWindow.cpp
    ${SRC}/tools/hosting/HostedPlugin.cpp
    ${SRC}/tools/hosting/LibraryFormat.cpp
    ${SRC}/tools/hosting/PluginLoader.cpp
    ${SRC}/tools/hosting/PluginModule.cpp
    ${SRC}/tools/hosting/PluginOptions.cpp
    ${SRC}/tools/hosting/PluginSummary.cpp
    ${SRC}/tools/hosting/clap/ClapEditor.cpp
    ${SRC}/tools/hosting/clap/ClapHost.cpp
    ${SRC}/tools/hosting/clap/ClapPlugin.cpp
    ${SRC}/tools/hosting/process/FloatingPoint.cpp
    ${SRC}/tools/hosting/process/GuardedBuffer.cpp
    ${SRC}/tools/hosting/vst/MidiEventList.cpp
    ${SRC}/tools/hosting/vst/PluginHost.cpp
    ${SRC}/tools/hosting/vst/PluginReport.cpp
    ${SRC}/tools/hosting/vst/VstEditor.cpp
    ${SRC}/tools/hosting/vst/VstPlugin.cpp
    ${SRC}/tools/media/PngFile.cpp
    ${SRC}/tools/media/WavFile.cpp)
set(HOST_VALIDATOR_SOURCES
    ${SRC}/tools/validate/CheckContext.cpp
    ${SRC}/tools/validate/GuardedAudio.cpp
    ${SRC}/tools/validate/GuardedText.cpp
    ${SRC}/tools/validate/ResultWire.cpp
    ${SRC}/tools/validate/ValidationReport.cpp
    ${SRC}/tools/validate/Validator.cpp
    ${SRC}/tools/validate/groups/DispatcherGroup.cpp
    ${SRC}/tools/validate/groups/EditorGroup.cpp
    ${SRC}/tools/validate/groups/GroupSupport.cpp
    ${SRC}/tools/validate/groups/HostHabitsGroup.cpp
    ${SRC}/tools/validate/groups/IdentityGroup.cpp
    ${SRC}/tools/validate/groups/InstancesGroup.cpp
    ${SRC}/tools/validate/groups/MidiGroup.cpp
    ${SRC}/tools/validate/groups/ParametersGroup.cpp
    ${SRC}/tools/validate/groups/ProcessingGroup.cpp
    ${SRC}/tools/validate/groups/SampleRatesGroup.cpp
    ${SRC}/tools/validate/groups/StateGroup.cpp
    ${SRC}/tools/validate/groups/ThreadsGroup.cpp
    ${SRC}/tools/validate/groups/habits/EchoHabit.cpp
    ${SRC}/tools/validate/groups/habits/FlagsHabit.cpp
    ${SRC}/tools/validate/groups/habits/HabitsSupport.cpp
    ${SRC}/tools/validate/groups/habits/RestoringHabit.cpp
    ${SRC}/tools/validate/groups/habits/ScanningHabit.cpp
    ${SRC}/tools/validate/groups/habits/SettingTwiceHabit.cpp
    ${SRC}/tools/validate/groups/habits/Twins.cpp)
set(HOST_MEASUREMENT_SOURCES
    ${SRC}/tools/bench/BenchCommand.cpp
    ${SRC}/tools/bench/EditorBench.cpp
    ${SRC}/tools/bench/PluginBench.cpp
    ${SRC}/tools/compare/CompareCommand.cpp
    ${SRC}/tools/compare/CompareStimulus.cpp
    ${SRC}/tools/compare/PluginComparison.cpp
    ${SRC}/tools/editor/EditorCommands.cpp
    ${SRC}/tools/render/DemoPhrase.cpp
    ${SRC}/tools/render/OfflineRenderer.cpp
    ${SRC}/tools/render/RenderCommands.cpp
    ${SRC}/tools/response/FrequencyResponse.cpp
    ${SRC}/tools/response/ResponseCommand.cpp
    ${SRC}/tools/response/ResponsePicture.cpp
    ${SRC}/tools/stress/StressCommand.cpp
    ${SRC}/tools/stress/StressFigures.cpp
    ${SRC}/tools/stress/StressInstance.cpp
    ${SRC}/tools/stress/StressSession.cpp)
set(HOST_CLI_SOURCES
    ${SRC}/tools/cli/Command.cpp
    ${SRC}/tools/cli/CommandLine.cpp
    ${SRC}/tools/cli/CommandTable.cpp
    ${SRC}/tools/cli/OptionTable.cpp
    ${SRC}/tools/cli/ValueParsing.cpp)
set(HOST_HOSTING_LINUX_SOURCES
    ${SRC}/tools/hosting/clap/linux/ClapSystem.cpp
    ${SRC}/tools/hosting/linux/EditorWindow.cpp
    ${SRC}/tools/hosting/linux/FilePaths.cpp
    ${SRC}/tools/hosting/linux/LargeFile.cpp
    ${SRC}/tools/hosting/linux/PluginModule.cpp
    ${SRC}/tools/hosting/lv2/Lv2Host.cpp
    ${SRC}/tools/hosting/lv2/Lv2Plugin.cpp
    ${SRC}/tools/hosting/process/linux/CrashReport.cpp
    ${SRC}/tools/hosting/process/linux/GroupProcess.cpp
    ${SRC}/tools/hosting/process/linux/GuardedBuffer.cpp
    ${SRC}/tools/hosting/process/linux/HeapCount.cpp
    ${SRC}/tools/hosting/process/linux/LockCount.cpp
    ${SRC}/tools/hosting/process/linux/ProcessResources.cpp)
set(HOST_MEASUREMENT_LINUX_SOURCES
    ${SRC}/tools/response/linux/ResponsePlot.cpp
    ${SRC}/tools/stress/linux/AudioThreadPriority.cpp
    ${SRC}/tools/stress/linux/ResidentMemory.cpp)
set(HOST_HOSTING_WIN32_SOURCES
    ${SRC}/tools/hosting/clap/win32/ClapSystem.cpp
    ${SRC}/tools/hosting/process/win32/CrashReport.cpp
    ${SRC}/tools/hosting/process/win32/GroupProcess.cpp
    ${SRC}/tools/hosting/process/win32/GuardedBuffer.cpp
    ${SRC}/tools/hosting/process/win32/HeapCount.cpp
    ${SRC}/tools/hosting/process/win32/LockCount.cpp
    ${SRC}/tools/hosting/process/win32/ProcessResources.cpp
    ${SRC}/tools/hosting/win32/EditorWindow.cpp
    ${SRC}/tools/hosting/win32/FilePaths.cpp
    ${SRC}/tools/hosting/win32/GuiObjects.cpp
    ${SRC}/tools/hosting/win32/LargeFile.cpp
    ${SRC}/tools/hosting/win32/Lv2Backend.cpp
    ${SRC}/tools/hosting/win32/PluginModule.cpp)
set(HOST_MEASUREMENT_WIN32_SOURCES
    ${SRC}/tools/response/win32/ResponsePlot.cpp
    ${SRC}/tools/stress/win32/AudioThreadPriority.cpp
    ${SRC}/tools/stress/win32/ResidentMemory.cpp)
# Each layer of the host tool for one system (linux or win32), from the lists
# above; external libraries are linked to the layer that needs them.
#
#   add_host_tool_layers(SYSTEM)
function(add_host_tool_layers system)
    string(TOUPPER ${system} upper)
    add_library(quavix_host_hosting STATIC ${HOST_HOSTING_SOURCES} ${HOST_HOSTING_${upper}_SOURCES})
    target_include_directories(quavix_host_hosting SYSTEM PUBLIC /usr/include/stb)
    add_library(quavix_host_validator STATIC ${HOST_VALIDATOR_SOURCES} ${HOST_VALIDATOR_${upper}_SOURCES})
    target_link_libraries(quavix_host_validator PUBLIC quavix_host_hosting)
    add_library(quavix_host_measurements STATIC ${HOST_MEASUREMENT_SOURCES} ${HOST_MEASUREMENT_${upper}_SOURCES})
    target_link_libraries(quavix_host_measurements PUBLIC quavix_host_hosting)
    add_library(quavix_host_parts STATIC ${HOST_CLI_SOURCES})
    target_link_libraries(quavix_host_parts PUBLIC quavix_host_validator quavix_host_measurements)
endfunction()

set(HOST_TOOL_MAIN ${SRC}/tools/main.cpp)
# The host tool's test cases that every build shares, compiled once per
# build beside that system's own host_tool_test.
set(HOST_TOOL_TEST_CASES
    ${SRC}/tests/tools/CommandLineCases.cpp
    ${SRC}/tests/tools/CompareCases.cpp
    ${SRC}/tests/tools/HostToolCases.cpp
    ${SRC}/tests/tools/LibraryFormatCases.cpp
    ${SRC}/tests/tools/ResultWireCases.cpp)
# The controls' cases and fixture that the stub's and the Win32 controls
# tests share, compiled once per build beside each system's controls_test.
set(CONTROLS_TEST_CASES
    ${SRC}/tests/controls/ControlsCases.cpp
    ${SRC}/tests/controls/ControlsFixture.cpp)
