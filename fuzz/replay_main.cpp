// Runs a fuzz target over files and folders (recursively), as the ordinary test run does with the
// public test pictures and the regression inputs. Fails only by crashing, as the fuzzer would.
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

#include "fuzz_input.h"

namespace {

void runFile(const std::filesystem::path &path)
{
    std::ifstream in(path, std::ios::binary);
    std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t *>(bytes.data()), bytes.size());
}

} // namespace

int main(int argc, char **argv)
{
    namespace fs = std::filesystem;
    std::size_t count = 0;
    for (int i = 1; i < argc; ++i) {
        fs::path root(argv[i]);
        if (fs::is_regular_file(root)) {
            runFile(root);
            ++count;
            continue;
        }
        if (!fs::is_directory(root))
            continue;
        for (const auto &entry : fs::recursive_directory_iterator(root)) {
            if (entry.is_regular_file() && entry.file_size() <= (std::uintmax_t { 64 } << 20)) {
                runFile(entry.path());
                ++count;
            }
        }
    }
    std::printf("replayed %zu inputs\n", count);
    return 0;
}
