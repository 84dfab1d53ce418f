// SIGTERM, SIGINT and SIGHUP (a desktop session ending, a terminal closing)
// close the program's windows as the user would, so the settings it saves on
// closing are not lost.
#ifndef ORLAVO_APP_GUI_END_ON_SIGNAL_H_
#define ORLAVO_APP_GUI_END_ON_SIGNAL_H_

#include <QObject>

namespace orlavo {

class EndOnSignal : public QObject {
  Q_OBJECT

 public:
  explicit EndOnSignal(QObject* parent = nullptr);
  ~EndOnSignal() override;

  // Whether a signal came; a modal box open at that moment has been closed,
  // but windows shown after it still need closing.
  bool requested() const { return requested_; }

 private:
  void Arrived();

  bool requested_ = false;
};

}  // namespace orlavo

#endif  // ORLAVO_APP_GUI_END_ON_SIGNAL_H_
