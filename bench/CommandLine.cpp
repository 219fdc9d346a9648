#include "CommandLine.h"

#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <iostream>
#include <memory>
#include <ostream>
#include <streambuf>
#include <string>
#include <vector>

#include "LanguageFileGenerator.h"
#include "cli/LngTool.h"
#include "langfile/TMemIniFile.h"
#include "platform/FileSystem.h"

namespace bench {

namespace {

namespace fs = std::filesystem;

double Minimum(const std::vector<double>& values) {
  return *std::min_element(values.begin(), values.end());
}

// A translation of `source`: each value's words in reverse order, so the
// dictionary still knows them; one-word values stay untranslated. Every 97th
// entry gains an accelerator and every 89th a colon, so check has findings
// to place.
std::string Translated(const std::string& source) {
  std::string out;
  out.reserve(source.size());
  std::size_t start = 0;
  std::size_t entry = 0;
  while (start < source.size()) {
    std::size_t end = source.find("\r\n", start);
    if (end == std::string::npos) end = source.size();
    std::string_view line(source.data() + start, end - start);
    const std::size_t equals = line.find("=%");
    if (equals != std::string_view::npos && line.size() > equals + 3 && line.back() == '%') {
      std::string_view text = line.substr(equals + 2, line.size() - equals - 3);
      std::vector<std::string_view> words;
      for (std::size_t at = 0; at <= text.size();) {
        std::size_t space = std::min(text.find(' ', at), text.size());
        words.push_back(text.substr(at, space - at));
        at = space + 1;
      }
      std::string reversed;
      for (auto word = words.rbegin(); word != words.rend(); ++word) {
        if (!reversed.empty()) reversed += ' ';
        reversed += *word;
      }
      ++entry;
      if (entry % 97 == 0) reversed = "&" + reversed;
      if (entry % 89 == 0) reversed += ':';
      out.append(line.substr(0, equals + 2)).append(reversed).append("%");
    } else {
      out.append(line);
    }
    out.append("\r\n");
    start = end + 2;
  }
  return out;
}

// A folder with "source.lng" and `count` translations of it.
class Folder {
 public:
  Folder(std::int64_t count, std::int64_t entries) {
    std::string pattern = (fs::temp_directory_path() / "orvane-bench-cli-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) {
      std::cerr << "Cannot create a folder for the benchmark's files\n";
      std::exit(2);
    }
    folder_ = pattern;
    const std::string source = GenerateLanguageFile(static_cast<std::size_t>(entries));
    Write("source.lng", source);
    const std::string translated = Translated(source);
    for (std::int64_t i = 1; i <= count; ++i) {
      const std::string name = "language-" + std::to_string(i) + ".lng";
      Write(name, translated);
      destinations_.push_back((folder_ / name).string());
    }
  }
  ~Folder() {
    std::error_code ignored;
    fs::remove_all(folder_, ignored);
  }
  std::string Source() const { return (folder_ / "source.lng").string(); }
  const std::vector<std::string>& Destinations() const { return destinations_; }

 private:
  void Write(const std::string& name, const std::string& bytes) {
    if (!platform::ReplaceFileContents((folder_ / name).string(), bytes).ok()) {
      std::cerr << "Cannot write " << name << "\n";
      std::exit(2);
    }
  }

  fs::path folder_;
  std::vector<std::string> destinations_;
};

Folder& FolderOf(std::int64_t count, std::int64_t entries) {
  static std::unique_ptr<Folder> folder;
  static std::pair<std::int64_t, std::int64_t> made;
  if (!folder || made != std::pair{count, entries}) {
    folder.reset();
    folder = std::make_unique<Folder>(count, entries);
    made = {count, entries};
  }
  return *folder;
}

// Output that goes nowhere, counted, so that printing is measured but not
// the terminal.
class CountingBuffer : public std::streambuf {
 public:
  std::size_t count = 0;

 protected:
  int overflow(int c) override {
    ++count;
    return c;
  }
  std::streamsize xsputn(const char*, std::streamsize n) override {
    count += static_cast<std::size_t>(n);
    return n;
  }
};

// The reference: every file the command reads, read once into a document.
void ReadFolder(benchmark::State& state) {
  const Folder& folder = FolderOf(state.range(0), state.range(1));
  for (auto _ : state) {
    TMemIniFile source(folder.Source());
    benchmark::DoNotOptimize(&source);
    for (const std::string& name : folder.Destinations()) {
      TMemIniFile document(name);
      benchmark::DoNotOptimize(&document);
    }
  }
}

void RunCommand(benchmark::State& state, const char* command, bool spelling = true) {
  const Folder& folder = FolderOf(state.range(0), state.range(1));
  std::vector<std::string> arguments = {command, folder.Source()};
  if (!spelling) arguments.push_back("--no-spelling");
  arguments.insert(arguments.end(), folder.Destinations().begin(), folder.Destinations().end());
  CountingBuffer buffer;
  std::ostream out(&buffer);
  std::ostream err(&buffer);
  int status = 0;
  for (auto _ : state) status = cli::Run(arguments, out, err, {});
  const int expected = std::string_view(command) == "check" ? 1 : 0;
  if (status != expected) state.SkipWithError("The command did not end as expected");
  state.counters["output bytes"] =
      static_cast<double>(buffer.count) / static_cast<double>(state.iterations());
}

void Stats(benchmark::State& state) { RunCommand(state, "stats"); }
void Check(benchmark::State& state) { RunCommand(state, "check"); }
void CheckWithoutSpelling(benchmark::State& state) { RunCommand(state, "check", false); }

}  // namespace

void RegisterCommandLine() {
  for (auto* run : {benchmark::RegisterBenchmark("CommandLine/Read", ReadFolder),
                    benchmark::RegisterBenchmark("CommandLine/Stats", Stats),
                    benchmark::RegisterBenchmark("CommandLine/Check", Check),
                    benchmark::RegisterBenchmark("CommandLine/Check/NoSpelling",
                                                 CheckWithoutSpelling)}) {
    run->Args({1, 1'000})->Args({20, 100'000})->Unit(benchmark::kMillisecond)->UseRealTime()
        ->Repetitions(3)->ComputeStatistics("min", &Minimum);
  }
}

}  // namespace bench
