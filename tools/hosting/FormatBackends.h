// Where each format's backend is made. A build without a format's library
// (LV2 on Windows) defines its opener as a refusal that says so.
#pragma once

#include <memory>
#include <string>

#include "tools/hosting/HostedPlugin.h"

std::unique_ptr<HostedPlugin> openVstPlugin(const std::string& path, const PluginSetup& setup, std::string& error);
std::unique_ptr<HostedPlugin> openLv2Plugin(const std::string& bundleOrUri, const PluginSetup& setup,
                                            std::string& error);
std::unique_ptr<HostedPlugin> openClapPlugin(const std::string& path, const PluginSetup& setup, std::string& error);
