// The pane of the file name editor.
#ifndef ORLAVO_TOOLS_EDITOR_GUI_FILE_NAME_EDITOR_PANE_H_
#define ORLAVO_TOOLS_EDITOR_GUI_FILE_NAME_EDITOR_PANE_H_

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QWidget>

#include "tools/editor/file_name_editor.h"
#include "tools/gui/tool_pane.h"
#include "ui/button_set.h"

namespace orlavo {

class CommandButton;
class MainWindow;
class ReportListView;

class FileNameEditorPane : public ToolPane {
  Q_OBJECT

 public:
  FileNameEditorPane(const ToolContext& context, MainWindow* main_window, QWidget* parent);
  ~FileNameEditorPane() override;

  ToolCode code() const override { return ToolCode::kFileNameEditor; }
  void ShowTool() override;

  FileNameEditor& editor() { return editor_; }
  ReportListView* list_view() const { return view_; }
  CommandButton* button(const QString& caption) const;
  QLineEdit* main_text() const { return main_text_; }
  QLineEdit* replacement_text() const { return replacement_text_; }
  QLineEdit* after_text() const { return after_text_; }
  QLineEdit* var_value() const { return var_value_; }
  QLineEdit* increment() const { return increment_; }
  QCheckBox* case_sensitive() const { return case_sensitive_; }
  QRadioButton* position_button(AddPosition p) const;

  // Shows the editor's inputs and mode after the program changed them.
  void RefreshControls() { ShowState(); }

  // The context menu's entries, as its clicks run them.
  void ImportFromTags();
  void ExportToTags();
  void EditTag();
  void RemoveTags();
  void DeleteFromHardDrive();

 protected:
  void RemoveSelectedRows() override { editor_.RemoveSelectedRows(); }
  bool KeysWait(int key) const override;

 private:
  CommandButton* MakeButton(const QString& caption, const QString& tooltip);
  // Copies the editor's state into the controls.
  void ShowState();
  void ReadInputs();
  void ShowContextMenu(const QPoint& at);
  void UpdateRowActions();

  FileNameEditor editor_;
  ToolsStatus& status_;
  MainWindow* main_window_;
  ReportListView* view_;
  ButtonSet buttons_;
  QLabel* mode_label_;
  QLabel* main_caption_;
  QLineEdit* main_text_;
  QLabel* position_caption_;
  QRadioButton* front_;
  QRadioButton* end_;
  QRadioButton* middle_;
  QLineEdit* replacement_text_;
  QLabel* after_caption_;
  QLineEdit* after_text_;
  QCheckBox* case_sensitive_;
  QWidget* variable_pane_;
  QLineEdit* var_value_;
  QLineEdit* increment_;
  CommandButton* variable_button_;
  CommandButton* up_;
  CommandButton* down_;
  bool showing_ = false;
};

}  // namespace orlavo

#endif  // ORLAVO_TOOLS_EDITOR_GUI_FILE_NAME_EDITOR_PANE_H_
