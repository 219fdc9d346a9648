#pragma once

// The line at the bottom of the window: how far the translation is, how many
// warnings its checks give, and a passing note on what a command just did
// ("wrapped", "none left").

#include <QWidget>

class QLabel;
class QTimer;

class StatusLine : public QWidget {
  Q_OBJECT

 public:
  explicit StatusLine(QWidget* parent = nullptr);

  void ShowProgress(const QString& text);
  void ShowWarnings(const QString& text);
  // Stays until the next note, or a few seconds.
  void ShowNote(const QString& text);

  QString ProgressText() const;
  QString WarningsText() const;
  QString NoteText() const;

 private:
  QLabel* progress_;
  QLabel* warnings_;
  QLabel* note_;
  QTimer* noteTimer_;
};
