// The host tool's behaviour that is the same on every system, written once
// and compiled once into a library that the Windows and the Linux test
// programs both link: WAV formats in and out, parameters, MIDI, the demo,
// the benchmark, bad input, and plug-ins of odd shapes hosted in the test
// program itself.
#include "tests/tools/HostToolCases.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <regex>
#include <sstream>

#include "tools/hosting/vst/VstPlugin.h"
#include "tools/media/WavFile.h"
#include "tools/render/OfflineRenderer.h"
#include "tools/stress/StressFigures.h"

namespace hosttool {

using namespace wavbytes;

// --- WAV formats in and out ---

TEST_F(HostToolTest, SixteenBitTwentyFourBitAndFloatInputsOfOneSignalGiveOneOutput) {
    const size_t kFrames = 4800;
    std::vector<double> signal = testSignal(kFrames, 2);
    WavLayout pcm16, pcm24, float32, extensible24;
    pcm24.bits = 24;
    float32.tag = kFloat;
    float32.bits = 32;
    extensible24.bits = 24;
    extensible24.extensible = true;

    Wav from16 = processed(writeWav("in16.wav", pcm16, signal), "out16.wav");
    Wav from24 = processed(writeWav("in24.wav", pcm24, signal), "out24.wav");
    Wav fromFloat = processed(writeWav("inf.wav", float32, signal), "outf.wav");
    Wav fromExtensible = processed(writeWav("inx.wav", extensible24, signal), "outx.wav");

    ASSERT_TRUE(from16.valid);
    EXPECT_EQ(from16.tag, kFloat);
    EXPECT_EQ(from16.bits, 32);
    EXPECT_EQ(from16.channels, 2);
    EXPECT_EQ(from16.rate, 48000);
    EXPECT_EQ(from16.frames(), kFrames);
    EXPECT_TRUE(allFiniteAndHeard(from16));
    EXPECT_TRUE(sameSamples(from16, from24));
    EXPECT_TRUE(sameSamples(from16, fromFloat));
    EXPECT_TRUE(sameSamples(from16, fromExtensible));
    // The plug-in filtered: the output is not the input.
    size_t differing = 0;
    for (size_t i = 0; i < signal.size(); ++i)
        differing += std::fabs(from16.samples[i] - signal[i]) > 1e-3;
    EXPECT_GT(differing, signal.size() / 2);
}

TEST_F(HostToolTest, SixteenBitOutputIsTheFloatOutputRoundedToTheStep) {
    std::string in = writeWav("in.wav", WavLayout(), testSignal(4800, 2));
    Wav asFloat = processed(in, "float.wav");
    Wav as16 = processed(in, "pcm16.wav", {"--pcm16"});
    ASSERT_TRUE(asFloat.valid && as16.valid);
    EXPECT_EQ(as16.tag, kPcm);
    EXPECT_EQ(as16.bits, 16);
    EXPECT_EQ(as16.rate, asFloat.rate);
    ASSERT_EQ(as16.samples.size(), asFloat.samples.size());
    size_t off = 0;
    for (size_t i = 0; i < as16.samples.size(); ++i) {
        off += std::fabs(as16.samples[i] - asFloat.samples[i]) > 0.5f / 32768.0f + 1e-9f;
    }
    EXPECT_EQ(off, 0u);
}

TEST_F(HostToolTest, MonoInputIsFedToBothInputsAndWrittenAsStereo) {
    const size_t kFrames = 3000;
    std::vector<double> mono = testSignal(kFrames, 1);
    std::vector<double> doubled;
    for (double v : mono)
        doubled.insert(doubled.end(), {v, v});
    WavLayout monoLayout;
    monoLayout.channels = 1;
    monoLayout.rate = 22050;
    WavLayout stereoLayout;
    stereoLayout.rate = 22050;

    ToolRun run = process(writeWav("mono.wav", monoLayout, mono), file("out-mono.wav"));
    EXPECT_EQ(run.exitCode, kExitDone) << run.output;
    EXPECT_TRUE(run.says("mono")) << run.output;
    Wav fromMono = parseWav(readFile(file("out-mono.wav")));
    Wav fromStereo = processed(writeWav("stereo.wav", stereoLayout, doubled), "out-stereo.wav");

    ASSERT_TRUE(fromMono.valid);
    EXPECT_EQ(fromMono.channels, 2);
    EXPECT_EQ(fromMono.rate, 22050);
    EXPECT_EQ(fromMono.frames(), kFrames);
    EXPECT_TRUE(sameSamples(fromMono, fromStereo));
    EXPECT_TRUE(allFiniteAndHeard(fromMono));
}

TEST_F(HostToolTest, StereoChannelsStayApart) {
    std::vector<double> leftOnly = testSignal(2000, 2);
    for (size_t i = 1; i < leftOnly.size(); i += 2)
        leftOnly[i] = 0.0;
    Wav out = processed(writeWav("left.wav", WavLayout(), leftOnly), "out.wav");
    ASSERT_TRUE(out.valid);
    float leftPeak = 0.0f, rightPeak = 0.0f;
    for (size_t i = 0; i < out.frames(); ++i) {
        leftPeak = std::max(leftPeak, std::fabs(out.at(i, 0)));
        rightPeak = std::max(rightPeak, std::fabs(out.at(i, 1)));
    }
    EXPECT_GT(leftPeak, 0.01f);
    EXPECT_EQ(rightPeak, 0.0f);
}

// --- bad input ---

struct BrokenFile {
    const char* name;
    Bytes bytes;
};

std::vector<BrokenFile> brokenFiles() {
    Bytes good = makeWav(WavLayout(), testSignal(100, 2));
    std::vector<BrokenFile> files;
    files.push_back({"text.wav", Bytes{'h', 'e', 'l', 'l', 'o'}});
    files.push_back({"empty.wav", Bytes()});
    files.push_back({"truncated.wav", Bytes(good.begin(), good.begin() + 70)});
    Bytes hugeFormat = good;  // the 'fmt ' chunk claims 2 GB
    set32(hugeFormat, 16, 0x7FFFFFFF);
    files.push_back({"hugefmt.wav", hugeFormat});
    Bytes noData(good.begin(), good.begin() + 36);
    files.push_back({"nodata.wav", noData});
    Bytes eightBit = good;
    eightBit[34] = 8;  // bits per sample
    files.push_back({"8bit.wav", eightBit});
    Bytes noChannels = good;
    noChannels[22] = 0;
    files.push_back({"nochannels.wav", noChannels});
    Bytes wrongAlign = good;
    wrongAlign[32] = 3;
    files.push_back({"badalign.wav", wrongAlign});
    Bytes hugeRate = good;  // 600 MHz: the output's byte rate would not fit its header
    set32(hugeRate, 24, 600000000);
    files.push_back({"hugerate.wav", hugeRate});
    return files;
}

TEST_F(HostToolTest, MalformedUnsupportedAndMissingFilesFailNamingTheFile) {
    std::vector<BrokenFile> files = brokenFiles();
    files.push_back({"missing.wav", Bytes()});
    for (const BrokenFile& broken : files) {
        SCOPED_TRACE(broken.name);
        if (std::string(broken.name) != "missing.wav")
            writeFile(file(broken.name), broken.bytes);
        ToolRun run = process(file(broken.name), file("out.wav"));
        EXPECT_EQ(run.exitCode, kExitFailed) << run.output;
        EXPECT_TRUE(run.says(broken.name)) << run.output;
        EXPECT_FALSE(fileExists(file("out.wav")));
    }
}

TEST_F(HostToolTest, ChunksInAnyOrderAndDamageAfterThemAreRead) {
    Bytes plain = makeWav(WavLayout(), testSignal(3000, 2));
    const size_t kListEnd = 50;  // after "RIFF" size "WAVE", 'fmt ' of 16 bytes and 'LIST' of 5 plus its pad
    // The data first, then the format, then a chunk cut short as a damaged tail.
    Bytes shuffled;
    putTag(shuffled, "RIFF");
    put32(shuffled, static_cast<uint32_t>(plain.size()));
    putTag(shuffled, "WAVE");
    shuffled.insert(shuffled.end(), plain.begin() + kListEnd, plain.end());
    shuffled.insert(shuffled.end(), plain.begin() + 12, plain.begin() + kListEnd);
    putTag(shuffled, "junk");
    put32(shuffled, 1u << 30);
    writeFile(file("plain.wav"), plain);
    writeFile(file("shuffled.wav"), shuffled);
    EXPECT_TRUE(sameSamples(processed(file("plain.wav"), "a.wav"), processed(file("shuffled.wav"), "b.wav")));
}

TEST_F(HostToolTest, LongFilesStreamThroughWithProgress) {
    // 512 MB of stereo silence, stored sparse: 47 minutes, more than a 32-bit
    // process could hold decoded. Written to the null device, so that it costs no disk.
    const uint32_t kDataBytes = 512u << 20;
    Bytes header = makeWav(WavLayout(), {});
    set32(header, 4, static_cast<uint32_t>(header.size()) - 8 + kDataBytes);
    set32(header, header.size() - 4, kDataBytes);
    std::string in = file("long.wav");
    writeFile(in, header);
    ASSERT_TRUE(growSparse(in, header.size() + kDataBytes));

    ToolRun run = process(in, nullDevice());
    EXPECT_EQ(run.exitCode, kExitDone) << run.output;
    EXPECT_TRUE(run.says("processing: 100%")) << run.output.substr(0, 2000);
    EXPECT_TRUE(run.says("134217728 frames")) << run.output.substr(0, 2000);
}

TEST_F(HostToolTest, OutputOverTheInputIsRefusedAndTheInputKept) {
    std::string in = writeWav("Take.wav", WavLayout(), testSignal(1000, 2));
    Bytes before = readFile(in);
    std::vector<std::string> names = aliasesOf(directory, "Take.wav");
    names.push_back(in);
    for (const std::string& out : names) {
        SCOPED_TRACE(out);
        ToolRun run = process(in, out);
        EXPECT_EQ(run.exitCode, kExitFailed) << run.output;
        EXPECT_TRUE(run.says("it is the input file")) << run.output;
        EXPECT_EQ(readFile(in), before);
    }
}

TEST_F(HostToolTest, BrokenPluginsFailNamingTheFile) {
    std::string notALibrary = writeWav("plugin.wav", WavLayout(), testSignal(10, 2));
    for (const std::string& plugin : {notALibrary, libraryWithoutEntry(), file("nowhere.dll"), directory}) {
        SCOPED_TRACE(plugin);
        ToolRun run = host({plugin, "--info"});
        EXPECT_EQ(run.exitCode, kExitFailed) << run.output;
        EXPECT_TRUE(run.says("'" + plugin + "'")) << run.output;
    }
}

TEST_F(HostToolTest, LibrariesOfOtherSystemsOrWordSizesNameTheToolToUse) {
    for (const ForeignLibrary& library : foreignLibraries()) {
        SCOPED_TRACE(library.name);
        writeFile(file(library.name), library.header);
        ToolRun run = host({file(library.name), "--info"});
        EXPECT_EQ(run.exitCode, kExitFailed) << run.output;
        EXPECT_TRUE(run.says("'" + file(library.name) + "' " + library.expected + "\n")) << run.output;
    }
}

struct WrongArguments {
    std::vector<std::string> arguments;
    std::string says;  // the error, after "quavix-host: "
};

TEST_F(HostToolTest, WrongArgumentsGiveTheUsageAndExitCodeTwo) {
    std::string in = writeWav("in.wav", WavLayout(), testSignal(10, 2));
    const std::string png = file("editor.png");
    const std::string scaleRange = "' (a factor from 0.25 to 8: 1 is 100%, 2 is 200%)";
    const std::string scaleHomes = "; it goes with --editor-png and --gui";
    const WrongArguments wrong[] = {
        {{}, "no plug-in given"},
        {{pluginPath(), in}, "wrong number of file arguments"},
        {{pluginPath(), in, file("out.wav"), "--block", "0"}, "bad value for --block: '0'"},
        {{pluginPath(), in, file("out.wav"), "--block", "many"}, "bad value for --block: 'many'"},
        {{pluginPath(), in, file("out.wav"), "--param", "1"}, "bad value for --param: '1'"},
        {{pluginPath(), in, file("out.wav"), "--param", "1=1.5"}, "bad value for --param: '1=1.5'"},
        {{pluginPath(), in, file("out.wav"), "--sweep", "0-127"}, "bad value for --sweep: '0-127'"},
        {{pluginPath(), in, file("out.wav"), "--cc", "128"}, "bad value for --cc: '128'"},
        {{pluginPath(), in, file("out.wav"), "--louder"}, "unknown option --louder"},
        {{pluginPath(), "--info", "--gui"}, "--info and --gui do not go together"},
        // QUAVIX has 4 parameters
        {{pluginPath(), in, file("out.wav"), "--param", "9=0.5"}, "parameter index 9 out of range"},
        {{"--bench"}, "--bench needs at least one plug-in"},
        {{"--bench", pluginPath(), pluginPath() + "@0=1.5"}, "bad settings for " + pluginPath() + ": '0=1.5'"},
        {{"--bench", pluginPath(), pluginPath() + "@0=0.5,"}, "bad settings for " + pluginPath() + ": '0=0.5,'"},
        {{"--bench", pluginPath(), "--param", "0=0.5"}, "--param does not go with --bench"},
        {{"--bench", pluginPath(), "--rounds", "0"}, "bad value for --rounds: '0'"},
        {{"--bench", pluginPath(), "--info"}, "--bench and --info do not go together"},
        {{"--editor-png", png, pluginPath(), "--scale", "0"}, "bad value for --scale: '0" + scaleRange},
        {{"--editor-png", png, pluginPath(), "--scale", "-2"}, "bad value for --scale: '-2" + scaleRange},
        {{"--editor-png", png, pluginPath(), "--scale", "nan"}, "bad value for --scale: 'nan" + scaleRange},
        {{"--editor-png", png, pluginPath(), "--scale", "inf"}, "bad value for --scale: 'inf" + scaleRange},
        {{"--editor-png", png, pluginPath(), "--scale", "9"}, "bad value for --scale: '9" + scaleRange},
        {{"--editor-png", png, pluginPath(), "--scale", "2x"}, "bad value for --scale: '2x" + scaleRange},
        {{"--gui", pluginPath(), "--scale", "1,5"}, "bad value for --scale: '1,5" + scaleRange},
        {{"--editor-png", png, pluginPath(), "--scale"}, "--scale needs a value"},
        {{pluginPath(), "--info", "--scale", "2"}, "--scale does not go with --info" + scaleHomes},
        {{pluginPath(), in, file("out.wav"), "--scale", "2"},
         "--scale does not go with processing a file" + scaleHomes},
        {{pluginPath(), in, file("out.wav"), "--demo-out", file("demo.wav")},
         "--demo-out does not go with processing a file; it goes with the demo"},
        {{pluginPath(), "--info", "--close-after", "1"}, "--close-after does not go with --info; it goes with --gui"},
        {{pluginPath(), "--demo-out", file("out.wav"), "--scale", "2"},
         "--scale does not go with the demo" + scaleHomes},
        {{"--bench", pluginPath(), "--scale", "2"}, "--scale does not go with --bench" + scaleHomes},
        {{"--validate", pluginPath(), "--scale", "2"}, "--scale does not go with --validate" + scaleHomes},
        {{"--response-png", png, pluginPath(), "--scale", "2"}, "--scale does not go with --response-png" + scaleHomes},
        {{"--editor-bench", pluginPath(), "--scale", "2"}, "--scale does not go with --editor-bench" + scaleHomes},
        {{"--version", "--rounds", "3"},
         "--rounds does not go with --version; it goes with --bench and --editor-bench"},
        {{"--version", pluginPath()}, "--version takes no other arguments: '" + pluginPath() + "'"},
        {{"--editor-bench"}, "no plug-in given"},
        {{"--editor-bench", pluginPath(), "--rounds", "0"}, "bad value for --rounds: '0'"},
        {{"--editor-bench", pluginPath(), "--bench"}, "--editor-bench and --bench do not go together"},
        {{"--stress"}, "no plug-in given"},
        {{"--stress", pluginPath(), "--instances", "0"}, "bad value for --instances: '0'"},
        {{"--stress", pluginPath(), "--instances", "1025"}, "bad value for --instances: '1025'"},
        {{"--stress", pluginPath(), "--seconds", "0.05"}, "bad value for --seconds: '0.05'"},
        {{"--stress", pluginPath(), "--seconds", "nan"}, "bad value for --seconds: 'nan'"},
        {{"--stress", pluginPath(), "--seconds"}, "--seconds needs a value"},
        {{pluginPath(), "--info", "--instances", "2"}, "--instances does not go with --info; it goes with --stress"},
        {{"--bench", pluginPath(), "--seconds", "2"}, "--seconds does not go with --bench; it goes with --stress"},
        {{"--stress", pluginPath(), "--validate"}, "--stress and --validate do not go together"},
    };
    for (const WrongArguments& row : wrong) {
        SCOPED_TRACE(row.says);
        ToolRun run = host(row.arguments);
        EXPECT_EQ(run.exitCode, kExitUsage) << run.output;
        EXPECT_TRUE(run.says("quavix-host: " + row.says)) << run.output;
        EXPECT_FALSE(fileExists(file("out.wav")));
        EXPECT_FALSE(fileExists(png));
    }
    ToolRun help = host({"--help"});
    EXPECT_EQ(help.exitCode, kExitDone);
    for (const char* option :
         {"--param", "--block", "--cc", "--sweep", "--rate", "--pcm16", "--demo-out", "--info", "--editor-png", "--gui",
          "--close-after", "--scale", "--bench", "--rounds", "--stress", "--instances", "--seconds", "--help"}) {
        EXPECT_TRUE(help.says(option)) << option;
    }
}

// --- the editor's picture ---

struct PictureSize {
    uint32_t width = 0, height = 0;
};

// The size in a PNG file's header; zero for a file that is no PNG.
PictureSize pngSize(const Bytes& png) {
    const uint8_t signature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    if (png.size() < 24 || std::memcmp(png.data(), signature, sizeof signature) != 0 ||
        std::memcmp(png.data() + 12, "IHDR", 4) != 0)
        return {};
    auto bigEndian = [&png](size_t at) {
        return static_cast<uint32_t>(png[at]) << 24 | static_cast<uint32_t>(png[at + 1]) << 16 |
               static_cast<uint32_t>(png[at + 2]) << 8 | static_cast<uint32_t>(png[at + 3]);
    };
    return {bigEndian(16), bigEndian(20)};
}

struct ScaledPicture {
    const char* scale;  // --scale, or null for none
    double factor;
};

TEST_F(HostToolTest, EditorPictureAtADisplayScaleIsTheEditorScaled) {
    if (!pluginHasEditor())
        GTEST_SKIP() << "this build's plug-in has no editor";
    // The panel's size at 100%, as its background bitmap has it.
    const PictureSize panel = {330, 354};
    const ScaledPicture cases[] = {{nullptr, 1.0}, {"1", 1.0}, {"1.5", 1.5}, {"2", 2.0}};
    for (const ScaledPicture& row : cases) {
        SCOPED_TRACE(row.scale ? row.scale : "no --scale");
        const std::string png = file(std::string("editor-") + (row.scale ? row.scale : "plain") + ".png");
        std::vector<std::string> arguments = {"--editor-png", png, pluginPath()};
        if (row.scale)
            arguments.insert(arguments.end(), {"--scale", row.scale});
        ToolRun run = host(arguments);
        ASSERT_EQ(run.exitCode, kExitDone) << run.output;
        const PictureSize expected = {static_cast<uint32_t>(std::lround(panel.width * row.factor)),
                                      static_cast<uint32_t>(std::lround(panel.height * row.factor))};
        const PictureSize written = pngSize(readFile(png));
        EXPECT_EQ(written.width, expected.width);
        EXPECT_EQ(written.height, expected.height);
        EXPECT_TRUE(run.says("(the editor, " + std::to_string(expected.width) + " x " +
                             std::to_string(expected.height) + " pixels)"))
            << run.output;
        if (row.scale)
            EXPECT_TRUE(run.says(std::string("Scale ") + row.scale + " sent to the editor")) << run.output;
        else
            EXPECT_FALSE(run.says("sent to the editor")) << run.output;
    }
}

// One row of the editor benchmark's table: the medians at 1x and 2x and
// their ratio, then the best rounds' the same way; empty when missing.
std::vector<double> editorBenchRow(const std::string& output, const std::string& name) {
    const size_t at = output.find("\n  " + name + " ");
    if (at == std::string::npos)
        return {};
    std::istringstream fields(output.substr(at + 3 + name.size(), output.find('\n', at + 1) - at - 3 - name.size()));
    std::vector<double> figures;
    std::string unit;
    for (int column = 0; column < 6; ++column) {
        double figure = 0.0;
        if (!(fields >> figure) || (column % 3 != 2 && !(fields >> unit && unit == "ms")))
            return {};
        figures.push_back(figure);
    }
    return figures;
}

TEST_F(HostToolTest, EditorBenchTimesFirstPaintAndRedrawAtBothScalesSideBySide) {
    if (!pluginHasEditor())
        GTEST_SKIP() << "this build's plug-in has no editor";
    ToolRun run = host({"--editor-bench", pluginPath(), "--rounds", "3"});
    ASSERT_EQ(run.exitCode, kExitDone) << run.output;
    EXPECT_TRUE(run.says("at 1x and 2x (330 x 354 and 660 x 708 pixels), median of 3 rounds")) << run.output;
    for (const char* name : {"open to first paint", "full redraw"}) {
        SCOPED_TRACE(name);
        std::vector<double> row = editorBenchRow(run.output, name);
        ASSERT_EQ(row.size(), 6u) << run.output;
        for (double figure : row)
            EXPECT_GT(figure, 0.0) << run.output;
        // Each ratio is its two figures' quotient; all three are printed to
        // two places, so the figures' rounding carries into the quotient.
        const auto roundingOf = [](double ratio, double first, double second) {
            return 0.0051 + ratio * (0.0051 / first + 0.0051 / second);
        };
        EXPECT_NEAR(row[2], row[1] / row[0], roundingOf(row[2], row[0], row[1])) << run.output;
        EXPECT_NEAR(row[5], row[4] / row[3], roundingOf(row[5], row[3], row[4])) << run.output;
        // The best round is no slower than the median.
        EXPECT_LE(row[3], row[0]) << run.output;
        EXPECT_LE(row[4], row[1]) << run.output;
    }
    const std::vector<double> redraw = editorBenchRow(run.output, "full redraw");
    char goal[96];
    std::snprintf(goal, sizeof goal, "Full redraw at 2x: %.2f times the 1x one, %s the goal of at most 3 times",
                  redraw[2], redraw[2] <= 3.0 ? "within" : "past");
    EXPECT_TRUE(run.says(goal)) << run.output;
}

// --- what the plug-in is told ---

TEST_F(HostToolTest, InfoPrintsIdentityCapabilitiesAndParameters) {
    ToolRun run = host({pluginPath(), "--info"});
    EXPECT_EQ(run.exitCode, kExitDone) << run.output;
    for (const char* expected : {"Quavix", "Morvella", "0x00515658", "'.QVX'", "CanReplacing", "receiveVstMidiEvent",
                                 "parameters 4, inputs 2, outputs 2", "Center Frequency", "2300.000000", "Gain", "peak",
                                 "midi controller #"}) {
        EXPECT_TRUE(run.says(expected)) << expected << "\n" << run.output;
    }
    EXPECT_EQ(run.says("HasEditor"), pluginHasEditor()) << run.output;
    // An effect to every host: never the instrument flag that some hosts refuse.
    EXPECT_TRUE(run.says("1 (Effect)")) << run.output;
    EXPECT_TRUE(run.says(pluginHasEditor() ? "Flags          0x00000011" : "Flags          0x00000010")) << run.output;
    EXPECT_FALSE(run.says("IsSynth")) << run.output;
}

TEST_F(HostToolTest, ParameterSettingsReachThePluginBeforeProcessing) {
    // A steady level: the filter passes it unchanged, so only the gain acts.
    const size_t kFrames = 44100;
    WavLayout mono;
    mono.channels = 1;
    mono.rate = 44100;
    std::string in = writeWav("dc.wav", mono, std::vector<double>(kFrames, 0.5));

    ToolRun halfGain = process(in, file("half.wav"), {"--param", "1=1.0", "--param", "0=1.0"});
    EXPECT_EQ(halfGain.exitCode, kExitDone) << halfGain.output;
    EXPECT_TRUE(halfGain.says("-6.02060")) << halfGain.output;
    EXPECT_TRUE(halfGain.says("3800.000000")) << halfGain.output;
    Wav half = parseWav(readFile(file("half.wav")));
    ASSERT_TRUE(half.valid);
    EXPECT_NEAR(half.at(kFrames - 1, 0), 0.25f, 1e-4f);
    EXPECT_NEAR(half.at(kFrames - 1, 1), 0.25f, 1e-4f);

    ToolRun silent = process(in, file("silent.wav"), {"--param", "1=0"});
    EXPECT_TRUE(silent.says("-oo")) << silent.output;
    Wav zero = parseWav(readFile(file("silent.wav")));
    ASSERT_TRUE(zero.valid);
    for (float v : zero.samples)
        ASSERT_EQ(v, 0.0f);
}

TEST_F(HostToolTest, BlockSizeDoesNotChangeAConstantRun) {
    std::string in = writeWav("in.wav", WavLayout(), testSignal(9000, 2));
    Wav big = processed(in, "512.wav");
    Wav odd = processed(in, "37.wav", {"--block", "37"});
    Wav one = processed(in, "1.wav", {"--block", "1"});
    EXPECT_TRUE(allFiniteAndHeard(big));
    EXPECT_TRUE(sameSamples(big, odd));
    EXPECT_TRUE(sameSamples(big, one));
}

TEST_F(HostToolTest, ControllerSweepArrivesAsControlChangesOnTheChosenController) {
    std::string in = writeWav("in.wav", WavLayout(), testSignal(6000, 2));
    // Controller value 65 puts the corner where the parameter value 64/127 does.
    Wav byController = processed(in, "cc.wav", {"--sweep", "65:65"});
    Wav byParameter = processed(in, "param.wav", {"--param", "0=0.50393700787401574803"});
    EXPECT_TRUE(sameSamples(byController, byParameter));

    // The plug-in listens to controller 1 only: controller 7 changes nothing.
    Wav plain = processed(in, "plain.wav");
    Wav otherController = processed(in, "cc7.wav", {"--cc", "7", "--sweep", "127:127"});
    EXPECT_TRUE(sameSamples(plain, otherController));
    EXPECT_FALSE(sameSamples(plain, byController));

    // A real sweep moves the corner during the file, so it differs from both ends held still.
    Wav swept = processed(in, "swept.wav", {"--sweep", "1:127"});
    Wav low = processed(in, "low.wav", {"--sweep", "1:1"});
    Wav high = processed(in, "high.wav", {"--sweep", "127:127"});
    EXPECT_TRUE(allFiniteAndHeard(swept));
    EXPECT_FALSE(sameSamples(swept, low));
    EXPECT_FALSE(sameSamples(swept, high));
}

TEST_F(HostToolTest, DemoRendersAnAudibleStereoPhrase) {
    ToolRun run = host({pluginPath(), "--demo-out", file("demo.wav"), "--rate", "48000"});
    EXPECT_EQ(run.exitCode, kExitDone) << run.output;
    Wav demo = parseWav(readFile(file("demo.wav")));
    ASSERT_TRUE(demo.valid);
    EXPECT_EQ(demo.channels, 2);
    EXPECT_EQ(demo.rate, 48000);
    EXPECT_GT(demo.frames(), static_cast<size_t>(5 * 48000));
    EXPECT_TRUE(allFiniteAndHeard(demo));

    // The demo lands in the current directory by default.
    ToolRun byDefault = host({pluginPath()});
    EXPECT_EQ(byDefault.exitCode, kExitDone) << byDefault.output;
    EXPECT_TRUE(parseWav(readFile(file("quavix-demo.wav"))).valid);
}

// --- the benchmark ---

TEST_F(HostToolTest, BenchOfTwoCopiesPrintsOneLineEachWithTheirRatio) {
    std::string copy = file("copy-" + std::filesystem::path(pluginPath()).filename().string());
    std::filesystem::copy_file(pluginPath(), copy);
    ToolRun run = host({"--bench", pluginPath(), copy + "@0=1,2=0.25", "--rounds", "3"});
    ASSERT_EQ(run.exitCode, kExitDone) << run.output;
    EXPECT_TRUE(run.says("Set parameter 0 \"Center Frequency\" = 3800")) << run.output;
    EXPECT_TRUE(run.says("3 rounds of 1048576 frames per plug-in, at 44100 Hz in blocks of 512")) << run.output;
    std::vector<BenchLine> lines = benchLines(run.output);
    ASSERT_EQ(lines.size(), 2u) << run.output;
    EXPECT_EQ(lines[0].file, std::filesystem::path(pluginPath()).filename().string());
    EXPECT_EQ(lines[1].file, std::filesystem::path(copy).filename().string());
    for (const BenchLine& line : lines) {
        EXPECT_EQ(line.name, "Quavix");
        EXPECT_GT(line.nanoseconds, 0.0);
        EXPECT_LE(line.best, line.nanoseconds);
    }
    EXPECT_EQ(lines[0].ratio, 1.0);
    // The ratio is the medians' quotient; one build of one effect lands near 1.
    EXPECT_NEAR(lines[1].ratio, lines[1].nanoseconds / lines[0].nanoseconds, 0.01 + 0.01 * lines[1].ratio);
    EXPECT_GT(lines[1].ratio, 1.0 / 3.0);
    EXPECT_LT(lines[1].ratio, 3.0);
}

TEST_F(HostToolTest, BenchSkipsAPeerThatFailsAndStopsWithoutItsReference) {
    std::string missing = file("missing.so");
    ToolRun peerMissing = host({"--bench", pluginPath(), missing, "--rounds", "1"});
    EXPECT_EQ(peerMissing.exitCode, kExitFailed) << peerMissing.output;
    EXPECT_TRUE(peerMissing.says("'" + missing + "'")) << peerMissing.output;
    EXPECT_EQ(benchLines(peerMissing.output).size(), 1u) << peerMissing.output;

    ToolRun referenceMissing = host({"--bench", missing, pluginPath(), "--rounds", "1"});
    EXPECT_EQ(referenceMissing.exitCode, kExitFailed) << referenceMissing.output;
    EXPECT_TRUE(referenceMissing.says("nothing was measured")) << referenceMissing.output;
    EXPECT_TRUE(benchLines(referenceMissing.output).empty()) << referenceMissing.output;

    ToolRun badIndex = host({"--bench", pluginPath(), pluginPath() + "@7=1", "--rounds", "1"});
    EXPECT_EQ(badIndex.exitCode, kExitFailed) << badIndex.output;
    EXPECT_TRUE(badIndex.says("parameter index 7 out of range")) << badIndex.output;
}

// --- plug-ins of other shapes, hosted in this process ---

// The clip through OddPlugin with that layout, in odd blocks of 64 frames.
AudioClip throughOddPlugin(int inputs, int outputs, const AudioClip& clip) {
    OddPlugin::numInputs = inputs;
    OddPlugin::numOutputs = outputs;
    std::string error;
    std::unique_ptr<HostedPlugin> host = VstPlugin::attach(&OddPlugin::entry, "odd.dll", {44100, 64}, error);
    EXPECT_TRUE(host) << error;
    RenderSettings settings;
    settings.blockSize = 64;
    AudioClip result;
    BlockSink collect = [&result](const AudioClip& block, int frames, std::string&) {
        result.channels.resize(block.channels.size());
        for (size_t c = 0; c < block.channels.size(); ++c) {
            result.channels[c].insert(result.channels[c].end(), block.channels[c].begin(),
                                      block.channels[c].begin() + frames);
        }
        return true;
    };
    OfflineRenderer renderer(*host, settings);
    EXPECT_TRUE(
        renderer.render(clip.numChannels(), clip.numFrames(), OfflineRenderer::clipSource(clip), collect, error))
        << error;
    return result;
}

TEST_F(HostToolTest, PluginsWithOneOrThreeChannelsAreFedAndWritten) {
    const size_t kFrames = 150;
    AudioClip stereo, mono;
    stereo.sampleRate = mono.sampleRate = 44100;
    stereo.resize(2, kFrames);
    mono.resize(1, kFrames);
    for (size_t i = 0; i < kFrames; ++i) {
        stereo.channels[0][i] = mono.channels[0][i] = 0.001f * i;
        stereo.channels[1][i] = -0.003f * i;
    }
    AudioClip mixed = throughOddPlugin(1, 1, stereo);
    AudioClip wide = throughOddPlugin(3, 3, stereo);
    AudioClip spread = throughOddPlugin(3, 3, mono);
    ASSERT_EQ(mixed.numChannels(), 1);
    ASSERT_EQ(wide.numChannels(), 3);
    ASSERT_EQ(spread.numChannels(), 3);
    ASSERT_EQ(wide.numFrames(), kFrames);
    for (size_t i = 0; i < kFrames; ++i) {
        EXPECT_EQ(mixed.channels[0][i], 0.5f * (stereo.channels[0][i] + stereo.channels[1][i])) << i;
        EXPECT_EQ(wide.channels[0][i], stereo.channels[0][i]);
        EXPECT_EQ(wide.channels[1][i], stereo.channels[1][i]);
        EXPECT_EQ(wide.channels[2][i], 0.0f);
        for (int c = 0; c < 3; ++c)
            EXPECT_EQ(spread.channels[c][i], mono.channels[0][i]);
    }

    // Three channels need the extensible header; they come back as written.
    WavWriter writer;
    std::string error;
    ASSERT_TRUE(writer.open(file("wide.wav"), 3, 44100, kFrames, WavSampleFormat::Float32, error)) << error;
    ASSERT_TRUE(writer.write(wide, static_cast<int>(kFrames), error) && writer.finish(error)) << error;
    Wav back = parseWav(readFile(file("wide.wav")));
    ASSERT_TRUE(back.valid);
    EXPECT_EQ(back.channels, 3);
    ASSERT_EQ(back.frames(), kFrames);
    for (size_t i = 0; i < kFrames; ++i)
        EXPECT_EQ(back.at(i, 1), wide.channels[1][i]);
}

// --- a session under load ---

TEST_F(HostToolTest, StressReportsItsFiguresAndEndsWithItsOneLine) {
    ToolRun run = host({"--stress", pluginPath(), "--instances", "2", "--seconds", "0.3"});
    ASSERT_EQ(run.exitCode, kExitDone) << run.output;
    EXPECT_TRUE(run.says("\nStress: 2 instances of \"Quavix\" for 0.3 s")) << run.output;
    EXPECT_TRUE(run.says("\nprocessing per block: median ")) << run.output;
    EXPECT_TRUE(run.says("\nresident memory: ")) << run.output;
    // Quavix neither allocates nor locks while it processes.
    const std::string counts = stressCountsLocking() ? "deadline misses, 0 allocations, 0 locks on audio threads"
                                                     : "deadline misses, allocations and locks on audio threads "
                                                       "not counted";
    std::smatch last;
    ASSERT_TRUE(std::regex_search(run.output, last, std::regex("\nstress: (.*)\r?\n$"))) << run.output;
    EXPECT_TRUE(std::regex_match(last[1].str(), std::regex("2 instances, [0-9]+ blocks, [0-9]+ " + counts))) << last[1];
}

struct BlockTimes {
    std::vector<float> microseconds;
    double median, rare, worst;
};

std::vector<float> countDown(int from) {
    std::vector<float> values;
    for (int value = from; value > 0; --value)
        values.push_back(static_cast<float>(value));
    return values;
}

TEST(HostToolStress, BlockTimesGiveTheNearestRankMedianAndRarePercentile) {
    const BlockTimes cases[] = {
        {{}, 0.0, 0.0, 0.0},
        {{5.0f}, 5.0, 5.0, 5.0},
        {{4.0f, 1.0f, 3.0f, 2.0f}, 2.0, 4.0, 4.0},
        {countDown(1000), 500.0, 999.0, 1000.0},
        {countDown(2000), 1000.0, 1998.0, 2000.0},
    };
    for (const BlockTimes& row : cases) {
        SCOPED_TRACE(row.microseconds.size());
        StressFigures figures;
        figures.summarise(row.microseconds);
        EXPECT_EQ(figures.medianMicroseconds, row.median);
        EXPECT_EQ(figures.rareMicroseconds, row.rare);
        EXPECT_EQ(figures.worstMicroseconds, row.worst);
    }
}

TEST(HostToolPlugins, LongTextAnswersComeBackWhole) {
    OddPlugin::textLength = 3000;
    PluginHost host;
    std::string error;
    ASSERT_TRUE(host.attach(&OddPlugin::entry, "odd.dll", error)) << error;
    EXPECT_EQ(host.text(effGetParamDisplay, 0), std::string(3000, 'q'));
    EXPECT_EQ(host.text(effGetEffectName), std::string(3000, 'q'));
    OddPlugin::textLength = 8;
}

TEST(HostToolPlugins, BrokenRecordsAreRefusedNamingThePlugin) {
    const PluginHost::PluginEntry entries[] = {
        [](audioMasterCallback) -> AEffect* { return nullptr; },
        [](audioMasterCallback) -> AEffect* {
            static AEffect noMagic = {};
            return &noMagic;
        },
        [](audioMasterCallback) -> AEffect* {
            static AEffect noFunctions = {};
            noFunctions.magic = kEffectMagic;
            return &noFunctions;
        },
        // Automation logged while the record has no dispatcher yet.
        [](audioMasterCallback host) -> AEffect* {
            static AEffect halfBuilt = {};
            host(&halfBuilt, audioMasterAutomate, 0, 0, nullptr, 0.5f);
            return nullptr;
        },
    };
    for (PluginHost::PluginEntry entry : entries) {
        PluginHost host;
        std::string error;
        EXPECT_FALSE(host.attach(entry, "broken.dll", error));
        EXPECT_EQ(host.record(), nullptr);
        EXPECT_NE(error.find("broken.dll"), std::string::npos) << error;
    }
}

// Two records that ask their host for the sample rate while being made,
// before the host can know the record, and again when switched on.
struct AskingPlugin {
    static inline AEffect records[2];
    static inline audioMasterCallback hosts[2];
    static inline VstIntPtr askedWhileMade[2], askedWhenOn[2];
    static inline int made = 0;

    static VstIntPtr VSTCALLBACK dispatcher(AEffect* effect, VstInt32 opcode, VstInt32, VstIntPtr, void*, float) {
        int which = effect == &records[0] ? 0 : 1;
        if (opcode == effMainsChanged)
            askedWhenOn[which] = hosts[which](effect, audioMasterGetSampleRate, 0, 0, 0, 0);
        return 0;
    }
    static AEffect* VSTCALLBACK entry(audioMasterCallback host) {
        int which = made++ % 2;
        hosts[which] = host;
        askedWhileMade[which] = host(nullptr, audioMasterGetSampleRate, 0, 0, nullptr, 0.0f);
        records[which] = *OddPlugin::entry(host);
        records[which].dispatcher = dispatcher;
        return &records[which];
    }
};

TEST(HostToolPlugins, EachOfSeveralPluginsHearsItsOwnHost) {
    const int rates[2] = {44100, 96000};
    PluginHost hosts[2];
    std::string error;
    for (int i = 0; i < 2; ++i) {
        hosts[i].configure(rates[i], 512);
        ASSERT_TRUE(hosts[i].attach(&AskingPlugin::entry, "asking.so", error)) << error;
    }
    for (int i = 1; i >= 0; --i)
        hosts[i].start();
    for (int i = 0; i < 2; ++i) {
        EXPECT_EQ(AskingPlugin::askedWhileMade[i], rates[i]);
        EXPECT_EQ(AskingPlugin::askedWhenOn[i], rates[i]);
    }
}

}  // namespace hosttool
