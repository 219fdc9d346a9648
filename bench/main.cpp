// Speed and memory of the program on large language files, measured in one
// process so that the budgets, which are ratios, hold on a noisy machine.
//
//   orvane-bench [--check] [Google Benchmark flags]
//
// prints every figure and then the budgets; with --check it exits with 1
// when a budget was missed or could not be measured.

#include <benchmark/benchmark.h>
#include <malloc.h>
#include <unistd.h>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QLineEdit>
#include <QScrollBar>
#include <QTest>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <filesystem>
#include <functional>
#include <iostream>
#include <map>
#include <memory>
#include <optional>
#include <utility>

#include "Budgets.h"
#include "CommandLine.h"
#include "InihReference.h"
#include "LanguageFileGenerator.h"
#include "MemoryProbe.h"
#include "Session.h"
#include "langfile/TMemIniFile.h"
#include "platform/FileSystem.h"
#include "platform/MessageStyle.h"
#include "ui/Controls.h"
#include "ui/TranslationGrid.h"
#include "ui/WindowDialogs.h"
#include "ui/f01_main.h"
#include "workspace/OtherLanguages.h"
#include "workspace/Workspace.h"

namespace {

namespace fs = std::filesystem;

constexpr std::int64_t kSizes[] = {1'000, 10'000, 100'000, 1'000'000};

// The files of one run, written on first use into a folder of their own and
// removed at the end.
class Files {
 public:
  Files() {
    std::string pattern = (fs::temp_directory_path() / "orvane-bench-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) {
      std::cerr << "Cannot create a folder for the benchmark's files\n";
      std::exit(2);
    }
    folder_ = pattern;
  }
  ~Files() {
    std::error_code ignored;
    fs::remove_all(folder_, ignored);
  }

  // A language file of `entries` entries in sections of 200.
  const std::string& Source(std::int64_t entries) { return Get("source", entries, 200); }
  // A copy of Source(entries), as a destination that is already complete.
  const std::string& Destination(std::int64_t entries) {
    return Get("destination", entries, 200);
  }
  // Source(entries) translated: every text ends in a colon that the source
  // lacks, so every row is checked and has a finding.
  const std::string& CheckedDestination(std::int64_t entries) {
    auto [found, added] = paths_.try_emplace("checked-" + std::to_string(entries));
    if (added) {
      found->second = Path(found->first);
      std::string bytes = bench::GenerateLanguageFile(static_cast<std::size_t>(entries));
      for (std::size_t at = 0; (at = bytes.find("%\r\n", at)) != std::string::npos; at += 4)
        bytes.insert(at++, 1, ':');
      Write(found->second, bytes);
    }
    return found->second;
  }
  // A file whose entries all sit in one section.
  const std::string& OneSection(std::int64_t entries) {
    return Get("one-section", entries, static_cast<std::size_t>(entries));
  }
  std::string Path(const std::string& name) const { return (folder_ / (name + ".lng")).string(); }
  // A folder of its own holding "source.lng", "destination.lng" and `count`
  // other translations, all of `entries` entries in sections of 200; its
  // name ends in "/".
  const std::string& LanguageFolder(std::int64_t count, std::int64_t entries) {
    auto [found, added] = paths_.try_emplace("languages-" + std::to_string(count) + "-" +
                                             std::to_string(entries));
    if (added) {
      found->second = (folder_ / found->first).string() + "/";
      fs::create_directory(found->second);
      const std::string bytes = bench::GenerateLanguageFile(static_cast<std::size_t>(entries));
      Write(found->second + "source.lng", bytes);
      Write(found->second + "destination.lng", bytes);
      for (std::int64_t i = 1; i <= count; ++i)
        Write(found->second + "language-" + std::to_string(i) + ".lng", bytes);
    }
    return found->second;
  }

 private:
  const std::string& Get(const std::string& kind, std::int64_t entries, std::size_t perSection) {
    auto [found, added] = paths_.try_emplace(kind + "-" + std::to_string(entries));
    if (added) {
      found->second = Path(found->first);
      Write(found->second,
            bench::GenerateLanguageFile(static_cast<std::size_t>(entries), perSection));
    }
    return found->second;
  }
  static void Write(const std::string& path, const std::string& bytes) {
    if (!platform::ReplaceFileContents(path, bytes).ok()) {
      std::cerr << "Cannot write " << path << "\n";
      std::exit(2);
    }
  }

  fs::path folder_;
  std::map<std::string, std::string> paths_;
};

Files* files = nullptr;
std::string executable;

void ReadTMemIniFile(benchmark::State& state) {
  const std::string& path = files->Source(state.range(0));
  std::size_t sections = 0;
  for (auto _ : state) {
    TMemIniFile document(path);
    TStringList names;
    document.GetSections(names);
    sections = names.size();
    benchmark::DoNotOptimize(sections);
  }
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(fs::file_size(path)));
  state.counters["sections"] = static_cast<double>(sections);
}

void ReadInih(benchmark::State& state) {
  const std::string& path = files->Source(state.range(0));
  std::vector<bench::InihSection> sections;
  for (auto _ : state) {
    if (!bench::ReadWithInih(path, sections)) state.SkipWithError("inih could not read the file");
    benchmark::DoNotOptimize(sections.data());
  }
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(fs::file_size(path)));
  state.counters["sections"] = static_cast<double>(sections.size());
  // Both readers must see the same file, or the comparison means nothing.
  if (bench::EntryCount(sections) != static_cast<std::size_t>(state.range(0)) + 6) {
    state.SkipWithError("inih read another number of entries");
  }
}

// Gives what the heap holds free back to the system, so that the next
// session faults its memory in afresh, as a session in a new process does.
// Left to the heap, that memory would be handed out again already faulted:
// the more iterations a size gets, the warmer it would run, and 100,000
// entries (some ten iterations) would be measured warm while 1,000,000 (one
// or two) ran cold. Huge pages need nothing of this: the blocks that get
// them are mapped for each document and unmapped with it.
void ReturnFreeMemory() { malloc_trim(0); }

void Session(benchmark::State& state) {
  const std::string& source = files->Source(state.range(0));
  const std::string& destination = files->Destination(state.range(0));
  std::optional<workspace::Workspace> workspace;
  for (auto _ : state) {
    // The session ends with its save; the table it leaves stays in the
    // window, so letting it go is not timed.
    state.PauseTiming();
    workspace.reset();
    ReturnFreeMemory();
    state.ResumeTiming();
    workspace.emplace(&bench::FixedNow);
    bench::RunSession(*workspace, source, destination);
    benchmark::DoNotOptimize(workspace->Table().RowCount());
  }
}

void SaveOneSection(benchmark::State& state) {
  workspace::Workspace workspace(&bench::FixedNow);
  workspace.LoadSource(files->OneSection(state.range(0)));
  const std::string target = files->Path("saved-" + std::to_string(state.range(0)));
  for (auto _ : state) {
    state.PauseTiming();
    fs::remove(target);  // every key is new to the file, so each one is added
    state.ResumeTiming();
    workspace.Save(target);
  }
}

// The other translations beside the destination, read when a destination is
// chosen: every file whole, from memory as cold as a session's.
void OtherLanguagesLoad(benchmark::State& state) {
  const std::string& folder = files->LanguageFolder(state.range(0), state.range(1));
  std::optional<workspace::OtherLanguages> others;
  for (auto _ : state) {
    state.PauseTiming();
    others.reset();
    ReturnFreeMemory();
    state.ResumeTiming();
    others.emplace().Load(folder + "source.lng", folder + "destination.lng");
  }
  if (!others || others->Languages().size() != static_cast<std::size_t>(state.range(0)) ||
      !others->Unreadable().empty()) {
    state.SkipWithError("Not every other language was read");
  }
}

// What the window does each time the current row moves: every other
// language's text for the row's section and key. Rows are visited out of
// order, so the documents' fingers do not find them.
void OtherLanguagesText(benchmark::State& state) {
  const std::string& folder = files->LanguageFolder(state.range(0), state.range(1));
  workspace::OtherLanguages others;
  others.Load(folder + "source.lng", folder + "destination.lng");
  const auto entries = static_cast<std::size_t>(state.range(1));
  std::vector<std::pair<std::string, std::string>> rows;
  for (std::size_t i = 0; i < entries; ++i)
    rows.emplace_back("Section" + std::to_string(i / 200 + 1), bench::GeneratedKey(i));
  std::size_t row = 0;
  std::size_t found = 0;
  for (auto _ : state) {
    row = (row + 7919) % entries;
    for (std::size_t i = 0; i < others.Languages().size(); ++i)
      found += others.Text(i, rows[row].first, rows[row].second).has_value();
  }
  if (found != static_cast<std::size_t>(state.iterations() * state.range(0)))
    state.SkipWithError("A text was not found");
}

// The program's window, shown offscreen, for every grid benchmark. It keeps
// no recovery journal: the tables come in without Open, through the
// workspace.
std::unique_ptr<TfMain> window;

void Show(TfMain& shown) {
  shown.show();
  if (!QTest::qWaitForWindowExposed(&shown)) {
    std::cerr << "The window was never shown\n";
    std::exit(2);
  }
}

TfMain& Window() {
  if (!window) {
    TfMainOptions options{{}, &bench::FixedNow};
    options.journalFolder = std::string();
    window = std::make_unique<TfMain>(std::move(options));
    Show(*window);
  }
  return *window;
}

// Answers the Open command's dialogs with the files it is given.
class FileAnswers : public WindowDialogs {
 public:
  std::optional<std::string> ChooseFile(QWidget*, FileDialogKind,
                                        const workspace::FileDialogRequest&) override {
    if (files.empty()) return std::nullopt;
    std::string file = std::move(files.front());
    files.pop_front();
    return file;
  }
  int Show(const ProcFunc::MessageBoxRequest&) override { return platform::kMessageOk; }
  std::deque<std::string> files;
};

// A window that opens its tables as the translator does, through Open and
// the file kind's dialogs, answered with the files a benchmark prepares.
struct OpenedWindow {
  FileAnswers answers;
  std::unique_ptr<TfMain> window;
  std::int64_t loaded = -1;
};

// Opens in `opened` (made on first use, keeping its journals in
// `journalFolder`, none when empty) the source and destination that
// `prepare` gives for `entries`, unless they are open already.
using FilePair = std::pair<std::string, std::string>;
TfMain& OpenInWindow(OpenedWindow& opened, const std::string& journalFolder, std::int64_t entries,
                     const std::function<FilePair()>& prepare) {
  if (!opened.window) {
    TfMainOptions options{{}, &bench::FixedNow, &opened.answers};
    options.journalFolder = journalFolder;
    opened.window = std::make_unique<TfMain>(std::move(options));
    Show(*opened.window);
  }
  if (opened.loaded != entries) {
    auto [source, destination] = prepare();
    opened.answers.files = {std::move(source), std::move(destination)};
    opened.window->cbProgram->setCurrentIndex(1);
    opened.window->bitOpen->click();
    QApplication::processEvents();
    opened.loaded = entries;
  }
  return *opened.window;
}

// Every edit of this window goes into a recovery journal.
OpenedWindow journaled;

TfMain& JournaledWindow(std::int64_t entries) {
  return OpenInWindow(journaled, files->Path("journals") + "/", entries, [&] {
    // A copy: the session saves into its destination.
    const std::string destination = files->Path("journaled-" + std::to_string(entries));
    fs::copy_file(files->Destination(entries), destination, fs::copy_options::overwrite_existing);
    return FilePair{files->Source(entries), destination};
  });
}

// Puts the session on `entries` into the window, unless it is there.
void LoadWindow(std::int64_t entries) {
  static std::int64_t loaded = -1;
  if (loaded == entries) return;
  Window().ChangeWorkspace([&](workspace::Workspace& workspace) {
    bench::RunSession(workspace, files->Source(entries), files->Destination(entries));
  });
  QApplication::processEvents();
  loaded = entries;
}

void GridShow(benchmark::State& state) {
  LoadWindow(state.range(0));
  TfMain& window = Window();
  for (auto _ : state) {
    // The table is handed to the grid afresh, as after a load, and the
    // window painted, as the user first sees it.
    window.ChangeWorkspace([](workspace::Workspace&) {});
    QApplication::processEvents();
    window.repaint();
  }
}

void GridScroll(benchmark::State& state) {
  LoadWindow(state.range(0));
  TranslationGrid& grid = *Window().sgPreklad;
  QScrollBar& bar = *grid.verticalScrollBar();
  bool down = false;
  for (auto _ : state) {
    down = !down;
    bar.setValue(down ? bar.maximum() : bar.minimum());
    grid.viewport()->repaint();
  }
}

// Gives the focus to the editor of the fourth row's translation.
QWidget* OpenEditor(TfMain& window, int row = 3) {
  TranslationGrid& grid = *window.sgPreklad;
  grid.scrollToTop();
  grid.setCurrentIndex(grid.model()->index(row, 0));
  window.activateWindow();
  grid.setFocus(Qt::OtherFocusReason);
  QApplication::processEvents();
  QWidget* editor = QApplication::focusWidget();
  return qobject_cast<QLineEdit*>(editor) ? editor : nullptr;
}

void TypeInto(TfMain& window, benchmark::State& state) {
  TranslationGrid& grid = *window.sgPreklad;
  QWidget* editor = OpenEditor(window);
  if (editor == nullptr) {
    state.SkipWithError("The grid opened no editor");
    return;
  }
  bool typed = false;
  for (auto _ : state) {
    // A letter, then its removal: the text changes on every key, as typing does.
    typed = !typed;
    if (typed) {
      QTest::sendKeyEvent(QTest::Click, editor, Qt::Key_A, QStringLiteral("a"), {});
    } else {
      QTest::sendKeyEvent(QTest::Click, editor, Qt::Key_Backspace, QString(), {});
    }
    grid.viewport()->repaint();
  }
}

void GridType(benchmark::State& state) {
  LoadWindow(state.range(0));
  TypeInto(Window(), state);
}

void GridTypeJournaled(benchmark::State& state) {
  TypeInto(JournaledWindow(state.range(0)), state);
  // Shows that the keystrokes did reach a journal, and how little it grew.
  std::uintmax_t bytes = 0;
  std::error_code none;
  for (const auto& entry : fs::directory_iterator(files->Path("journals") + "/", none))
    bytes += entry.file_size();
  if (bytes == 0) state.SkipWithError("No journal was written");
  state.counters["journal_kB"] = static_cast<double>(bytes) / 1e3;
}

// A translation whose every row the checks, spelling included, have found
// something in.
OpenedWindow checked;

TfMain& CheckedWindow(std::int64_t entries) {
  return OpenInWindow(checked, std::string(), entries, [&] {
    return FilePair{files->Source(entries), files->CheckedDestination(entries)};
  });
}

// Typing where every row has findings: the keystroke rechecks its own row.
void GridTypeChecked(benchmark::State& state) {
  TfMain& window = CheckedWindow(state.range(0));
  if (window.findChild<QLabel*>("lblWarnings")->text().isEmpty()) {
    state.SkipWithError("Nothing was found to warn of");
    return;
  }
  TypeInto(window, state);
}

// Checking every row again, as after a load or a merge, with the table
// handed to the grid afresh.
void ViewCheckAll(benchmark::State& state) {
  TfMain& window = CheckedWindow(state.range(0));
  for (auto _ : state) window.ChangeWorkspace([](workspace::Workspace&) {});
}

// Undo and redo of one cell's edit, in the middle of the table, as the
// window's shortcuts run them.
void GridUndo(benchmark::State& state) {
  LoadWindow(state.range(0));
  TfMain& window = Window();
  const int middle = static_cast<int>(window.Workspace().Table().RowCount() / 2);
  QWidget* editor = OpenEditor(window, middle);
  auto* undo = window.findChild<QAction*>("actUndo");
  auto* redo = window.findChild<QAction*>("actRedo");
  if (editor == nullptr || undo == nullptr || redo == nullptr) {
    state.SkipWithError("No editor or no undo in the window");
    return;
  }
  QTest::sendKeyEvent(QTest::Click, editor, Qt::Key_A, QStringLiteral("a"), {});
  window.sgPreklad->setCurrentIndex(window.sgPreklad->model()->index(middle + 1, 0));
  bool undone = false;
  for (auto _ : state) {
    undone = !undone;
    (undone ? undo : redo)->trigger();
    window.sgPreklad->viewport()->repaint();
  }
  if (undone) undo->trigger();
}

// A window on a folder of its own: the source, the destination and nine
// other languages of `entries` entries, so that the source pane has a line
// for each language to fill.
OpenedWindow view;

TfMain& ViewWindow(std::int64_t entries) {
  return OpenInWindow(view, std::string(), entries, [&] {
    const fs::path folder = files->Path("view-" + std::to_string(entries));
    fs::create_directories(folder);
    const auto copy = [&](const std::string& from, const std::string& name) {
      fs::copy_file(from, folder / name, fs::copy_options::overwrite_existing);
      return (folder / name).string();
    };
    for (const char* other : {"cs", "de", "fr", "hu", "it", "nl", "pl", "pt", "ro"})
      copy(files->Destination(entries), std::string(other) + ".lng");
    return FilePair{copy(files->Source(entries), "en.lng"),
                    copy(files->Destination(entries), "sk.lng")};
  });
}

// Moving the current row between two rows in the middle: the pane shows the
// source text and the nine other languages' texts of each.
void ViewPane(benchmark::State& state) {
  TfMain& window = ViewWindow(state.range(0));
  TranslationGrid& grid = *window.sgPreklad;
  const int middle = grid.model()->rowCount() / 2;
  bool down = false;
  for (auto _ : state) {
    down = !down;
    grid.setCurrentIndex(grid.model()->index(middle + (down ? 2 : 0), 0));
  }
}

// Find-next after an edit, so that every press looks through the whole
// table again, for a text that only the last rows hold.
void ViewFindNext(benchmark::State& state) {
  TfMain& window = ViewWindow(state.range(0));
  auto* field = window.findChild<QLineEdit*>("eFind");
  auto* next = window.findChild<QAction*>("actFindNext");
  if (field == nullptr || next == nullptr) {
    state.SkipWithError("No find bar in the window");
    return;
  }
  field->setText(QString::number(state.range(0) - 1));
  workspace::Workspace& workspace = window.Workspace();
  const std::size_t row = workspace.Table().RowCount() / 2;
  const std::string original(workspace.Table().Translation(row));
  bool changed = false;
  for (auto _ : state) {
    state.PauseTiming();
    changed = !changed;
    workspace.Edit({workspace::EditField::Translation, row}, changed ? original + "x" : original);
    state.ResumeTiming();
    next->trigger();
  }
  field->clear();
}

// Switching "Untranslated only" on and off, one switch an iteration.
void ViewFilter(benchmark::State& state) {
  TfMain& window = ViewWindow(state.range(0));
  auto* box = window.findChild<QCheckBox*>("cbUntranslatedOnly");
  if (box == nullptr) {
    state.SkipWithError("No filter in the window");
    return;
  }
  for (auto _ : state) box->toggle();
  box->setChecked(false);
}

void MemorySession(benchmark::State& state) {
  const std::string& source = files->Source(state.range(0));
  const std::string& destination = files->Destination(state.range(0));
  std::optional<bench::SessionFigures> figures;
  for (auto _ : state) figures = bench::MeasureSessionInChild(executable, source, destination);
  if (!figures) {
    state.SkipWithError("The session in the child process failed");
    return;
  }
  const double above = static_cast<double>(figures->peakBytes - figures->baselineBytes);
  state.counters["peak_above_baseline_MB"] = above / 1e6;
  state.counters["file_MB"] = static_cast<double>(fs::file_size(source)) / 1e6;
  state.counters["peak_per_file_byte"] = above / static_cast<double>(fs::file_size(source));
}

// The part of a session that no work on the rows can save: both files read,
// the destination replaced with the same durability a save has.
void SessionFloor(benchmark::State& state) {
  const std::string& source = files->Source(state.range(0));
  const std::string& destination = files->Destination(state.range(0));
  std::string bytes;
  if (!platform::ReadWholeFile(source, bytes).ok) state.SkipWithError("cannot read the source");
  for (auto _ : state) {
    state.PauseTiming();
    ReturnFreeMemory();  // as cold as the session it is held against
    state.ResumeTiming();
    TMemIniFile read(source);
    TMemIniFile merged(destination);
    if (!platform::ReplaceFileContents(destination, bytes).ok()) {
      state.SkipWithError("cannot replace the destination");
    }
  }
}

// What a translator waits for on the first Open after starting the
// program: nothing is faulted in, nothing is left over from an earlier
// session. Starting the process is not timed; the program does that before
// the translator chooses a file.
void SessionFreshProcess(benchmark::State& state) {
  const std::string& source = files->Source(state.range(0));
  const std::string& destination = files->Destination(state.range(0));
  for (auto _ : state) {
    const auto figures = bench::MeasureSessionInChild(executable, source, destination);
    if (!figures) {
      state.SkipWithError("The session in the child process failed");
      break;
    }
    state.SetIterationTime(figures->seconds);
  }
}

double Minimum(const std::vector<double>& values) {
  return *std::min_element(values.begin(), values.end());
}

void Register() {
  auto sized = [](benchmark::internal::Benchmark* benchmark, benchmark::TimeUnit unit) {
    for (std::int64_t size : kSizes) benchmark->Arg(size);
    benchmark->Unit(unit)->UseRealTime()->Repetitions(3)->ComputeStatistics("min", &Minimum);
  };
  sized(benchmark::RegisterBenchmark("Read/TMemIniFile", ReadTMemIniFile), benchmark::kMillisecond);
  sized(benchmark::RegisterBenchmark("Read/inih", ReadInih), benchmark::kMillisecond);
  sized(benchmark::RegisterBenchmark("Session", Session), benchmark::kMillisecond);
  benchmark::RegisterBenchmark("Session/Floor", SessionFloor)
      ->Arg(1'000)->Arg(100'000)->Arg(1'000'000)
      ->Unit(benchmark::kMillisecond)->UseRealTime()->Repetitions(3)
      ->ComputeStatistics("min", &Minimum);
  benchmark::RegisterBenchmark("Session/FreshProcess", SessionFreshProcess)
      ->Arg(1'000)->Arg(100'000)->Iterations(1)
      ->Unit(benchmark::kMillisecond)->UseManualTime()->Repetitions(3)
      ->ComputeStatistics("min", &Minimum);
  sized(benchmark::RegisterBenchmark("SaveOneSection", SaveOneSection), benchmark::kMillisecond);
  // 40 translations of a program of 5,000 entries.
  benchmark::RegisterBenchmark("OtherLanguages/Load", OtherLanguagesLoad)
      ->Args({40, 5'000})->Unit(benchmark::kMillisecond)->UseRealTime()->Repetitions(3)
      ->ComputeStatistics("min", &Minimum);
  benchmark::RegisterBenchmark("OtherLanguages/Text", OtherLanguagesText)
      ->Args({40, 5'000})->Unit(benchmark::kMicrosecond)->UseRealTime()->Repetitions(3)
      ->ComputeStatistics("min", &Minimum);
  benchmark::RegisterBenchmark("Grid/Show", GridShow)
      ->Arg(1'000)->Arg(100'000)->Arg(1'000'000)
      ->Unit(benchmark::kMillisecond)->UseRealTime()->Repetitions(3)
      ->ComputeStatistics("min", &Minimum);
  for (auto* grid : {benchmark::RegisterBenchmark("Grid/Scroll", GridScroll),
                     benchmark::RegisterBenchmark("Grid/Type", GridType),
                     benchmark::RegisterBenchmark("Grid/Undo", GridUndo)}) {
    grid->Arg(1'000)->Arg(1'000'000)->Unit(benchmark::kMicrosecond)->UseRealTime()
        ->Repetitions(3)->ComputeStatistics("min", &Minimum);
  }
  // With and without the journal, on the same table; and on a table where
  // every row has findings.
  for (auto* grid : {benchmark::RegisterBenchmark("Grid/Type", GridType),
                     benchmark::RegisterBenchmark("Grid/Type/Journaled", GridTypeJournaled),
                     benchmark::RegisterBenchmark("Grid/Type/Checked", GridTypeChecked)}) {
    grid->Arg(100'000)->Unit(benchmark::kMicrosecond)->UseRealTime()->Repetitions(3)
        ->ComputeStatistics("min", &Minimum);
  }
  for (auto* view : {benchmark::RegisterBenchmark("View/Pane", ViewPane),
                     benchmark::RegisterBenchmark("View/FindNext", ViewFindNext),
                     benchmark::RegisterBenchmark("View/Filter", ViewFilter),
                     benchmark::RegisterBenchmark("View/CheckAll", ViewCheckAll)}) {
    view->Arg(1'000)->Arg(100'000)->Unit(benchmark::kMillisecond)->UseRealTime()
        ->Repetitions(3)->ComputeStatistics("min", &Minimum);
  }
  bench::RegisterCommandLine();
  benchmark::RegisterBenchmark("Memory/Session", MemorySession)
      ->Arg(1'000)->Arg(100'000)->Arg(1'000'000)->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();
}

}  // namespace

int main(int argc, char** argv) {
  int probeExit = 0;
  platform::OverrideSystemCodePage(1250);
  if (bench::RunProbeIfAsked(argc, argv, probeExit)) return probeExit;

  bool check = false;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--check") == 0) {
      check = true;
      for (int j = i; j < argc; ++j) argv[j] = argv[j + 1];
      --argc;
      break;
    }
  }
  benchmark::Initialize(&argc, argv);
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication application(argc, argv);

  executable = fs::read_symlink("/proc/self/exe").string();
  Files scratch;
  files = &scratch;
  Register();

  bench::CollectingReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();
  window.reset();
  journaled.window.reset();
  view.window.reset();
  checked.window.reset();
  const bool allMet = bench::PrintBudgets(bench::JudgeBudgets(reporter), std::cout);
  bench::PrintFigures(reporter, std::cout);
  if (reporter.AnyFailed()) return 1;
  return check && !allMet ? 1 : 0;
}
