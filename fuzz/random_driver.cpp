// Stand-in for libFuzzer where clang's runtime is absent: feeds the target
// random inputs and mutations of earlier ones for a bounded time, so that a
// crash or sanitizer report fails the run. `--seconds N` bounds the time,
// `--seed N` makes a run repeatable; files named on the command line, and the
// files in folders named there (a seed corpus), are fed first.
#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

namespace {

std::vector<std::uint8_t> mutate(std::vector<std::uint8_t> input, std::mt19937& rng) {
    std::uniform_int_distribution<int> byte(0, 255);
    const int edits = 1 + static_cast<int>(rng() % 8);
    for (int i = 0; i < edits; ++i) {
        switch (rng() % 4) {
            case 0:
                input.push_back(static_cast<std::uint8_t>(byte(rng)));
                break;
            case 1:
                if (!input.empty())
                    input.erase(input.begin() + static_cast<long>(rng() % input.size()));
                break;
            default:
                if (!input.empty())
                    input[rng() % input.size()] = static_cast<std::uint8_t>(byte(rng));
                break;
        }
    }
    return input;
}

std::vector<std::uint8_t> fileBytes(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void addInputs(const std::filesystem::path& path, std::vector<std::vector<std::uint8_t>>& corpus) {
    if (!std::filesystem::is_directory(path)) {
        corpus.push_back(fileBytes(path));
        return;
    }
    std::vector<std::filesystem::path> files;
    for (const auto& entry : std::filesystem::directory_iterator(path))
        if (entry.is_regular_file()) files.push_back(entry.path());
    std::sort(files.begin(), files.end());  // a seed run is repeatable
    for (const auto& file : files)
        corpus.push_back(fileBytes(file));
}

}  // namespace

int main(int argc, char** argv) {
    double seconds = 3;
    unsigned seed = std::random_device{}();
    std::vector<std::vector<std::uint8_t>> corpus;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--seconds" && i + 1 < argc) {
            seconds = std::atof(argv[++i]);
        } else if (arg == "--seed" && i + 1 < argc) {
            seed = static_cast<unsigned>(std::strtoul(argv[++i], nullptr, 10));
        } else {
            addInputs(arg, corpus);
        }
    }
    std::cout << "random fuzz driver, seed " << seed << "\n";
    std::mt19937 rng(seed);
    for (const auto& input : corpus)
        LLVMFuzzerTestOneInput(input.data(), input.size());
    if (corpus.empty()) corpus.emplace_back();

    const auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    long runs = 0;
    while (std::chrono::steady_clock::now() < end) {
        std::vector<std::uint8_t> input;
        if (rng() % 3 == 0) {
            input.resize(rng() % 4200);
            for (auto& b : input)
                b = static_cast<std::uint8_t>(rng());
        } else {
            input = mutate(corpus[rng() % corpus.size()], rng);
            if (corpus.size() < 256) corpus.push_back(input);
        }
        LLVMFuzzerTestOneInput(input.data(), input.size());
        ++runs;
    }
    std::cout << runs << " inputs, no failure\n";
    return 0;
}
