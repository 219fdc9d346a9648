#pragma once

// The working model of the program: loading, merging and saving work on it;
// the window only shows and edits it.

#include <cstddef>
#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "langfile/LanguageFile.h"
#include "langfile/TMemIniFile.h"
#include "platform/Clock.h"
#include "workspace/Edit.h"
#include "workspace/TranslationTable.h"

namespace workspace {

class Workspace {
 public:
  // Where the date field's "now" comes from; tests fix it.
  using Clock = std::function<platform::LocalDateTime()>;

  explicit Workspace(Clock clock = &platform::LocalNow);

  TranslationTable& Table() { return table_; }
  const TranslationTable& Table() const { return table_; }
  // What the header editors hold: the header block's texts and author
  // lines, and the date-time of the date field, which the save writes as
  // the translation's date.
  langfile::LanguageHeader& Header() { return header_; }
  const langfile::LanguageHeader& Header() const { return header_; }
  platform::LocalDateTime Date() const { return date_; }
  void SetDate(platform::LocalDateTime date) { date_ = date; }

  // Full paths; empty while unset.
  const std::string& SourceFileName() const { return sourceFileName_; }
  void SetSourceFileName(std::string name) { sourceFileName_ = std::move(name); }
  const std::string& DestinationFileName() const { return destinationFileName_; }
  void SetDestinationFileName(std::string name) { destinationFileName_ = std::move(name); }

  // Absent until the first merge.
  const ReferenceTable* Reference() const { return reference_.get(); }
  // A row is untranslated when a merge has happened and the row's reference
  // text equals its translation, exactly.
  bool IsUntranslated(std::size_t row) const;
  // The text the source file holds for a row, the one the translator works
  // from: the reference text after a merge, before one (or after a load that
  // no merge followed) the text the load gave the row, not what has been
  // typed over it since.
  std::string_view SourceText(std::size_t row) const;

  // Resets the table and the destination file name, then fills the table and
  // the header fields from `fileName`. A section name that stands more than
  // once (letter case aside) gets one marker, where it first stands, and the
  // entries of its last section: those that lookups, merge and save reach.
  // Within a section, a key that stands more than once is listed the same
  // way, spelled and valued as its last copy.
  // A missing file loads as empty. When the file cannot be read, EFOpenError
  // is raised with the table already reset and the header fields as they
  // were. The reference table stays.
  void LoadSource(const std::string& fileName);

  // Puts the destination's header and translations into the header fields
  // and the table, and keeps the texts they replaced in a new reference
  // table. A row whose key the destination lacks keeps its text.
  //
  // Returns the destination's document as read, for a save that follows
  // at once (see Save); callers that save later let it go.
  std::unique_ptr<TMemIniFile> MergeDestination(const std::string& fileName);

  // Makes `fileName` the destination and merges it. A new translation
  // starts as a copy of the source. Should the copy fail (the source gone
  // since Open, the disk full), the merge finds no file; the header fields
  // then keep what the source gave, as the copy would have, rather than be
  // emptied and saved empty from then on. Returns what MergeDestination
  // returns.
  std::unique_ptr<TMemIniFile> StartDestination(const std::string& fileName);

  // Writes the header fields and every key row into `fileName`, keeping the
  // file's other sections and entries. Returns only once the file holds
  // them, and only then clears the unsaved-changes state; a failure raises
  // the document's file error and leaves the file and that state as they
  // were.
  //
  // The file is read again, although a merge may have read it before:
  // nothing short of its bytes proves it unchanged since (file times are
  // coarse on many file systems), and a save must build on whatever another
  // program may have written into it meanwhile. Only a save in the same
  // command as the merge, with nothing in between, may hand over the
  // merge's document (`merged`) instead: the file can no more have changed since
  // than between a second reading and the write.
  void Save(const std::string& fileName, std::unique_ptr<TMemIniFile> merged = nullptr);

  // The unsaved-changes state behind the window's indicator. The listener,
  // if any, hears every change of it.
  bool Modified() const { return modified_; }
  void SetModified(bool modified);
  void OnModifiedChanged(std::function<void(bool)> listener) {
    modifiedListener_ = std::move(listener);
  }

  // The value `target` holds, written as edits write it (see EditField).
  std::string Value(const EditTarget& target) const;
  // The translator's edit, by whatever route it comes (typing, pasting,
  // undoing, restoring): gives `target` the value `text`, marks the unsaved
  // changes and tells every edit listener. A value equal to the one held, or
  // a date that does not read as one, changes nothing and tells no one.
  void Edit(const EditTarget& target, std::string text);
  // Listeners hear every edit, in the order they were added, once it is
  // made. The handle takes the listener off again, never while it runs.
  using EditListener = std::function<void(const EditEvent&)>;
  std::size_t OnEdited(EditListener listener);
  void RemoveEditListener(std::size_t handle);

 private:
  void FillHeader(const TCustomIniFile& document);

  Clock clock_;
  TranslationTable table_;
  langfile::LanguageHeader header_;
  platform::LocalDateTime date_{};
  std::string sourceFileName_;
  std::string destinationFileName_;
  std::unique_ptr<ReferenceTable> reference_;
  // Whether the reference comes from a merge on the table as loaded now; a
  // load keeps the old reference (the painting still reads it), whose texts
  // are another file's.
  bool referenceIsSource_ = false;
  bool modified_ = false;
  std::function<void(bool)> modifiedListener_;
  std::deque<EditListener> editListeners_;
};

}  // namespace workspace
