#pragma once

// The in-memory INI document through which every language file and settings
// file is read and written.
//
// A document reads its whole file once, at creation, and touches the disk
// again only in WriteBack. Texts are bytes in the system's code page, kept
// exactly as read; names of sections and keys are found regardless of letter
// case (accented letters included), and of several equal names the last one
// is found.
//
// A document keeps the file's bytes in one piece and views into them, so
// reading allocates per section, not per entry. Lookups remember where they
// ended and try the next text first, which makes walking a section in order
// cheap; a document is therefore not to be used from two threads at once,
// not even for reading.

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "langfile/FileErrors.h"
#include "langfile/TStringList.h"
#include "langfile/DocumentMemory.h"
#include "langfile/ViewList.h"

class TCustomIniFile {
 public:
  explicit TCustomIniFile(std::string fileName) : fileName_(std::move(fileName)) {}
  TCustomIniFile(const TCustomIniFile&) = delete;
  TCustomIniFile& operator=(const TCustomIniFile&) = delete;
  virtual ~TCustomIniFile() = default;

  // The name as given at creation; a relative name is resolved against the
  // current folder whenever the file is opened.
  const std::string& FileName() const { return fileName_; }

  // The value of `key` in `section`, or `fallback` when either is missing.
  // A key that is present with an empty value gives the empty text.
  virtual std::string GetValue(std::string_view section, std::string_view key,
                               std::string_view fallback) const = 0;
  // The value of `key` in `section`, or nothing when either is missing; tells
  // an absent entry from one that holds the fallback's text. The view lasts
  // until the document is next changed.
  virtual std::optional<std::string_view> FindValue(std::string_view section,
                                                    std::string_view key) const = 0;
  // Sets the key's entry to key=value, joined verbatim; adds the section
  // at the end of the document, or the entry at the end of the section, when
  // missing.
  virtual void SetValue(std::string_view section, std::string_view key,
                        std::string_view value) = 0;
  // Empties `keys`, then lists the name of every entry of the section, in
  // order; an entry without a name gives the empty text.
  virtual void GetKeys(std::string_view section, TStringList& keys) const = 0;
  // Empties `sections`, then lists every section name in document order.
  virtual void GetSections(TStringList& sections) const = 0;
  // Replaces the file with the whole document.
  virtual void WriteBack() = 0;

 private:
  std::string fileName_;
};

class TMemIniFile : public TCustomIniFile {
 public:
  // Reads `fileName`. A missing file, an empty name or a folder give an
  // empty document; an existing file that cannot be read raises EFOpenError.
  explicit TMemIniFile(const std::string& fileName);

  // A document made from `bytes` as if they had been read from `fileName`,
  // which only a later WriteBack uses; bytes with a NUL byte are refused
  // there as a file with one would be.
  static TMemIniFile FromText(std::string_view bytes, const std::string& fileName = {});

  std::string GetValue(std::string_view section, std::string_view key,
                       std::string_view fallback) const override;
  std::optional<std::string_view> FindValue(std::string_view section,
                                            std::string_view key) const override;
  void SetValue(std::string_view section, std::string_view key,
                std::string_view value) override;
  struct Setting {
    std::string_view key;
    std::string_view value;
  };
  // Sets each of `run` in `section`, in order, as SetValue would one by
  // one. A save into a large section of new keys would otherwise wait for
  // memory at every key: here the index is asked for a run's places at once.
  void SetValues(std::string_view section, std::span<const Setting> run);
  // The position, in GetSections' order, of the section that SetValue sets
  // in, added at the end when there is none yet.
  std::size_t SectionPositionToSet(std::string_view name);
  // SetValues in the section at `position`, for a caller that sets many runs
  // in one section and need not compare its name, however long, for each.
  void SetValuesAt(std::size_t position, std::span<const Setting> run);
  void GetKeys(std::string_view section, TStringList& keys) const override;
  void GetSections(TStringList& sections) const override;
  // Raises EFCreateError when the file cannot be created or replaced and
  // EWriteError when the bytes cannot be written; either way the file on
  // disk and the document stay as they were. A document whose text ended
  // at a NUL byte is refused too (EFCreateError, kHoldsNulReason): it lacks
  // whatever followed, which writing it back would destroy.
  void WriteBack() override;
  static constexpr std::string_view kHoldsNulReason = "The file holds a NUL byte";

  // The bytes that WriteBack puts into the file.
  std::string Text() const;

  // The entry texts of `section` ("name=value", or a line without "="), in
  // order, for a reader that goes through a whole section and needs no
  // copies of them. The views last until the document next changes.
  std::span<const std::string_view> Entries(std::string_view section) const;
  // The same for the section at `position` in GetSections' order, below its
  // size: reaches every one of several sections that share a name, where
  // Entries sees only the last.
  std::span<const std::string_view> EntriesAt(std::size_t position) const {
    return {entries_.at(position).begin(), entries_.at(position).end()};
  }
  // Whether two entries of `section` share a name; while none do, an
  // entry's value is the one a lookup by its name gives.
  bool NamesRepeat(std::string_view section) const;
  // The position, in GetSections' order, of the section that lookups of
  // `name` reach (the last of that name), or nothing when there is none.
  std::optional<std::size_t> SectionPosition(std::string_view name) const;
  // FindValue in the section at `position`: a caller that seeks many keys in
  // one section compares its name once, however long it is, not per key.
  std::optional<std::string_view> FindValueAt(std::size_t position, std::string_view key) const;
  // The whole entry ("name=value") that FindValueAt takes its value from.
  std::optional<std::string_view> FindEntryAt(std::size_t position, std::string_view key) const;
  // Where an entry stands in the file, for messages that editors can jump
  // to: the line (from 1) of the entry that FindEntryAt(section, key)
  // reaches, for each of `places`; 0 where there is none. For a document as
  // read, before any SetValue. One pass over the text, however many places.
  struct EntryPlace {
    std::size_t section;  // a position in GetSections' order
    std::string_view key;
  };
  std::vector<std::size_t> LinesOf(std::span<const EntryPlace> places) const;
  // How the document folds the letter case of names, for a caller that
  // must tell equal names apart from different ones as lookups do.
  const platform::CaseTable& UpperCase() const { return *upperCase_; }

 private:
  struct FromTextTag {};
  TMemIniFile(std::string_view bytes, const std::string& fileName, FromTextTag);

  struct ParseProgress {
    const char* start = nullptr;  // where the bytes were when parsing began
    std::size_t done = 0;         // how many of them are parsed
    std::size_t scanned = 0;      // how many were searched for a line break
    std::size_t wholeLines = 0;   // how many end with the last line break found
    bool stopped = false;         // a NUL byte ended the text
  };
  // Parses the whole lines of `soFar` not parsed yet, and with `final` the
  // rest too.
  void ParseMore(std::string_view soFar, bool final, ParseProgress& progress);
  // Parses the lines in [next, end); false once a NUL byte ends the text.
  bool ParseLines(const char* next, const char* end);
  // One trimmed line; `entries` is the current section's list, which a
  // section header changes.
  void AddLine(std::string_view line, langfile::ViewList*& entries);
  langfile::ViewList& AddSection(std::string_view name, std::size_t expectedEntries);
  // Sets the entry `found` gave for `key` (NameIndex::kNotFound: a new one).
  void SetFound(langfile::ViewList& entries, std::ptrdiff_t found, std::string_view key,
                std::string_view value);
  const langfile::ViewList* FindSection(std::string_view name) const;
  // Hands the document's bytes, piece by piece, to `out`: Text() and
  // WriteBack() both write through here, so they cannot differ.
  template <typename Output>
  void WriteText(Output& out) const;

  const platform::CaseTable* upperCase_;
  // Every byte the lists below view (the file as read, and the texts that
  // SetValue and the reader's trimming made), and the lists themselves.
  langfile::DocumentMemory memory_;
  // Section names in document order; entries_[i] holds the entry texts of
  // sections_[i]. Names and entries may repeat.
  langfile::ViewList sections_;
  std::vector<langfile::ViewList> entries_;
  // The text as read, which the lists view.
  std::string_view text_;
  // A file that began with a UTF-8 byte-order mark gets it back when written.
  bool byteOrderMark_ = false;
  // The text ended at a NUL byte, so the bytes after it are in no list.
  bool cutAtNul_ = false;
};
