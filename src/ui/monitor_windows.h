// The small monitoring windows: "Battery Voltage report", "Debug Window"
// and "Report".  None of them changes the configuration.
#pragma once

#include <QWidget>
#include <functional>
#include <vector>

#include "reports/battery_report.h"
#include "reports/debug_lines.h"

class QLabel;
class QListWidget;
class QPlainTextEdit;
class QPushButton;
class QScrollBar;

namespace tervo::ui {

// One row per session slot with a terminal id: the id and a scale from 4300
// to 5200 showing its last battery reading.  "Update" reads them again;
// "OK" and Enter close it.
class BatteryWindow : public QWidget {
  Q_OBJECT

 public:
  BatteryWindow(const config::ScreenStore& store, screens::SessionState& sessions,
                QWidget* parent = nullptr);
  // Opening and "Update".
  void Update();
  const reports::BatteryReport& Report() const { return report_; }
  QLabel* RowLabel(int row) const { return labels_[static_cast<std::size_t>(row)]; }
  QScrollBar* RowScale(int row) const { return scales_[static_cast<std::size_t>(row)]; }
  QLabel* RowValue(int row) const { return values_[static_cast<std::size_t>(row)]; }
  QPushButton* Button(const char* name) const;

 private:
  const config::ScreenStore& store_;
  screens::SessionState& sessions_;
  reports::BatteryReport report_;
  std::vector<QLabel*> labels_;
  std::vector<QScrollBar*> scales_;
  std::vector<QLabel*> values_;
};

// Two lists, one line per session in each ("0: " and the line for session
// 0): what the session last did with its host screen and with its
// terminal.  Enter closes it.
class DebugWindow : public QWidget {
  Q_OBJECT

 public:
  explicit DebugWindow(const reports::DebugLines& lines, QWidget* parent = nullptr);
  // Shows every line again.
  void Refresh();
  // One line changed.
  void LineChanged(core::DebugList list, int session);
  QListWidget* List(core::DebugList list) const;

 private:
  const reports::DebugLines& lines_;
  QListWidget* host_;
  QListWidget* terminal_;
};

// The configuration summary; Esc closes it.
class ReportWindow : public QWidget {
  Q_OBJECT

 public:
  explicit ReportWindow(QWidget* parent = nullptr);
  void SetText(const std::string& text);
  std::string Text() const;

 private:
  QPlainTextEdit* text_;
};

}  // namespace tervo::ui
