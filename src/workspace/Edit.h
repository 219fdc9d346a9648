#pragma once

// The translator's edits: what they change and how their values are written
// as bytes, one text per value, so that the undo history, the recovery
// journal and whatever else follows the edits handle every value alike.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace workspace {

// A translation cell, or one of the header's fields. Text values are the
// stored bytes; the date is "yyyy-mm-dd"; the authors are their lines, each
// followed by '\n', so that no list of lines reads back as another.
enum class EditField : std::uint8_t {
  Translation,
  Tag,
  Name,
  ProgramVersion,
  TranslationVersion,
  Date,
  Authors,
};

struct EditTarget {
  EditField field = EditField::Translation;
  std::size_t row = 0;  // a translation's table row; 0 for the header's fields

  bool operator==(const EditTarget&) const = default;
};

// One change, as the workspace's listeners hear it. The views last only
// while the listener runs.
struct EditEvent {
  EditTarget target;
  std::string_view before;
  std::string_view after;
};

// The authors' value of `lines`.
std::string AuthorsValue(const std::vector<std::string>& lines);

}  // namespace workspace
