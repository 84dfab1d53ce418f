// The genre list of the Advanced tools window: one list of the 148 genre names
// that the joiner's genre field and the sorter's tag editor share. It drops
// down under the field that asked for it and gives the chosen name back to
// that field.
#ifndef ORLAVO_TOOLS_GUI_GENRE_LIST_H_
#define ORLAVO_TOOLS_GUI_GENRE_LIST_H_

#include <QLineEdit>
#include <QListWidget>
#include <QPointer>

namespace orlavo {

class GenreList : public QListWidget {
  Q_OBJECT

 public:
  // The one list of the window that holds `widget` (made hidden and empty on
  // the first request).
  static GenreList* Of(QWidget* widget);

  // A click on `field` opens the list at it.
  static void AttachField(QLineEdit* field);

  // Adds the genre table's names in table order (entry 147 is " "), the first
  // time only.
  void FillOnce();

  // Drops the list down at the field (its left edge and width, just below it,
  // or above it where the window ends) and records the field as the
  // requesting field. Fills the list first if nobody has.
  void OpenAt(QLineEdit* field);

  // The field that opened the list last; null once a name was chosen.
  QLineEdit* requesting_field() const { return requesting_; }

  // A double-click on a name: the name goes into the requesting field, the
  // list hides and the requesting field is forgotten.
  void Choose(int row);

 signals:
  void genreChosen(QLineEdit* field, const QString& name);

 protected:
  void keyPressEvent(QKeyEvent* event) override;

 private:
  explicit GenreList(QWidget* window);

  QPointer<QLineEdit> requesting_;
};

}  // namespace orlavo

#endif  // ORLAVO_TOOLS_GUI_GENRE_LIST_H_
