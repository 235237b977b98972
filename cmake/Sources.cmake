# Every source of the plug-in, by layer, for every build: each build picks
# the layers it needs and the window system of its target. A layer links
# only to the layers below it:
#
#   framework  <-  toolkit  <-  window system (win32, x11 or stub)
#        ^            ^              ^
#        +------------+---- quavix --+
#
# cmake/check-layers.sh holds the includes to the same order.
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

# The toolkit: geometry, views and the frame, controls, the view-tree editor,
# and what every window system does alike.
set(TOOLKIT_SOURCES
    ${SRC}/toolkit/controls/CControl.cpp
    ${SRC}/toolkit/controls/CParamDisplay.cpp
    ${SRC}/toolkit/controls/CRockerSwitch.cpp
    ${SRC}/toolkit/controls/CSlider.cpp
    ${SRC}/toolkit/drawing/CDrawContext.cpp
    ${SRC}/toolkit/editor/ViewTreeEditor.cpp
    ${SRC}/toolkit/geometry/CRect.cpp
    ${SRC}/toolkit/platform/DragEvent.cpp
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
    ${SRC}/platform/win32/DropTargetRegistration.cpp
    ${SRC}/platform/win32/FrameWindow.cpp
    ${SRC}/platform/win32/ImageFunctions.cpp
    ${SRC}/platform/win32/ModuleInstance.cpp
    ${SRC}/platform/win32/MouseButtons.cpp
    ${SRC}/platform/win32/SystemServices.cpp
    ${SRC}/platform/win32/WindowGeometry.cpp)
set(WIN32_LIBRARY_ENTRY ${SRC}/platform/win32/DllMain.cpp)
set(X11_PLATFORM_SOURCES
    ${SRC}/platform/x11/BmpDecoder.cpp
    ${SRC}/platform/x11/CBitmap.cpp
    ${SRC}/platform/x11/CDragContainer.cpp
    ${SRC}/platform/x11/CDrawContext.cpp
    ${SRC}/platform/x11/CDropTarget.cpp
    ${SRC}/platform/x11/COffscreenContext.cpp
    ${SRC}/platform/x11/Cursor.cpp
    ${SRC}/platform/x11/DropTargetRegistration.cpp
    ${SRC}/platform/x11/FrameWindow.cpp
    ${SRC}/platform/x11/ModuleInstance.cpp
    ${SRC}/platform/x11/MouseButtons.cpp
    ${SRC}/platform/x11/SystemServices.cpp
    ${SRC}/platform/x11/WindowGeometry.cpp
    ${SRC}/platform/x11/X11Windows.cpp)

# Quavix itself: the effect with its filter, its identity, its panel.
set(QUAVIX_EFFECT_SOURCES
    ${SRC}/quavix/EditorFactory.cpp
    ${SRC}/quavix/Filter.cpp)
set(QUAVIX_PANEL_SOURCES ${SRC}/quavix/QuavixEditor.cpp)
set(QUAVIX_RESOURCE_SCRIPT ${SRC}/resources/quavix.rc)

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
