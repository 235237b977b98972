// The host tool as a user meets it: quavix-host.exe started as a child
// process on QUAVIX.dll, with small WAV files written here, its exit code,
// its messages and the files it writes checked afterwards. Plug-ins of
// other shapes exist only in this program, which hosts them with the tool's
// own classes.
#include <windows.h>

#include <gtest/gtest.h>

#include "tools/CrashReport.h"
#include "tools/FilePaths.h"
#include "tools/MidiEventList.h"
#include "tools/OfflineRenderer.h"
#include "tools/PluginHost.h"
#include "tools/WavFile.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

const int kExitDone = 0;
const int kExitFailed = 1;
const int kExitUsage = 2;
const DWORD kRunTimeoutMs = 60000;
const UINT kTimedOut = 99;
const uint16_t kPcm = 1;
const uint16_t kFloat = 3;
const int kEditorWidth = 330;
const int kEditorHeight = 354;

using Bytes = std::vector<uint8_t>;

std::string fullPath(const std::string& path) {
    char buffer[MAX_PATH * 4];
    DWORD length = GetFullPathNameA(path.c_str(), sizeof buffer, buffer, nullptr);
    return length > 0 && length < sizeof buffer ? std::string(buffer, length) : path;
}

std::string pluginPath() {
    const char* dll = std::getenv("QUAVIX_DLL");
    return dll ? fullPath(dll) : "";
}

// The tool sits beside the plug-in in dist/win32 unless QUAVIX_HOST says otherwise.
std::string hostPath() {
    if (const char* host = std::getenv("QUAVIX_HOST")) return fullPath(host);
    std::string dll = pluginPath();
    size_t slash = dll.find_last_of("\\/");
    return slash == std::string::npos ? "quavix-host.exe" : dll.substr(0, slash + 1) + "quavix-host.exe";
}

Bytes readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void writeFile(const std::string& path, const Bytes& bytes) {
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

bool fileExists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

void put16(Bytes& out, uint32_t v) {
    out.push_back(static_cast<uint8_t>(v));
    out.push_back(static_cast<uint8_t>(v >> 8));
}
void put32(Bytes& out, uint32_t v) {
    put16(out, v & 0xFFFF);
    put16(out, v >> 16);
}
void set32(Bytes& out, size_t at, uint32_t v) {
    Bytes value;
    put32(value, v);
    std::copy(value.begin(), value.end(), out.begin() + static_cast<std::ptrdiff_t>(at));
}
void putTag(Bytes& out, const char* id) { out.insert(out.end(), id, id + 4); }
uint32_t get32(const uint8_t* p) { return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<uint32_t>(p[3]) << 24); }
uint16_t get16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }

struct WavLayout {
    uint16_t tag = kPcm;
    int bits = 16;
    int channels = 2;
    int rate = 48000;
    bool extensible = false;
};

void putSample(Bytes& out, double value, const WavLayout& layout) {
    if (layout.tag == kFloat) {
        float f = static_cast<float>(value);
        uint32_t raw;
        std::memcpy(&raw, &f, sizeof raw);
        put32(out, raw);
    } else if (layout.bits == 16) {
        put16(out, static_cast<uint16_t>(static_cast<int16_t>(std::lround(value * 32768.0))));
    } else {
        uint32_t raw = static_cast<uint32_t>(static_cast<int32_t>(std::lround(value * 8388608.0)));
        out.push_back(static_cast<uint8_t>(raw));
        out.push_back(static_cast<uint8_t>(raw >> 8));
        out.push_back(static_cast<uint8_t>(raw >> 16));
    }
}

// A WAV file as other programs write it: a LIST chunk of odd length before
// the data, so that the reader must walk and pad chunks.
Bytes makeWav(const WavLayout& layout, const std::vector<double>& interleaved) {
    Bytes data;
    for (double value : interleaved) putSample(data, value, layout);
    Bytes format;
    uint32_t blockAlign = layout.channels * layout.bits / 8;
    put16(format, layout.extensible ? 0xFFFE : layout.tag);
    put16(format, layout.channels);
    put32(format, layout.rate);
    put32(format, layout.rate * blockAlign);
    put16(format, blockAlign);
    put16(format, layout.bits);
    if (layout.extensible) {
        const uint8_t tail[14] = {0, 0, 0, 0, 0x10, 0, 0x80, 0, 0, 0xAA, 0, 0x38, 0x9B, 0x71};
        put16(format, 22);
        put16(format, layout.bits);
        put32(format, layout.channels == 1 ? 4 : 3);
        put16(format, layout.tag);
        format.insert(format.end(), tail, tail + sizeof tail);
    }
    Bytes body;
    putTag(body, "WAVE");
    putTag(body, "fmt ");
    put32(body, static_cast<uint32_t>(format.size()));
    body.insert(body.end(), format.begin(), format.end());
    putTag(body, "LIST");
    put32(body, 5);
    body.insert(body.end(), {'I', 'N', 'F', 'O', 'x', 0});
    putTag(body, "data");
    put32(body, static_cast<uint32_t>(data.size()));
    body.insert(body.end(), data.begin(), data.end());
    Bytes file;
    putTag(file, "RIFF");
    put32(file, static_cast<uint32_t>(body.size()));
    file.insert(file.end(), body.begin(), body.end());
    return file;
}

struct Wav {
    bool valid = false;
    int tag = 0, channels = 0, rate = 0, bits = 0;
    std::vector<float> samples;  // interleaved
    size_t frames() const { return channels ? samples.size() / channels : 0; }
    float at(size_t frame, int channel) const { return samples[frame * channels + channel]; }
};

// Reads the tool's output: 16-bit PCM or 32-bit float.
Wav parseWav(const Bytes& b) {
    Wav wav;
    if (b.size() < 12 || std::memcmp(b.data(), "RIFF", 4) != 0 || std::memcmp(b.data() + 8, "WAVE", 4) != 0) {
        return wav;
    }
    size_t offset = 12, dataOffset = 0, dataSize = 0;
    while (offset + 8 <= b.size()) {
        uint32_t size = get32(&b[offset + 4]);
        if (offset + 8 + size > b.size()) return wav;
        if (std::memcmp(&b[offset], "fmt ", 4) == 0) {
            wav.tag = get16(&b[offset + 8]);
            if (wav.tag == 0xFFFE) wav.tag = get16(&b[offset + 32]);  // the extensible sub-format
            wav.channels = get16(&b[offset + 10]);
            wav.rate = static_cast<int>(get32(&b[offset + 12]));
            wav.bits = get16(&b[offset + 22]);
        } else if (std::memcmp(&b[offset], "data", 4) == 0) {
            dataOffset = offset + 8;
            dataSize = size;
        }
        offset += 8 + size + (size & 1);
    }
    if (!dataOffset || !wav.channels) return wav;
    for (size_t at = dataOffset; at + wav.bits / 8 <= dataOffset + dataSize; at += wav.bits / 8) {
        if (wav.tag == kFloat && wav.bits == 32) {
            float f;
            std::memcpy(&f, &b[at], sizeof f);
            wav.samples.push_back(f);
        } else if (wav.tag == kPcm && wav.bits == 16) {
            wav.samples.push_back(static_cast<int16_t>(get16(&b[at])) / 32768.0f);
        } else {
            return wav;
        }
    }
    wav.valid = true;
    return wav;
}

// Noise and a tone, on the 16-bit grid so that 16-bit, 24-bit and float
// files carry exactly the same values; the right channel differs from the left.
std::vector<double> testSignal(size_t frames, int channels) {
    std::vector<double> out;
    uint32_t seed = 12345;
    for (size_t i = 0; i < frames; ++i) {
        for (int c = 0; c < channels; ++c) {
            seed = seed * 1664525u + 1013904223u;
            double noise = (static_cast<double>(seed >> 8) / 16777216.0 - 0.5) * 0.3;
            double tone = 0.3 * std::sin(0.05 * static_cast<double>(i) + 1.3 * c);
            out.push_back(std::round((noise + tone) * 32768.0) / 32768.0);
        }
    }
    return out;
}

struct ToolRun {
    DWORD exitCode = 0xFFFFFFFF;
    std::string output;  // standard output and standard error together
};

std::string quote(const std::string& argument) { return "\"" + argument + "\""; }

class HostToolTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_FALSE(pluginPath().empty()) << "QUAVIX_DLL must name the built QUAVIX.dll";
        ASSERT_TRUE(fileExists(hostPath())) << "no host tool at " << hostPath();
        char temp[MAX_PATH];
        GetTempPathA(sizeof temp, temp);
        directory = std::string(temp) + "quavix-host-test-" + std::to_string(GetCurrentProcessId()) + "-" +
                    ::testing::UnitTest::GetInstance()->current_test_info()->name();
        CreateDirectoryA(directory.c_str(), nullptr);
        ASSERT_TRUE(fileExists(directory));
    }

    void TearDown() override {
        WIN32_FIND_DATAA found;
        HANDLE search = FindFirstFileA((directory + "\\*").c_str(), &found);
        if (search != INVALID_HANDLE_VALUE) {
            do {
                DeleteFileA((directory + "\\" + found.cFileName).c_str());
            } while (FindNextFileA(search, &found));
            FindClose(search);
        }
        RemoveDirectoryA(directory.c_str());
    }

    std::string file(const std::string& name) const { return directory + "\\" + name; }

    std::string writeWav(const std::string& name, const WavLayout& layout, const std::vector<double>& samples) {
        writeFile(file(name), makeWav(layout, samples));
        return file(name);
    }

    // Runs the tool with these arguments (each quoted) in the test's directory.
    ToolRun host(const std::vector<std::string>& arguments) const {
        std::string commandLine = quote(hostPath());
        for (const std::string& argument : arguments) commandLine += " " + quote(argument);
        return runCommand(commandLine);
    }

    ToolRun process(const std::string& in, const std::string& out, std::vector<std::string> options = {}) const {
        std::vector<std::string> arguments = {pluginPath(), in, out};
        arguments.insert(arguments.end(), options.begin(), options.end());
        return host(arguments);
    }

    Wav processed(const std::string& in, const std::string& outName, std::vector<std::string> options = {}) const {
        ToolRun run = process(in, file(outName), options);
        EXPECT_EQ(run.exitCode, static_cast<DWORD>(kExitDone)) << run.output;
        return parseWav(readFile(file(outName)));
    }

    ToolRun runCommand(std::string commandLine) const {
        ToolRun run;
        std::string logPath = file("tool-output.txt");
        SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
        HANDLE log = CreateFileA(logPath.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit, CREATE_ALWAYS,
                                 FILE_ATTRIBUTE_NORMAL, nullptr);
        EXPECT_NE(log, INVALID_HANDLE_VALUE);
        STARTUPINFOA startup = {};
        startup.cb = sizeof startup;
        startup.dwFlags = STARTF_USESTDHANDLES;
        startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
        startup.hStdOutput = log;
        startup.hStdError = log;
        PROCESS_INFORMATION child = {};
        BOOL started = CreateProcessA(nullptr, &commandLine[0], nullptr, nullptr, TRUE, 0, nullptr,
                                      directory.c_str(), &startup, &child);
        CloseHandle(log);
        EXPECT_TRUE(started) << commandLine;
        if (!started) return run;
        if (WaitForSingleObject(child.hProcess, kRunTimeoutMs) != WAIT_OBJECT_0) {
            ADD_FAILURE() << "no answer within " << kRunTimeoutMs << " ms: " << commandLine;
            TerminateProcess(child.hProcess, kTimedOut);
            WaitForSingleObject(child.hProcess, INFINITE);
        }
        GetExitCodeProcess(child.hProcess, &run.exitCode);
        CloseHandle(child.hThread);
        CloseHandle(child.hProcess);
        Bytes text = readFile(logPath);
        run.output.assign(text.begin(), text.end());
        return run;
    }

    std::string directory;
};

bool sameSamples(const Wav& a, const Wav& b) {
    return a.valid && b.valid && a.channels == b.channels && a.samples.size() == b.samples.size() &&
           std::memcmp(a.samples.data(), b.samples.data(), a.samples.size() * sizeof(float)) == 0;
}

bool allFiniteAndHeard(const Wav& wav) {
    float peak = 0.0f;
    for (float v : wav.samples) {
        if (!std::isfinite(v)) return false;
        peak = std::max(peak, std::fabs(v));
    }
    return peak > 0.01f;
}

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
    for (size_t i = 0; i < signal.size(); ++i) differing += std::fabs(from16.samples[i] - signal[i]) > 1e-3;
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
    for (double v : mono) doubled.insert(doubled.end(), {v, v});
    WavLayout monoLayout;
    monoLayout.channels = 1;
    monoLayout.rate = 22050;
    WavLayout stereoLayout;
    stereoLayout.rate = 22050;

    ToolRun run = process(writeWav("mono.wav", monoLayout, mono), file("out-mono.wav"));
    EXPECT_EQ(run.exitCode, static_cast<DWORD>(kExitDone)) << run.output;
    EXPECT_NE(run.output.find("mono"), std::string::npos) << run.output;
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
    for (size_t i = 1; i < leftOnly.size(); i += 2) leftOnly[i] = 0.0;
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
        if (std::string(broken.name) != "missing.wav") writeFile(file(broken.name), broken.bytes);
        ToolRun run = process(file(broken.name), file("out.wav"));
        EXPECT_EQ(run.exitCode, static_cast<DWORD>(kExitFailed)) << run.output;
        EXPECT_NE(run.output.find(broken.name), std::string::npos) << run.output;
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
    // process could hold decoded. Written to NUL, so that it costs no disk.
    const uint32_t kDataBytes = 512u << 20;
    Bytes header = makeWav(WavLayout(), {});
    set32(header, 4, static_cast<uint32_t>(header.size()) - 8 + kDataBytes);
    set32(header, header.size() - 4, kDataBytes);
    std::string in = file("long.wav");
    HANDLE out = CreateFileA(in.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(out, INVALID_HANDLE_VALUE);
    DWORD written = 0;
    WriteFile(out, header.data(), static_cast<DWORD>(header.size()), &written, nullptr);
    LARGE_INTEGER end;
    end.QuadPart = static_cast<LONGLONG>(header.size()) + kDataBytes;
    EXPECT_TRUE(SetFilePointerEx(out, end, nullptr, FILE_BEGIN) && SetEndOfFile(out));
    CloseHandle(out);

    ToolRun run = process(in, "NUL");
    EXPECT_EQ(run.exitCode, static_cast<DWORD>(kExitDone)) << run.output;
    EXPECT_NE(run.output.find("processing: 100%"), std::string::npos) << run.output.substr(0, 2000);
    EXPECT_NE(run.output.find("134217728 frames"), std::string::npos) << run.output.substr(0, 2000);
}

TEST_F(HostToolTest, OutputOverTheInputIsRefusedAndTheInputKept) {
    std::string in = writeWav("Take.wav", WavLayout(), testSignal(1000, 2));
    Bytes before = readFile(in);
    // The same file by another case, and by a relative path from the tool's directory.
    for (const std::string& out : {file("TAKE.WAV"), std::string("take.wav"), std::string("sub\\..\\Take.Wav")}) {
        SCOPED_TRACE(out);
        ToolRun run = process(in, out);
        EXPECT_EQ(run.exitCode, static_cast<DWORD>(kExitFailed)) << run.output;
        EXPECT_NE(run.output.find("input"), std::string::npos) << run.output;
        EXPECT_EQ(readFile(in), before);
    }
}

TEST_F(HostToolTest, BrokenPluginsFailNamingTheFile) {
    std::string notADll = writeWav("plugin.wav", WavLayout(), testSignal(10, 2));
    char system[MAX_PATH];
    GetSystemDirectoryA(system, sizeof system);
    std::string noEntry = std::string(system) + "\\msimg32.dll";  // a real DLL without the entry point
    for (const std::string& plugin : {notADll, noEntry, file("nowhere.dll")}) {
        SCOPED_TRACE(plugin);
        ToolRun run = host({plugin, "--info"});
        EXPECT_EQ(run.exitCode, static_cast<DWORD>(kExitFailed)) << run.output;
        EXPECT_NE(run.output.find(plugin), std::string::npos) << run.output;
    }
}

TEST_F(HostToolTest, WrongArgumentsGiveTheUsageAndExitCodeTwo) {
    std::string in = writeWav("in.wav", WavLayout(), testSignal(10, 2));
    const std::vector<std::vector<std::string>> wrong = {
        {},
        {pluginPath(), in},
        {pluginPath(), in, file("out.wav"), "--block", "0"},
        {pluginPath(), in, file("out.wav"), "--block", "many"},
        {pluginPath(), in, file("out.wav"), "--param", "1"},
        {pluginPath(), in, file("out.wav"), "--param", "1=1.5"},
        {pluginPath(), in, file("out.wav"), "--sweep", "0-127"},
        {pluginPath(), in, file("out.wav"), "--cc", "128"},
        {pluginPath(), in, file("out.wav"), "--louder"},
        {pluginPath(), "--info", "--gui"},
        {pluginPath(), in, file("out.wav"), "--param", "9=0.5"},  // QUAVIX has 4 parameters
    };
    for (const std::vector<std::string>& arguments : wrong) {
        ToolRun run = host(arguments);
        EXPECT_EQ(run.exitCode, static_cast<DWORD>(kExitUsage)) << run.output;
        EXPECT_FALSE(fileExists(file("out.wav")));
    }
    ToolRun help = host({"--help"});
    EXPECT_EQ(help.exitCode, static_cast<DWORD>(kExitDone));
    for (const char* option : {"--param", "--block", "--cc", "--sweep", "--rate", "--pcm16", "--demo-out", "--info",
                               "--editor-png", "--gui", "--close-after", "--help"}) {
        EXPECT_NE(help.output.find(option), std::string::npos) << option;
    }
}

// --- what the plug-in is told ---

TEST_F(HostToolTest, InfoPrintsIdentityCapabilitiesAndParameters) {
    ToolRun run = host({pluginPath(), "--info"});
    EXPECT_EQ(run.exitCode, static_cast<DWORD>(kExitDone)) << run.output;
    for (const char* expected : {"Quavix", "Morvella", "0x00515658", "'.QVX'", "CanReplacing", "IsSynth",
                                 "receiveVstMidiEvent", "Center Frequency", "2300.000000", "midi controller #"}) {
        EXPECT_NE(run.output.find(expected), std::string::npos) << expected << "\n" << run.output;
    }
}

TEST_F(HostToolTest, ParameterSettingsReachThePluginBeforeProcessing) {
    // A steady level: the filter passes it unchanged, so only the gain acts.
    const size_t kFrames = 44100;
    WavLayout mono;
    mono.channels = 1;
    mono.rate = 44100;
    std::string in = writeWav("dc.wav", mono, std::vector<double>(kFrames, 0.5));

    ToolRun halfGain = process(in, file("half.wav"), {"--param", "1=1.0", "--param", "0=1.0"});
    EXPECT_EQ(halfGain.exitCode, static_cast<DWORD>(kExitDone)) << halfGain.output;
    EXPECT_NE(halfGain.output.find("-6.02060"), std::string::npos) << halfGain.output;
    EXPECT_NE(halfGain.output.find("3800.000000"), std::string::npos) << halfGain.output;
    Wav half = parseWav(readFile(file("half.wav")));
    ASSERT_TRUE(half.valid);
    EXPECT_NEAR(half.at(kFrames - 1, 0), 0.25f, 1e-4f);
    EXPECT_NEAR(half.at(kFrames - 1, 1), 0.25f, 1e-4f);

    ToolRun silent = process(in, file("silent.wav"), {"--param", "1=0"});
    EXPECT_NE(silent.output.find("-oo"), std::string::npos) << silent.output;
    Wav zero = parseWav(readFile(file("silent.wav")));
    ASSERT_TRUE(zero.valid);
    for (float v : zero.samples) ASSERT_EQ(v, 0.0f);
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

// --- the demo and the editor ---

TEST_F(HostToolTest, DemoRendersAnAudibleStereoPhrase) {
    ToolRun run = host({pluginPath(), "--demo-out", file("demo.wav"), "--rate", "48000"});
    EXPECT_EQ(run.exitCode, static_cast<DWORD>(kExitDone)) << run.output;
    Wav demo = parseWav(readFile(file("demo.wav")));
    ASSERT_TRUE(demo.valid);
    EXPECT_EQ(demo.channels, 2);
    EXPECT_EQ(demo.rate, 48000);
    EXPECT_GT(demo.frames(), static_cast<size_t>(5 * 48000));
    EXPECT_TRUE(allFiniteAndHeard(demo));

    // The demo lands in the current directory by default.
    ToolRun byDefault = host({pluginPath()});
    EXPECT_EQ(byDefault.exitCode, static_cast<DWORD>(kExitDone)) << byDefault.output;
    EXPECT_TRUE(parseWav(readFile(file("quavix-demo.wav"))).valid);
}

TEST_F(HostToolTest, EditorPictureIsAPngOfTheEditorsSize) {
    ToolRun run = host({"--editor-png", file("editor.png"), pluginPath()});
    ASSERT_EQ(run.exitCode, static_cast<DWORD>(kExitDone)) << run.output;
    Bytes png = readFile(file("editor.png"));
    ASSERT_GT(png.size(), 33u);
    const uint8_t signature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    EXPECT_EQ(std::memcmp(png.data(), signature, sizeof signature), 0);
    EXPECT_EQ(std::memcmp(png.data() + 12, "IHDR", 4), 0);
    auto bigEndian = [&](size_t at) { return (png[at] << 24) | (png[at + 1] << 16) | (png[at + 2] << 8) | png[at + 3]; };
    EXPECT_EQ(bigEndian(16), kEditorWidth);
    EXPECT_EQ(bigEndian(20), kEditorHeight);
}

TEST_F(HostToolTest, GuiSessionOpensAndClosesTheEditorCleanly) {
    ToolRun run = host({"--gui", pluginPath(), "--close-after", "1"});
    EXPECT_EQ(run.exitCode, static_cast<DWORD>(kExitDone)) << run.output;
    EXPECT_NE(run.output.find("Editor and plug-in closed"), std::string::npos) << run.output;
}

// --- plug-ins of other shapes, hosted in this process ---

// Copies input k to output k (silence where there is no such input) and
// answers the text opcodes with texts of textLength characters.
struct OddPlugin {
    static inline int numInputs = 2;
    static inline int numOutputs = 2;
    static inline size_t textLength = 8;
    static inline AEffect record;

    static bool isText(VstInt32 opcode) {
        return opcode == effGetParamName || opcode == effGetParamLabel || opcode == effGetParamDisplay ||
               opcode == effGetEffectName || opcode == effGetVendorString || opcode == effGetProductString;
    }
    static VstIntPtr VSTCALLBACK dispatcher(AEffect*, VstInt32 opcode, VstInt32, VstIntPtr, void* ptr, float) {
        if (!ptr || !isText(opcode)) return 0;
        std::memset(ptr, 'q', textLength);
        static_cast<char*>(ptr)[textLength] = 0;
        return 1;
    }
    static float VSTCALLBACK getParameter(AEffect*, VstInt32) { return 0.0f; }
    static void VSTCALLBACK setParameter(AEffect*, VstInt32, float) {}
    static void VSTCALLBACK processReplacing(AEffect*, float** inputs, float** outputs, VstInt32 frames) {
        for (int k = 0; k < numOutputs; ++k) {
            for (int i = 0; i < frames; ++i) outputs[k][i] = k < numInputs ? inputs[k][i] : 0.0f;
        }
    }
    static AEffect* VSTCALLBACK entry(audioMasterCallback) {
        record = AEffect();
        record.magic = kEffectMagic;
        record.dispatcher = dispatcher;
        record.getParameter = getParameter;
        record.setParameter = setParameter;
        record.processReplacing = processReplacing;
        record.flags = effFlagsCanReplacing;
        record.numParams = 1;
        record.numInputs = numInputs;
        record.numOutputs = numOutputs;
        return &record;
    }
};

// The clip through OddPlugin with that layout, in odd blocks of 64 frames.
AudioClip throughOddPlugin(int inputs, int outputs, const AudioClip& clip) {
    OddPlugin::numInputs = inputs;
    OddPlugin::numOutputs = outputs;
    PluginHost host;
    std::string error;
    EXPECT_TRUE(host.attach(&OddPlugin::entry, "odd.dll", error)) << error;
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
    OfflineRenderer renderer(host, settings);
    EXPECT_TRUE(renderer.render(clip.numChannels(), clip.numFrames(), OfflineRenderer::clipSource(clip), collect,
                                error)) << error;
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
        for (int c = 0; c < 3; ++c) EXPECT_EQ(spread.channels[c][i], mono.channels[0][i]);
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
    for (size_t i = 0; i < kFrames; ++i) EXPECT_EQ(back.at(i, 1), wide.channels[1][i]);
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

TEST(HostToolPlugins, CrashReportNamesTheModuleAndThePlugin) {
    char program[MAX_PATH];
    GetModuleFileNameA(nullptr, program, sizeof program);
    char text[2048];
    CrashReport::describe(0xC0000005, reinterpret_cast<const void*>(&OddPlugin::entry), "odd.dll", text, sizeof text);
    EXPECT_NE(std::string(text).find("0xC0000005"), std::string::npos) << text;
    EXPECT_NE(std::string(text).find(std::string("in '") + program + "'"), std::string::npos) << text;
    EXPECT_NE(std::string(text).find("'odd.dll'"), std::string::npos) << text;
    CrashReport::describe(0xC0000005, nullptr, "odd.dll", text, sizeof text);
    EXPECT_NE(std::string(text).find("outside every module"), std::string::npos) << text;
}

}  // namespace
