// The pane of the MP3 sorter.
#ifndef ORLAVO_TOOLS_SORTER_GUI_MP3_SORTER_PANE_H_
#define ORLAVO_TOOLS_SORTER_GUI_MP3_SORTER_PANE_H_

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QRadioButton>
#include <array>

#include "tools/gui/tool_pane.h"
#include "tools/sorter/mp3_sorter.h"
#include "ui/button_set.h"

namespace orlavo {

class CommandButton;
class ReportListView;

// Title, Artist, Album, Year and Genre boxes; the genre box opens the
// window's genre list.
struct TagBoxes {
  std::array<QLineEdit*, 5> boxes{};
  QLineEdit* genre() const { return boxes[4]; }
  TagFields Fields() const;
  void Show(const TagFields& fields);
};

class Mp3SorterPane : public ToolPane {
  Q_OBJECT

 public:
  Mp3SorterPane(const ToolContext& context, QWidget* parent);
  ~Mp3SorterPane() override;

  ToolCode code() const override { return ToolCode::kSorter; }
  void ShowTool() override;
  void SaveKeys(ToolKeys& keys) const override;

  Mp3Sorter& sorter() { return sorter_; }
  ReportListView* list_view() const { return view_; }
  ReportListView* errors_view() const { return errors_view_; }
  QLineEdit* root_box() const { return root_; }
  QRadioButton* option_button(SortOption option) const { return options_[int(option)]; }
  const TagBoxes& edit_boxes() const { return edit_; }
  const TagBoxes& fixer_boxes() const { return fixer_; }
  QGroupBox* errors_pane() const { return errors_pane_; }
  QGroupBox* fixer_pane() const { return fixer_pane_; }
  QGroupBox* progress_pane() const { return progress_pane_; }
  CommandButton* action_button() const { return action_; }
  CommandButton* button(const QString& caption) const { return buttons_.Find(caption); }

  // What a click runs.
  void Sort();
  void PressAction();
  void OpenFixer(int error_row);
  void SaveFixer();
  void SaveEdit();
  void ClickHere();

 protected:
  void RemoveSelectedRows() override;

 private:
  TagBoxes MakeBoxes(QWidget* parent, QLayout** layout);
  void ShowState();
  void ShowProgress();
  void RowClicked();

  Mp3Sorter sorter_;
  ToolsStatus& status_;
  ReportListView* view_;
  ReportListView* errors_view_;
  ButtonSet buttons_;
  QLabel* source_;
  QLineEdit* root_;
  std::array<QRadioButton*, 5> options_{};
  QCheckBox* m3u_each_;
  QCheckBox* m3u_global_;
  TagBoxes edit_;
  TagBoxes fixer_;
  QWidget* middle_;
  QGroupBox* errors_pane_;
  QWidget* errors_fold_;
  QGroupBox* fixer_pane_;
  QGroupBox* progress_pane_;
  QLabel* root_label_;
  QLabel* option_label_;
  std::array<QProgressBar*, 3> bars_{};
  CommandButton* action_;
};

}  // namespace orlavo

#endif  // ORLAVO_TOOLS_SORTER_GUI_MP3_SORTER_PANE_H_
