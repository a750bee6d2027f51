// Replays saved inputs through a fuzz target's entry point, so that the
// ordinary build runs every curated input with whatever compiler it uses:
//
//   replay PATH...
//
// Each PATH is an input file or a folder whose files (in name order) are
// inputs. Every input is read whole and handed once to the target, whose
// checks end the run on a finding as they do under the fuzzer. A folder that
// does not exist holds no inputs; a run that finds no input at all fails.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <system_error>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);
// Defined only by the targets that prepare something first.
extern "C" __attribute__((weak)) int LLVMFuzzerInitialize(int* argc, char*** argv);

namespace fs = std::filesystem;

namespace {

// The input files a path names, in name order.
std::vector<fs::path> inputsAt(const fs::path& path) {
    std::error_code error;
    std::vector<fs::path> files;
    if (!fs::is_directory(path, error)) {
        if (fs::exists(path, error)) files.push_back(path);
        return files;
    }
    for (const fs::directory_entry& entry : fs::directory_iterator(path)) {
        if (entry.is_regular_file()) files.push_back(entry.path());
    }
    std::sort(files.begin(), files.end());
    return files;
}

// Hands the file's bytes to the target; false when the file cannot be read.
bool replay(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad()) return false;
    std::printf("%s\n", file.c_str());
    std::fflush(stdout);  // names the input if the target aborts on it
    LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    if (LLVMFuzzerInitialize != nullptr) LLVMFuzzerInitialize(&argc, &argv);
    int replayed = 0;
    for (int k = 1; k < argc; ++k) {
        for (const fs::path& file : inputsAt(argv[k])) {
            if (!replay(file)) {
                std::fprintf(stderr, "replay: cannot read %s\n", file.c_str());
                return 1;
            }
            ++replayed;
        }
    }
    std::printf("%d input(s) replayed without a finding\n", replayed);
    return replayed > 0 ? 0 : 1;
}
