#pragma once

// The pane below the grid: for the current key row, the text the source file
// holds for it, and what every other language of the destination's folder
// says for the same key, each headed by its name and tag and numbered for
// Alt+1 .. Alt+9. Read-only, but its text can be selected and copied.

#include <QPlainTextEdit>
#include <cstddef>
#include <optional>
#include <string>

namespace workspace {
class OtherLanguages;
class Workspace;
}  // namespace workspace

class SourcePane : public QPlainTextEdit {
  Q_OBJECT

 public:
  // Languages that come with Alt+1 .. Alt+9.
  static constexpr std::size_t kNumberedLanguages = 9;

  SourcePane(const workspace::Workspace& workspace, const workspace::OtherLanguages& languages,
             QWidget* parent = nullptr);

  // Shows what there is for table row `row`; nothing for no row, or one that
  // is not a key.
  void Show(std::optional<std::size_t> row);

  // The bytes other language `index` holds for table row `row`, if it is a
  // key row that language has.
  std::optional<std::string> OtherText(std::size_t index, std::size_t row) const;

  QSize sizeHint() const override;

 private:
  const workspace::Workspace& workspace_;
  const workspace::OtherLanguages& languages_;
};
