#pragma once

// What the Open and Save commands see of the window: the selected file
// kind, its dialogs and boxes, the source's and the destination's names, and
// the grid that lets go of its rows while the table changes.

#include <functional>

#include "ui/MainWindowLayout.h"
#include "workspace/Commands.h"

class WindowDialogs;

class WindowCommandHost : public workspace::CommandHost {
 public:
  // Runs a change of the table with the window showing its result.
  using TableChanger = std::function<void(const std::function<void()>& change)>;

  WindowCommandHost(QWidget& window, const MainWindowControls& controls, WindowDialogs& dialogs,
                    TableChanger changeTable);

  std::string SelectedFileKind() const override;
  std::string ApplicationFolder() const override;
  std::string CommonAppDataFolder() const override;
  std::optional<std::string> ShowOpenDialog(const workspace::FileDialogRequest& request) override;
  std::optional<std::string> ShowSaveDialog(const workspace::FileDialogRequest& request) override;
  void ShowMessage(std::string_view text, unsigned style) override;
  void ShowSourceFileName(const std::string& fileName) override;
  void ChangeTable(const std::function<void()>& change) override;
  void ShowDestinationSaved() override;
  std::size_t Ask(std::string_view question, const std::vector<std::string_view>& answers,
                  std::size_t escape) override;
  void ShowMessageLater(std::string text, unsigned style) override;
  void ShowDestinationFileName(const std::string& fileName) override;
  std::string DocumentsFolder() const override;

 private:
  QWidget& window_;
  const MainWindowControls& controls_;
  WindowDialogs& dialogs_;
  TableChanger changeTable_;
};
