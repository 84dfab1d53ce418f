// A link-style label of a tool pane: red and underlined while the pointer is
// over it, a click runs its action.
#ifndef ORLAVO_TOOLS_GUI_LINK_LABEL_H_
#define ORLAVO_TOOLS_GUI_LINK_LABEL_H_

#include <QLabel>

namespace orlavo {

class LinkLabel : public QLabel {
  Q_OBJECT

 public:
  LinkLabel(const QString& text, QWidget* parent);
  bool hovered() const { return hovered_; }
  const QString& caption() const { return caption_; }

 signals:
  void clicked();

 protected:
  void enterEvent(QEnterEvent* event) override;
  void leaveEvent(QEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  void SetHovered(bool on);
  QString caption_;
  bool hovered_ = false;
};

}  // namespace orlavo

#endif  // ORLAVO_TOOLS_GUI_LINK_LABEL_H_
