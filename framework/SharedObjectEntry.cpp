// The shared object's second entry name. Linux hosts look for VSTPluginMain
// and older ones for main; C++ reserves the name main for programs, so this
// function takes it at the linker's level. It lives apart from the entry
// point so that test programs, which have a main of their own, can link
// everything else.
#include "framework/Entry.h"

extern "C" QUAVIX_ENTRY_POINT AEffect* VSTCALLBACK legacyPluginMain(audioMasterCallback audioMaster) __asm__("main");

extern "C" AEffect* VSTCALLBACK legacyPluginMain(audioMasterCallback audioMaster) { return VSTPluginMain(audioMaster); }
