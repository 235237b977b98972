// How every command of the tool ends.
#pragma once

const int kExitDone = 0;
const int kExitFailed = 1;  // a file, the plug-in or its editor failed
const int kExitUsage = 2;   // arguments that make no job
