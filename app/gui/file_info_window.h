// The file information window: the lines of "Show full info" and "Close".
#ifndef ORLAVO_APP_GUI_FILE_INFO_WINDOW_H_
#define ORLAVO_APP_GUI_FILE_INFO_WINDOW_H_

#include <QDialog>
#include <QPlainTextEdit>
#include <QStringList>

namespace orlavo {

class CommandButton;

class FileInfoWindow : public QDialog {
  Q_OBJECT

 public:
  explicit FileInfoWindow(QWidget* parent = nullptr);

  // Clears the text area and prints the lines top to bottom.
  void ShowReport(const QStringList& lines);
  QStringList Lines() const;
  CommandButton* CloseButton() const { return close_; }

 private:
  QPlainTextEdit* text_;
  CommandButton* close_;
};

}  // namespace orlavo

#endif  // ORLAVO_APP_GUI_FILE_INFO_WINDOW_H_
