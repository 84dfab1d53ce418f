#include "tools/gui/genre_list.h"

#include <QEvent>
#include <QKeyEvent>

#include "formats/id3v1.h"

namespace orlavo {
namespace {

constexpr char kObjectName[] = "genreList";
constexpr int kVisibleRows = 10;

// Opens the window's list when its field is clicked; lives as long as the field.
class FieldClick : public QObject {
 public:
  explicit FieldClick(QLineEdit* field) : QObject(field), field_(field) {}

  bool eventFilter(QObject* watched, QEvent* event) override {
    if (watched == field_ && event->type() == QEvent::MouseButtonPress) {
      GenreList::Of(field_)->OpenAt(field_);
    }
    return false;
  }

 private:
  QLineEdit* field_;
};

}  // namespace

GenreList::GenreList(QWidget* window) : QListWidget(window) {
  setObjectName(kObjectName);
  setSelectionMode(QAbstractItemView::SingleSelection);
  setUniformItemSizes(true);
  hide();
  connect(this, &QListWidget::itemDoubleClicked, this,
          [this](QListWidgetItem* item) { Choose(row(item)); });
}

GenreList* GenreList::Of(QWidget* widget) {
  QWidget* window = widget->window();
  auto* list = window->findChild<GenreList*>(kObjectName, Qt::FindDirectChildrenOnly);
  return list != nullptr ? list : new GenreList(window);
}

void GenreList::AttachField(QLineEdit* field) { field->installEventFilter(new FieldClick(field)); }

void GenreList::FillOnce() {
  if (count() > 0) return;
  for (const char* name : kGenreNames) addItem(QString::fromLatin1(name));
}

void GenreList::OpenAt(QLineEdit* field) {
  FillOnce();
  requesting_ = field;
  QWidget* window = parentWidget();
  const int height = sizeHintForRow(0) * kVisibleRows + 2 * frameWidth();
  QPoint at = field->mapTo(window, QPoint(0, field->height()));
  if (at.y() + height > window->height()) {
    at.setY(std::max(0, at.y() - field->height() - height));
  }
  setGeometry(at.x(), at.y(), field->width(), height);
  // Start at the field's genre, as a drop-down does.
  const QList<QListWidgetItem*> same = findItems(field->text(), Qt::MatchExactly);
  setCurrentRow(same.isEmpty() ? 0 : row(same.first()));
  scrollToItem(currentItem(), QAbstractItemView::PositionAtTop);
  show();
  raise();
  setFocus();
}

void GenreList::Choose(int row) {
  if (row < 0 || row >= count()) return;
  const QString name = item(row)->text();
  QLineEdit* field = requesting_;
  if (field != nullptr) field->setText(name);
  hide();
  requesting_ = nullptr;
  if (field != nullptr) emit genreChosen(field, name);
}

void GenreList::keyPressEvent(QKeyEvent* event) {
  switch (event->key()) {
    case Qt::Key_Escape:
      hide();
      requesting_ = nullptr;
      return;
    case Qt::Key_Return:
    case Qt::Key_Enter:
      Choose(currentRow());
      return;
    default:
      QListWidget::keyPressEvent(event);
  }
}

}  // namespace orlavo
