// Runs every file in the folders named on the command line through the read
// check once, as the fuzzer would, so the seeds and the crashers found so far
// are checked by any compiler, with or without libFuzzer.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv);
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

int main(int argc, char** argv) {
  std::vector<std::filesystem::path> files;
  for (int i = 1; i < argc; ++i) {
    for (const auto& entry : std::filesystem::directory_iterator(argv[i])) {
      // A dot file only keeps a folder that has no inputs yet in git.
      if (entry.is_regular_file() && !entry.path().filename().string().starts_with('.')) {
        files.push_back(entry.path());
      }
    }
  }
  // A misspelt folder would otherwise pass, having checked nothing.
  if (files.empty()) {
    std::fprintf(stderr, "no inputs found\n");
    return 1;
  }
  std::sort(files.begin(), files.end());
  LLVMFuzzerInitialize(&argc, &argv);
  for (const auto& file : files) {
    std::ifstream in(file, std::ios::binary);
    std::string bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    if (!in.good() && !in.eof()) {
      std::fprintf(stderr, "cannot read %s\n", file.c_str());
      return 1;
    }
    // Named first, so a failing check says which file it was.
    std::fprintf(stderr, "%s\n", file.c_str());
    LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
  }
  std::fprintf(stderr, "%zu inputs passed\n", files.size());
  return 0;
}
