// How every command of the tool ends, and the message a failing one leaves.
#pragma once

#include <string>

const int kExitDone = 0;
const int kExitFailed = 1;  // a file, the plug-in or its editor failed
const int kExitUsage = 2;   // arguments that make no job

// Prints the message after everything printed before it; kExitFailed.
int fail(const std::string& message);
// The same for arguments that make no job; kExitUsage.
int refuse(const std::string& message);
