#include "tools/cli/Command.h"

#include <cstdio>

#include "tools/cli/CommandLine.h"

int Command::run() const {
    switch (mode) {
    case HostMode::Help:
        CommandLine::printUsage(false);
        return kExitDone;
    case HostMode::Version:
        std::printf("quavix-host %s\n", QUAVIX_VERSION);
        return kExitDone;
    case HostMode::Info:
        return RenderCommands::showInfo(info);
    case HostMode::Demo:
        return RenderCommands::renderDemo(demo);
    case HostMode::ProcessFile:
        return RenderCommands::processFile(file);
    case HostMode::EditorPng:
        return EditorCommands::savePicture(editorPicture);
    case HostMode::Gui:
        return EditorCommands::runGui(gui);
    case HostMode::Bench:
        return BenchCommand::run(bench);
    case HostMode::EditorBench:
        return EditorBench::run(editorBench);
    case HostMode::ResponsePng:
        return ResponseCommand::run(response);
    case HostMode::Validate:
        return Validator(validate).run();
    case HostMode::ValidateGroup:
        return Validator(validate).runGroup(validate.group);
    case HostMode::Stress:
        return StressCommand::run(stress);
    }
    return kExitUsage;
}

std::string Command::hostedPlugins() const {
    switch (mode) {
    case HostMode::Help:
    case HostMode::Version:
        break;
    case HostMode::Info:
        return info.path;
    case HostMode::Demo:
        return demo.plugin.path;
    case HostMode::ProcessFile:
        return file.plugin.path;
    case HostMode::EditorPng:
        return editorPicture.plugin.path;
    case HostMode::Gui:
        return gui.plugin.path;
    case HostMode::Bench: {
        std::string names;
        for (const BenchEntry& entry : bench.plugins)
            names += (names.empty() ? "" : "', '") + entry.path;
        return names;
    }
    case HostMode::EditorBench:
        return editorBench.plugin.path;
    case HostMode::ResponsePng:
        return response.plugin.path;
    case HostMode::Validate:
    case HostMode::ValidateGroup:
        return validate.pluginPath;
    case HostMode::Stress:
        return stress.pluginPath;
    }
    return "";
}
