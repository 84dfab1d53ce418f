// The pane of the MP3 list generator.
#ifndef ORLAVO_TOOLS_LISTGEN_GUI_LIST_GENERATOR_PANE_H_
#define ORLAVO_TOOLS_LISTGEN_GUI_LIST_GENERATOR_PANE_H_

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <array>
#include <functional>

#include "tools/gui/tool_pane.h"
#include "tools/listgen/list_generator.h"
#include "ui/button_set.h"

namespace orlavo {

class CommandButton;
class ReportListView;

class ListGeneratorPane : public ToolPane {
  Q_OBJECT

 public:
  ListGeneratorPane(const ToolContext& context, QWidget* parent);
  ~ListGeneratorPane() override;

  ToolCode code() const override { return ToolCode::kListGenerator; }
  void ShowTool() override;
  void SaveKeys(ToolKeys& keys) const override;

  ListGenerator& generator() { return generator_; }
  ReportListView* list_view() const { return view_; }
  QLineEdit* pattern_box() const { return pattern_; }
  QCheckBox* box(int index) const { return boxes_[index]; }
  QLineEdit* var_value() const { return var_value_; }
  QLineEdit* increment() const { return increment_; }
  CommandButton* button(const QString& caption) const;
  // What the Size menu answers; tests replace the pop-up.
  void set_size_menu(std::function<std::optional<QString>()> menu);

 protected:
  void RemoveSelectedRows() override { generator_.RemoveSelectedRows(); }

 private:
  CommandButton* MakeButton(const QString& caption, const QString& tooltip);
  void ShowState();
  void FocusPattern();
  std::optional<QString> PopUpSizeMenu();

  ListGenerator generator_;
  ToolsStatus& status_;
  Desktop& desktop_;
  const Options& options_;
  ReportListView* view_;
  ButtonSet buttons_;
  QLabel* folder_label_;
  QLabel* subfolders_label_;
  QLineEdit* pattern_;
  std::array<QCheckBox*, kListBoxCount> boxes_{};
  QWidget* variable_pane_;
  QLineEdit* var_value_;
  QLineEdit* increment_;
  CommandButton* up_;
  CommandButton* down_;
  bool showing_ = false;
};

}  // namespace orlavo

#endif  // ORLAVO_TOOLS_LISTGEN_GUI_LIST_GENERATOR_PANE_H_
