// The pane of the MP3 joiner.
#ifndef ORLAVO_TOOLS_JOINER_GUI_JOINER_PANE_H_
#define ORLAVO_TOOLS_JOINER_GUI_JOINER_PANE_H_

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <array>

#include "tools/gui/tool_pane.h"
#include "tools/joiner/joiner.h"
#include "ui/button_set.h"

namespace orlavo {

class CommandButton;
class LinkLabel;
class ReportListView;

class JoinerPane : public ToolPane {
  Q_OBJECT

 public:
  JoinerPane(const ToolContext& context, QWidget* parent);
  ~JoinerPane() override;

  ToolCode code() const override { return ToolCode::kJoiner; }
  void ShowTool() override;

  Joiner& joiner() { return joiner_; }
  ReportListView* list_view() const { return view_; }
  CommandButton* button(const QString& caption) const { return buttons_.Find(caption); }
  QLineEdit* folder_field() const { return folder_; }
  QLineEdit* name_field() const { return name_; }
  QLabel* size_label() const { return size_; }
  QCheckBox* tag_box() const { return tag_box_; }
  // Title, Artist, Album, Year, Comment, Genre.
  QLineEdit* tag_field(int index) const { return fields_[index]; }
  QLabel* tag_caption(int index) const { return captions_[index]; }
  LinkLabel* random_link() const { return random_; }
  LinkLabel* tag_link() const { return from_tag_; }

 protected:
  void RemoveSelectedRows() override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  // The text boxes into the joiner, and back.
  void Pull();
  void Push();
  void ShowTagFields();
  void RefreshSize();

  Joiner joiner_;
  ReportListView* view_;
  ButtonSet buttons_;
  QLabel* size_;
  QLineEdit* folder_;
  QLineEdit* name_;
  LinkLabel* random_;
  LinkLabel* from_tag_;
  QCheckBox* tag_box_;
  std::array<QLineEdit*, 6> fields_{};
  std::array<QLabel*, 6> captions_{};
};

}  // namespace orlavo

#endif  // ORLAVO_TOOLS_JOINER_GUI_JOINER_PANE_H_
