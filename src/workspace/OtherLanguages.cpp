#include "workspace/OtherLanguages.h"

#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <new>
#include <utility>

#include "langfile/FileErrors.h"
#include "langfile/LanguageFile.h"
#include "langfile/ProcFunc.h"
#include "platform/FileNames.h"
#include "platform/FileSystem.h"

namespace workspace {

namespace {

// Far beyond any language file (a million entries take some 50 MB), and
// short of what would make every Open crawl or take the session's memory
// for a text nobody asked for.
constexpr off_t kLargestFile = 64 * 1024 * 1024;

struct Listing {
  std::vector<std::string> names;
  int error = 0;  // why the folder could not be listed, or listed in full
};

// The names in `folder` whose extension is `extension`, letter case aside,
// in byte order. Nothing else of an entry is looked at here.
Listing NamesWithExtension(const std::string& folder, std::string_view extension) {
  Listing listing;
  struct Closer {
    void operator()(DIR* entries) const { ::closedir(entries); }
  };
  const std::unique_ptr<DIR, Closer> entries(::opendir(folder.c_str()));
  if (!entries) {
    listing.error = errno;
    return listing;
  }
  for (;;) {
    errno = 0;
    const dirent* entry = ::readdir(entries.get());
    if (entry == nullptr) {
      listing.error = errno;
      break;
    }
    const std::string_view name = entry->d_name;
    if (name == "." || name == "..") continue;
    if (platform::SameFileNameIgnoringCase(platform::ExtensionOf(name), extension))
      listing.names.emplace_back(name);
  }
  std::sort(listing.names.begin(), listing.names.end());
  return listing;
}

// Whether `name`, in a resolved folder, is another name for `file`, by the
// rule the Open command keeps a destination from naming the source with:
// the same file once links are followed, or a name that differs at most in
// letter case, which the sibling programs under Wine cannot tell apart.
bool NamesFile(const std::string& name, const std::string& file, const std::string& resolved) {
  return !file.empty() &&
         (platform::SameFileNameIgnoringCase(name, resolved) || platform::SameFile(name, file));
}

}  // namespace

void OtherLanguages::Load(const std::string& sourceFileName,
                          const std::string& destinationFileName) {
  std::vector<OtherLanguage> languages;
  std::vector<UnreadableLanguageFile> unreadable;
  const std::string_view extension = platform::ExtensionOf(destinationFileName);
  if (extension.empty()) {
    Clear();
    return;
  }
  // Resolved, so that every name below is spelled as the resolved source and
  // destination are, and the folder is the one it really is.
  const std::string destination = platform::WithResolvedFolder(destinationFileName);
  const std::string source = platform::WithResolvedFolder(sourceFileName);
  const std::size_t slash = destination.rfind('/');
  const std::string folder = slash == std::string::npos ? "./" : destination.substr(0, slash + 1);

  const Listing listing = NamesWithExtension(folder, extension);
  if (listing.error != 0) {
    const std::string named = folder.size() > 1 ? folder.substr(0, folder.size() - 1) : folder;
    unreadable.push_back({named, platform::ErrorText(listing.error)});
  }
  for (const std::string& name : listing.names) {
    const std::string fileName = folder + name;
    if (NamesFile(fileName, sourceFileName, source) ||
        NamesFile(fileName, destinationFileName, destination)) {
      continue;
    }
    // A document takes a missing name or a folder for an empty file, which
    // is right for a file about to be made, not for one listed here.
    struct stat info {};
    if (::stat(fileName.c_str(), &info) != 0) {
      unreadable.push_back({fileName, platform::ErrorText(errno)});
      continue;
    }
    if (S_ISDIR(info.st_mode)) {
      unreadable.push_back({fileName, platform::ErrorText(EISDIR)});
      continue;
    }
    if (S_ISREG(info.st_mode) && info.st_size > kLargestFile) {
      unreadable.push_back({fileName, "too large to show beside the translation"});
      continue;
    }
    // Anything else but a regular file (a FIFO, a device) the document
    // refuses before opening it, so reading never blocks.
    try {
      auto document = std::make_unique<const TMemIniFile>(fileName);
      langfile::LanguageHeader header = langfile::ReadHeader(*document);
      languages.push_back(
          {fileName, std::move(header.name), std::move(header.tag), std::move(document)});
    } catch (const EFOpenError& error) {
      unreadable.push_back({fileName, std::string(error.Reason())});
    } catch (const std::bad_alloc&) {
      // The translation itself needs memory more than a language beside it.
      unreadable.push_back({fileName, "not enough memory to read it"});
    }
  }
  languages_ = std::move(languages);
  unreadable_ = std::move(unreadable);
}

void OtherLanguages::Clear() {
  languages_.clear();
  unreadable_.clear();
}

std::optional<std::string> OtherLanguages::Text(std::size_t index, std::string_view section,
                                                std::string_view key) const {
  const std::optional<std::string_view> value =
      languages_.at(index).document->FindValue(section, key);
  if (!value) return std::nullopt;
  return std::string(ProcFunc::UnwrappedPart(*value));
}

}  // namespace workspace
