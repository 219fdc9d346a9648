#include "cli/LngTool.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <condition_variable>
#include <cstdio>
#include <exception>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string_view>
#include <thread>
#include <vector>

#include "langfile/FileErrors.h"
#include "langfile/LanguageFile.h"
#include "langfile/TMemIniFile.h"
#include "platform/CodePage.h"
#include "platform/FileSystem.h"
#include "workspace/Commands.h"
#include "workspace/DestinationReport.h"
#include "workspace/Progress.h"
#include "workspace/Spelling.h"

namespace cli {

namespace {

constexpr std::string_view kProgram = "orvane-lng";

constexpr std::string_view kUsage =
    "Usage: orvane-lng COMMAND [OPTION]... SOURCE DEST...\n"
    "\n"
    "Compares translations (DEST) with the language file they translate (SOURCE).\n"
    "\n"
    "Commands:\n"
    "  stats   one line per DEST: its name and tag, its entries, how many are\n"
    "          translated and untranslated, and the share translated\n"
    "  check   every finding in DEST, as DEST:LINE: warning: [kind] [section] key: message\n"
    "          (kinds: placeholders, accelerator, edges, line-breaks, spelling)\n"
    "  update  adds the keys and sections that SOURCE has and DEST lacks, with the\n"
    "          source's text, dates DEST today and saves it, as Open and Save do\n"
    "\n"
    "Options:\n"
    "  --json       stats, check: print JSON instead\n"
    "  --keep-date  update: keep the date DEST holds\n"
    "  --dry-run    update: print what would be added, write nothing\n"
    "  --no-spelling  check: leave spelling out (it is checked whenever a\n"
    "               dictionary for the translation's tag is installed)\n"
    "  --help       print this help and exit\n"
    "  --version    print the version and exit\n"
    "\n"
    "Texts are printed in UTF-8; the files are read in the code page of the\n"
    "user's locale, as the window reads them.\n"
    "\n"
    "Exit status: 0 when all went well, 1 when check found something,\n"
    "2 on a usage error or when a file cannot be read or written.\n";

enum class Command { Stats, Check, Update };

struct Options {
  Command command = Command::Stats;
  bool json = false;
  bool keepDate = false;
  bool dryRun = false;
  bool spelling = true;
  std::string source;
  std::vector<std::string> destinations;
};

// A file's text for the terminal and for JSON, which both take UTF-8.
std::string Shown(std::string_view bytes) {
  return platform::Utf8FromCodePage(bytes, platform::SystemCodePage());
}

// `text` as a JSON string. File names are the file system's bytes and need
// not be UTF-8; what is not becomes U+FFFD, so the output stays JSON.
std::string JsonString(std::string_view text) {
  std::string json = "\"";
  for (std::size_t i = 0; i < text.size();) {
    const auto byte = static_cast<unsigned char>(text[i]);
    if (byte < 0x80) {
      switch (byte) {
        case '"': json += "\\\""; break;
        case '\\': json += "\\\\"; break;
        case '\n': json += "\\n"; break;
        case '\r': json += "\\r"; break;
        case '\t': json += "\\t"; break;
        default:
          if (byte < 0x20) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04x", byte);
            json += escaped;
          } else {
            json += static_cast<char>(byte);
          }
      }
      ++i;
      continue;
    }
    // A well-formed sequence of two to four bytes goes through as it is.
    std::size_t length = byte >= 0xF0 ? 4 : byte >= 0xE0 ? 3 : byte >= 0xC2 ? 2 : 0;
    if (byte > 0xF4 || i + length > text.size()) length = 0;
    for (std::size_t k = 1; k < length; ++k)
      if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80) length = 0;
    if (length >= 3) {
      const auto second = static_cast<unsigned char>(text[i + 1]);
      // Overlong forms, UTF-16 surrogates and code points past U+10FFFF.
      if ((byte == 0xE0 && second < 0xA0) || (byte == 0xED && second >= 0xA0) ||
          (byte == 0xF0 && second < 0x90) || (byte == 0xF4 && second >= 0x90))
        length = 0;
    }
    if (length == 0) {
      json += "\xEF\xBF\xBD";
      ++i;
    } else {
      json.append(text.substr(i, length));
      i += length;
    }
  }
  return json + "\"";
}

// "Name (tag)", the way the window names a language; either part alone when
// the other is empty.
std::string LanguageLabel(const langfile::LanguageHeader& header) {
  if (header.name.empty()) return header.tag.empty() ? std::string() : "(" + Shown(header.tag) + ")";
  if (header.tag.empty()) return Shown(header.name);
  return Shown(header.name) + " (" + Shown(header.tag) + ")";
}

// The reason in a file error, or the whole message of any other.
std::string ReasonOf(const std::exception& error) {
  if (const auto* fileError = dynamic_cast<const EFileStreamError*>(&error))
    return std::string(fileError->Reason());
  return error.what();
}

class Tool {
 public:
  Tool(const Options& options, std::ostream& out, std::ostream& err,
       const Environment& environment)
      : options_(options), out_(out), err_(err), environment_(environment) {}

  int Run();

 private:
  // Says why `name` cannot be read, and false, when it is no file to work
  // on: a missing one would read as an empty translation, and update would
  // create it.
  bool Readable(const std::string& name);
  void Fail(std::string_view name, std::string_view reason) {
    err_ << kProgram << ": " << name << ": " << reason << '\n';
    failed_ = true;
  }
  void ReportAll(const std::vector<std::string>& destinations,
                 const workspace::TranslationTable& source);
  void Print(const std::string& destination, const workspace::DestinationReport& report,
             const workspace::TranslationTable& source);
  void Update(const std::string& destination);

  const Options& options_;
  std::ostream& out_;
  std::ostream& err_;
  const Environment& environment_;
  bool failed_ = false;
  bool found_ = false;
  std::size_t printed_ = 0;  // JSON objects so far, for the commas between them
};

bool Tool::Readable(const std::string& name) {
  if (platform::FileExists(name)) return true;
  int error = platform::LookUpError(name);
  if (error == 0) error = platform::DirectoryExists(name) ? EISDIR : ENOENT;
  Fail(name, platform::ErrorText(error));
  return false;
}

int Tool::Run() {
  if (!Readable(options_.source)) return kExitError;
  // One source for every destination: stats and check only look things up
  // in it; update changes its table, so it loads its own for each.
  workspace::Workspace source(environment_.clock);
  if (options_.command != Command::Update) {
    try {
      source.LoadSource(options_.source);
    } catch (const std::exception& error) {
      Fail(options_.source, ReasonOf(error));
      return kExitError;
    }
  }
  // Refusals are said first, in the order of the files; what is left is
  // worked on.
  std::vector<std::string> accepted;
  for (const std::string& destination : options_.destinations) {
    if (workspace::NamesTheSource(destination, options_.source)) {
      Fail(destination, workspace::kSameFileMessage);
      continue;
    }
    if (Readable(destination)) accepted.push_back(destination);
  }
  if (options_.json) out_ << "[";
  if (options_.command == Command::Update) {
    for (const std::string& destination : accepted) {
      try {
        Update(destination);
      } catch (const std::exception& error) {
        Fail(destination, ReasonOf(error));
      }
    }
  } else {
    ReportAll(accepted, source.Table());
  }
  if (options_.json) out_ << (printed_ > 0 ? "\n]\n" : "]\n");
  out_.flush();
  if (failed_) return kExitError;
  return found_ ? kExitFindings : kExitClean;
}

namespace {

// One destination's report, or why there is none.
struct Reported {
  std::optional<workspace::DestinationReport> report;
  std::string error;
};

// The reports of `destinations`, each handed to `take` in their order as soon
// as it and those before it are done. Files are read and checked on as many
// threads as the machine has cores, each thread with spellers of its own,
// since a speller serves one thread; the source's table is only read.
void ReportInOrder(const std::vector<std::string>& destinations,
                   const workspace::TranslationTable& source, bool check, bool spelling,
                   const std::function<void(std::size_t, Reported&)>& take) {
  const std::size_t count = destinations.size();
  std::vector<Reported> reports(count);
  std::vector<bool> done(count, false);
  std::mutex mutex;
  std::condition_variable finished;
  std::atomic<std::size_t> next{0};
  auto work = [&] {
    std::map<std::string, std::unique_ptr<workspace::Speller>> spellers;
    for (std::size_t i; (i = next++) < count;) {
      Reported reported;
      try {
        const TMemIniFile document(destinations[i]);
        const workspace::Speller* speller = nullptr;
        if (check && spelling) {
          // Destinations of one language share their dictionary.
          const std::string tag = langfile::ReadHeader(document).tag;
          auto [found, added] = spellers.try_emplace(tag);
          if (added) found->second = workspace::Speller::ForTag(tag, platform::SystemCodePage());
          speller = found->second.get();
        }
        reported.report = workspace::ReportOn(source, document, check, speller);
      } catch (const std::exception& error) {
        reported.error = ReasonOf(error);
      }
      std::lock_guard lock(mutex);
      reports[i] = std::move(reported);
      done[i] = true;
      finished.notify_all();
    }
  };
  const std::size_t threads =
      std::clamp<std::size_t>(std::thread::hardware_concurrency(), 1, std::min<std::size_t>(count, 8));
  std::vector<std::jthread> workers;
  for (std::size_t t = 0; t < threads; ++t) workers.emplace_back(work);
  for (std::size_t i = 0; i < count; ++i) {
    std::unique_lock lock(mutex);
    finished.wait(lock, [&] { return done[i]; });
    Reported reported = std::move(reports[i]);
    lock.unlock();
    take(i, reported);
  }
}

}  // namespace

void Tool::ReportAll(const std::vector<std::string>& destinations,
                     const workspace::TranslationTable& source) {
  ReportInOrder(destinations, source, options_.command == Command::Check, options_.spelling,
                [&](std::size_t i, Reported& reported) {
                  if (reported.report)
                    Print(destinations[i], *reported.report, source);
                  else
                    Fail(destinations[i], reported.error);
                });
}

void Tool::Print(const std::string& destination, const workspace::DestinationReport& report,
                 const workspace::TranslationTable& source) {
  const bool check = options_.command == Command::Check;
  auto open = [&] { out_ << (printed_++ > 0 ? ",\n  {" : "\n  {"); };
  if (!check) {
    const workspace::Progress progress(report.entries, report.untranslated);
    if (options_.json) {
      open();
      out_ << "\"file\": " << JsonString(destination)
           << ", \"tag\": " << JsonString(Shown(report.header.tag))
           << ", \"name\": " << JsonString(Shown(report.header.name))
           << ", \"entries\": " << report.entries << ", \"translated\": " << progress.Translated()
           << ", \"untranslated\": " << report.untranslated << ", \"percentage\": " << progress.Percent() << "}";
    } else {
      const std::string label = LanguageLabel(report.header);
      out_ << destination << ": " << (label.empty() ? "" : label + ": ") << progress.Text() << '\n';
    }
    return;
  }
  for (const workspace::ReportedFinding& reported : report.findings) {
    found_ = true;
    const std::string section = Shown(source.SectionOf(reported.row));
    const std::string key = Shown(source.Key(reported.row));
    const std::string_view kind = workspace::CheckKindName(reported.finding.kind);
    const std::string message = Shown(reported.finding.message);
    if (options_.json) {
      open();
      out_ << "\"file\": " << JsonString(destination) << ", \"line\": " << reported.line
           << ", \"kind\": " << JsonString(kind) << ", \"section\": " << JsonString(section)
           << ", \"key\": " << JsonString(key) << ", \"message\": " << JsonString(message) << "}";
    } else {
      out_ << destination << ':' << reported.line << ": warning: [" << kind << "] [" << section
           << "] " << key << ": " << message << '\n';
    }
  }
}

void Tool::Update(const std::string& destination) {
  // The window's Open and then Save into an existing destination, step by
  // step, so the bytes cannot differ.
  workspace::Workspace work(environment_.clock);
  try {
    work.LoadSource(options_.source);
  } catch (const std::exception& error) {
    Fail(options_.source, ReasonOf(error));
    return;
  }
  std::unique_ptr<TMemIniFile> merged =
      work.StartDestination(platform::FullPathName(destination));

  const workspace::TranslationTable& table = work.Table();
  std::size_t keys = 0;
  std::size_t sections = 0;
  std::optional<std::size_t> position;
  bool sectionCounted = false;
  const std::string_view verb = options_.dryRun ? "would add" : "added";
  for (std::size_t row = 1; row < table.RowCount(); ++row) {
    if (table.Kind(row) == workspace::RowKind::Section) {
      position = merged->SectionPosition(table.SectionName(row));
      sectionCounted = false;
      continue;
    }
    if (!table.IsKey(row)) continue;
    if (position && merged->FindValueAt(*position, table.Key(row))) continue;
    // A section the source has only with keys the destination lacks comes
    // with its first key; one without key rows is never written.
    if (!position && !sectionCounted) {
      sectionCounted = true;
      ++sections;
    }
    ++keys;
    out_ << destination << ": " << verb << " [" << Shown(table.SectionOf(row)) << "] "
         << Shown(table.Key(row)) << '\n';
  }

  if (options_.keepDate) {
    // The date the file holds, if it reads as one; else today's, as always.
    const std::string kept =
        merged->GetValue(langfile::kHeaderSection, langfile::kDateKey, "");
    work.Edit({workspace::EditField::Date, 0}, kept);
    if (work.Value({workspace::EditField::Date, 0}) != kept)
      err_ << kProgram << ": " << destination << ": the date \"" << Shown(kept)
           << "\" is no date; it becomes today's\n";
  }
  if (!options_.dryRun) work.Save(work.DestinationFileName(), std::move(merged));

  const bool dry = options_.dryRun;
  out_ << destination << ": ";
  if (keys == 0)
    out_ << (dry ? "no keys to add" : "no keys added");
  else
    out_ << keys << (keys == 1 ? " key" : " keys") << (dry ? " to add" : " added");
  if (sections > 0) out_ << ", " << sections << (sections == 1 ? " new section" : " new sections");
  out_ << (dry ? " (dry run, nothing written)\n" : "\n");
}

// Reads the command line into `options`; false, with the complaint said,
// when it makes no sense.
bool Parse(std::span<const std::string> arguments, Options& options, std::ostream& err) {
  auto complain = [&](const std::string& what) {
    err << kProgram << ": " << what << "\nTry 'orvane-lng --help'.\n";
    return false;
  };
  std::vector<std::string> operands;
  bool optionsEnd = false;
  for (const std::string& argument : arguments) {
    if (optionsEnd || argument.size() < 2 || argument[0] != '-') {
      operands.push_back(argument);
    } else if (argument == "--") {
      optionsEnd = true;
    } else if (argument == "--json") {
      options.json = true;
    } else if (argument == "--keep-date") {
      options.keepDate = true;
    } else if (argument == "--dry-run") {
      options.dryRun = true;
    } else if (argument == "--no-spelling") {
      options.spelling = false;
    } else {
      return complain("unknown option '" + argument + "'");
    }
  }
  if (operands.empty()) return complain("no command given");
  const std::string& command = operands.front();
  if (command == "stats")
    options.command = Command::Stats;
  else if (command == "check")
    options.command = Command::Check;
  else if (command == "update")
    options.command = Command::Update;
  else
    return complain("unknown command '" + command + "'");
  if (operands.size() < 3) return complain(command + " needs a SOURCE and at least one DEST");
  const bool updating = options.command == Command::Update;
  if (options.json && updating) return complain("--json goes with stats and check");
  if ((options.keepDate || options.dryRun) && !updating)
    return complain(std::string(options.keepDate ? "--keep-date" : "--dry-run") +
                    " goes with update");
  if (!options.spelling && options.command != Command::Check)
    return complain("--no-spelling goes with check");
  options.source = operands[1];
  options.destinations.assign(operands.begin() + 2, operands.end());
  return true;
}

}  // namespace

int Run(std::span<const std::string> arguments, std::ostream& out, std::ostream& err,
        const Environment& environment) {
  // Help and version win wherever they stand, as users expect of them.
  for (const std::string& argument : arguments) {
    if (argument == "--") break;
    if (argument == "--help" || argument == "-h") {
      out << kUsage;
      return kExitClean;
    }
    if (argument == "--version") {
      out << kProgram << " (Orvane translator) "
          << (environment.version.empty() ? "without a version record"
                                          : "v " + environment.version)
          << '\n';
      return kExitClean;
    }
  }
  Options options;
  if (!Parse(arguments, options, err)) return kExitError;
  return Tool(options, out, err, environment).Run();
}

}  // namespace cli
