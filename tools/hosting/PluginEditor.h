// A plug-in's editor as the host's editor window sees it, whatever the
// format: its size before and after opening, the display's scale, opened
// inside a window of the host's (an HWND, or an XID as a pointer), idle
// time, requests to resize, and closing. vst/ and clap/ answer it.
#pragma once

#include <functional>
#include <string>

class PluginEditor {
public:
    // Resizes the host's window to a client area of width x height; answers whether it did.
    using Sizer = std::function<bool(int width, int height)>;

    virtual ~PluginEditor() = default;

    // The plug-in's name, for the window's title, and its path, for messages.
    virtual std::string name() = 0;
    virtual const std::string& path() const = 0;
    // False, with why, when the plug-in has no editor this host can open.
    virtual bool available(std::string& why) = 0;
    // The editor's size in pixels; false when it tells none, leaving width and height.
    virtual bool size(int& width, int& height) = 0;
    // Tells the editor the display's scale (1 = 100%); true when it takes it.
    virtual bool setScale(double factor) = 0;
    virtual void setSizer(Sizer sizer) = 0;
    // True when it opened, or says it did not but put a window in the parent anyway.
    virtual bool open(void* parent) = 0;
    // What the host gives the editor between messages: idle calls, timers, descriptors.
    virtual void idle() = 0;
    virtual void close() = 0;
};
