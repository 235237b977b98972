// The command-line target parses and runs nothing: the command table names
// each command's entry point, and these stand in for them, so that the
// parser links without the host tool's hosting (whose heap counter would
// replace the allocator the sanitizers own). Reaching one is a fault.
#include "tests/fuzz/Invariant.h"
#include "tools/cli/Command.h"
#include "tools/hosting/FormatBackends.h"

namespace {

int reached(const char* command) {
    quavixfuzz::require(false, "the parser ran %s", command);
    return 0;
}

}  // namespace

int RenderCommands::showInfo(const PluginOptions&) { return reached("--info"); }
int RenderCommands::renderDemo(const DemoOptions&) { return reached("the demo"); }
int RenderCommands::processFile(const FileOptions&) { return reached("processing a file"); }
int EditorCommands::savePicture(const EditorPictureOptions&) { return reached("--editor-png"); }
int EditorCommands::runGui(const GuiOptions&) { return reached("--gui"); }
int BenchCommand::run(const BenchOptions&) { return reached("--bench"); }
int EditorBench::run(const EditorBenchOptions&) { return reached("--editor-bench"); }
int ResponseCommand::run(const ResponseOptions&) { return reached("--response-png"); }
int StressCommand::run(const StressOptions&) { return reached("--stress"); }
int CompareCommand::run(const CompareOptions&) { return reached("--compare"); }
// The parser asks only a path's format, never for a plug-in.
std::unique_ptr<HostedPlugin> openVstPlugin(const std::string&, const PluginSetup&, std::string&) { return nullptr; }
std::unique_ptr<HostedPlugin> openLv2Plugin(const std::string&, const PluginSetup&, std::string&) { return nullptr; }
std::unique_ptr<HostedPlugin> openClapPlugin(const std::string&, const PluginSetup&, std::string&) { return nullptr; }
Validator::Validator(const ValidateOptions&) : strictness(0), seed(0) {}
int Validator::run() { return reached("--validate"); }
int Validator::runGroup(const std::string&) { return reached("--validate-group"); }
