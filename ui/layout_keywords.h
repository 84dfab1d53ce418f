// The layout keywords a control carries in its tag ("size", "move", "sizeh",
// "moveh", or a horizontal and a vertical one joined by ":"), which keep it
// at its distances from the right and bottom edges when the window resizes.
#ifndef ORLAVO_UI_LAYOUT_KEYWORDS_H_
#define ORLAVO_UI_LAYOUT_KEYWORDS_H_

#include <QList>
#include <QPointer>
#include <QRect>
#include <QSize>
#include <QString>
#include <QWidget>

namespace orlavo {

// The dynamic property that holds a control's tag text ("ignore" keeps the
// scheme's colours off it; layout keywords re-lay it out).
inline constexpr char kTagProperty[] = "tag";

struct LayoutKeywords {
  enum class H { kNone, kSize, kMove };
  enum class V { kNone, kSize, kMove };
  H h = H::kNone;
  V v = V::kNone;
  bool any() const { return h != H::kNone || v != V::kNone; }
};

// "size:moveh" and the like; unknown words count for nothing.
LayoutKeywords ParseLayoutTag(const QString& tag);

// The distances taken at the first layout.
struct LayoutDistances {
  int h = 0;
  int v = 0;
};
LayoutDistances RecordDistances(const LayoutKeywords& k, const QRect& control, QSize window);
QRect ApplyDistances(const LayoutKeywords& k, const LayoutDistances& d, const QRect& control,
                     QSize window);

// RecordLayout and ApplyLayout of one window: the controls whose tag carries
// keywords, with their distances.
class WindowLayout {
 public:
  // Takes the window's size and the distances of every keyworded control.
  void RecordLayout(QWidget* window);
  // Re-lays out the keyworded controls for the window's current size.
  void ApplyLayout(QWidget* window) const;
  bool recorded() const { return recorded_; }
  QSize initial_size() const { return initial_size_; }

 private:
  struct Entry {
    QPointer<QWidget> control;
    LayoutKeywords keywords;
    LayoutDistances distances;
  };
  QList<Entry> entries_;
  QSize initial_size_;
  bool recorded_ = false;
};

}  // namespace orlavo

#endif  // ORLAVO_UI_LAYOUT_KEYWORDS_H_
