// Runs a fuzz target once over every file of its corpus folders, without
// the fuzzer: the native build's test of the corpus under its sanitizers. A
// broken invariant or a sanitizer report ends the run like a crash; an empty
// or missing folder fails, since it would replay nothing.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

namespace {

std::vector<uint8_t> contentsOf(const std::filesystem::path& path) {
    std::ifstream file(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

// The files of a folder in name order, so that every run replays alike.
std::vector<std::filesystem::path> inputsIn(const std::filesystem::path& folder) {
    std::vector<std::filesystem::path> inputs;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(folder, error))
        if (entry.is_regular_file())
            inputs.push_back(entry.path());
    std::sort(inputs.begin(), inputs.end());
    return inputs;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s CORPUS_FOLDER...\n", argv[0]);
        return 2;
    }
    for (int i = 1; i < argc; ++i) {
        const std::vector<std::filesystem::path> inputs = inputsIn(argv[i]);
        if (inputs.empty()) {
            std::fprintf(stderr, "%s: no inputs in %s\n", argv[0], argv[i]);
            return 1;
        }
        for (const std::filesystem::path& input : inputs) {
            // Named before it runs: a failure's output ends with the input that caused it.
            std::printf("%s\n", input.filename().c_str());
            std::fflush(stdout);
            const std::vector<uint8_t> bytes = contentsOf(input);
            LLVMFuzzerTestOneInput(bytes.data(), bytes.size());
        }
        std::printf("%s: replayed %zu inputs of %s\n", argv[0], inputs.size(), argv[i]);
    }
    return 0;
}
