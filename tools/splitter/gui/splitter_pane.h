// The pane of the MP3 splitter, with its "Play" and "savecue" pop-up menus.
#ifndef ORLAVO_TOOLS_SPLITTER_GUI_SPLITTER_PANE_H_
#define ORLAVO_TOOLS_SPLITTER_GUI_SPLITTER_PANE_H_

#include <QLabel>
#include <QLineEdit>
#include <functional>
#include <optional>

#include "tools/gui/tool_pane.h"
#include "tools/splitter/splitter.h"
#include "ui/button_set.h"

namespace orlavo {

class CommandButton;
class ReportListView;

class SplitterPane : public ToolPane {
  Q_OBJECT

 public:
  SplitterPane(const ToolContext& context, QWidget* parent);
  ~SplitterPane() override;

  ToolCode code() const override { return ToolCode::kSplitter; }
  void ShowTool() override;
  void SaveKeys(ToolKeys& keys) const override;

  Splitter& splitter() { return splitter_; }
  ReportListView* list_view() const { return view_; }
  QLineEdit* source_field() const { return source_; }
  QLineEdit* destination_field() const { return destination_; }
  QLineEdit* time_field() const { return time_; }
  QLineEdit* name_editor() const { return name_editor_; }
  QLabel* duration_label() const { return duration_label_; }
  QLabel* bitrate_label() const { return bitrate_label_; }
  QLabel* frequency_label() const { return frequency_label_; }
  CommandButton* create_button() const { return create_; }
  // The first button with this caption ("Select" is the source's).
  CommandButton* button(const QString& caption) const;
  CommandButton* select_destination_button() const { return select_destination_; }
  CommandButton* up_button() const { return up_; }
  CommandButton* down_button() const { return down_; }

  // What the pop-up menus answer; tests replace them. The "savecue" menu
  // gives the chosen item's index (0 ORV, 1 standard); "Play" whether it was
  // chosen.
  void set_save_menu(std::function<std::optional<int>()> menu) { save_menu_ = std::move(menu); }
  void set_play_menu(std::function<bool()> menu) { play_menu_ = std::move(menu); }

  // Right-click on the list.
  void ShowPlayMenu();
  // "Save".
  void SaveClicked();
  // Double click or Enter on a row: the name editor over its Name cell.
  void BeginRename();
  // Enter in the name editor, or a click on the list while it shows.
  void EndRename();

 protected:
  void RemoveSelectedRows() override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  CommandButton* MakeButton(const QString& caption, const QString& tooltip);
  void ShowState();
  void FocusTimeField();
  void Add();
  std::optional<int> PopUpSaveMenu();
  bool PopUpPlayMenu();

  Splitter splitter_;
  Desktop& desktop_;
  ToolsStatus& status_;
  QString program_folder_;
  ReportListView* view_;
  ButtonSet buttons_;
  QLineEdit* source_;
  QLineEdit* destination_;
  QLineEdit* time_;
  QLineEdit* name_editor_;
  int renaming_row_ = -1;
  QLabel* duration_label_;
  QLabel* bitrate_label_;
  QLabel* frequency_label_;
  CommandButton* select_destination_;
  CommandButton* create_;
  CommandButton* up_;
  CommandButton* down_;
  std::function<std::optional<int>()> save_menu_;
  std::function<bool()> play_menu_;
};

}  // namespace orlavo

#endif  // ORLAVO_TOOLS_SPLITTER_GUI_SPLITTER_PANE_H_
