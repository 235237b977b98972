// wav-reader: the host tool's WAV reader on files of any bytes, read whole
// in blocks of any length. A file is refused with a message that names it,
// or its format is one the reader takes, its frames lie within the file,
// every frame reads, and PCM samples stay within -1..1. Opening a second
// file with the same reader is the same as opening it with a fresh one,
// and a reader leaves no file open behind it.
#include <sys/mman.h>
#include <unistd.h>

#include <cmath>
#include <cstdint>
#include <string>

#include "tests/fuzz/FuzzInput.h"
#include "tests/fuzz/Invariant.h"
#include "tools/media/AudioClip.h"
#include "tools/media/WavFile.h"

using namespace quavixfuzz;

namespace {

constexpr int kMaxBlock = 4096;
constexpr size_t kMaxReadFrames = 1 << 16;

// A file in memory under a path the reader opens like any other.
class MemoryFile {
public:
    MemoryFile() : descriptor(memfd_create("wav-reader-fuzz", 0)) {
        require(descriptor >= 0, "cannot make a file in memory");
    }
    ~MemoryFile() { close(descriptor); }
    MemoryFile(const MemoryFile&) = delete;
    MemoryFile& operator=(const MemoryFile&) = delete;

    void hold(const uint8_t* data, size_t size) {
        require(ftruncate(descriptor, 0) == 0 && pwrite(descriptor, data, size, 0) == static_cast<ssize_t>(size),
                "cannot write the file in memory");
    }
    std::string path() const { return "/proc/self/fd/" + std::to_string(descriptor); }

private:
    int descriptor;
};

MemoryFile& memoryFile() {
    static MemoryFile file;
    return file;
}

// The lowest descriptor free: a reader that leaves one open moves it.
int lowestFreeDescriptor() {
    const int probe = dup(STDIN_FILENO);
    close(probe);
    return probe;
}

bool isPcm(const std::string& description) { return description.find("PCM") != std::string::npos; }

void requireReadsWhole(WavReader& reader, size_t fileSize, int block) {
    const int channels = reader.numChannels();
    require(channels == 1 || channels == 2, "%d channels accepted", channels);
    require(reader.sampleRate() > 0 && reader.sampleRate() <= int(WavReader::kMaxSampleRate), "a rate of %d accepted",
            reader.sampleRate());
    require(reader.numFrames() <= fileSize, "%zu frames in a file of %zu bytes", reader.numFrames(), fileSize);
    const bool pcm = isPcm(reader.description());
    AudioClip clip;
    clip.resize(channels, static_cast<size_t>(block));
    std::string error;
    size_t left = std::min(reader.numFrames(), kMaxReadFrames);
    while (left > 0) {
        const int count = static_cast<int>(std::min<size_t>(left, static_cast<size_t>(block)));
        require(reader.read(clip, count, error), "a frame the reader counted does not read: %s", error.c_str());
        for (int channel = 0; channel < channels && pcm; ++channel)
            for (int frame = 0; frame < count; ++frame)
                require(std::fabs(clip.channels[channel][frame]) <= 1.0f, "a PCM sample reads %g",
                        static_cast<double>(clip.channels[channel][frame]));
        left -= static_cast<size_t>(count);
    }
}

void readFile(const std::string& path, size_t fileSize, int block, bool openedBefore) {
    WavReader reader;
    std::string error;
    if (openedBefore)
        reader.open(path, error);  // the same file, taken again below
    error.clear();
    if (!reader.open(path, error)) {
        require(error.find("'" + path + "'") != std::string::npos, "the message does not name the file: %s",
                error.c_str());
        return;
    }
    requireReadsWhole(reader, fileSize, block);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // The first byte picks the reading: the block length, and whether the
    // reader has opened another file before.
    FuzzInput input(data, size > 0 ? 1 : 0);
    const uint8_t how = input.byte();
    const int block = 1 + (how >> 1) * (kMaxBlock / 128);
    const uint8_t* file = size > 0 ? data + 1 : data;
    const size_t fileSize = size > 0 ? size - 1 : 0;
    MemoryFile& memory = memoryFile();
    memory.hold(file, fileSize);
    const std::string path = memory.path();
    const int freeBefore = lowestFreeDescriptor();
    readFile(path, fileSize, block, how & 1);
    require(lowestFreeDescriptor() == freeBefore, "the reader left a file open");
    return 0;
}
