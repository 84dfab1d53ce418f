// The pane of the duplicates locator.
#ifndef ORLAVO_TOOLS_DUPES_GUI_DUPLICATES_LOCATOR_PANE_H_
#define ORLAVO_TOOLS_DUPES_GUI_DUPLICATES_LOCATOR_PANE_H_

#include <QCheckBox>
#include <QGroupBox>

#include "tools/dupes/duplicates_locator.h"
#include "tools/gui/tool_pane.h"
#include "ui/button_set.h"

namespace orlavo {

class CommandButton;
class MainWindow;
class ReportListView;

class DuplicatesLocatorPane : public ToolPane {
  Q_OBJECT

 public:
  DuplicatesLocatorPane(const ToolContext& context, MainWindow* main_window, QWidget* parent);
  ~DuplicatesLocatorPane() override;

  ToolCode code() const override { return ToolCode::kDuplicates; }
  void ShowTool() override;

  DuplicatesLocator& locator() { return locator_; }
  ReportListView* files_view() const { return files_view_; }
  ReportListView* report_view() const { return report_view_; }
  QGroupBox* report_pane() const { return report_pane_; }
  QCheckBox* criterion_box(DupeCriterion criterion) const;
  CommandButton* reload_button() const { return reload_; }
  CommandButton* button(const QString& caption) const { return buttons_.Find(caption); }

  // The buttons, as a click runs them.
  void Reload();
  void Start();
  void DeleteSelected();

 protected:
  // Rows leave the file list only with their files.
  void RemoveSelectedRows() override {}
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void ShowState();

  DuplicatesLocator locator_;
  Desktop& desktop_;
  const Options& options_;
  MainWindow* main_window_;
  ReportListView* files_view_;
  ReportListView* report_view_;
  QGroupBox* report_pane_;
  QCheckBox* by_name_;
  QCheckBox* by_tag_;
  QCheckBox* by_size_;
  ButtonSet buttons_;
  CommandButton* reload_;
  CommandButton* start_;
  CommandButton* show_;
  CommandButton* delete_;
  bool showing_ = false;
};

}  // namespace orlavo

#endif  // ORLAVO_TOOLS_DUPES_GUI_DUPLICATES_LOCATOR_PANE_H_
