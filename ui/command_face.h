// The look of the skinned push button as plain data: where its caption goes,
// which letter is its access key, and the rectangles and colours of its face
// in each state. The widget only paints what these functions decide.
#ifndef ORLAVO_UI_COMMAND_FACE_H_
#define ORLAVO_UI_COMMAND_FACE_H_

#include <QChar>
#include <QColor>
#include <QRect>
#include <QSize>
#include <QString>
#include <vector>

namespace orlavo {

// The rectangle the caption is measured into (word-wrapped) for a button of
// width x height pixels: one pixel in from the left, two from the right and
// the bottom.
QRect CaptionMeasureRect(int width, int height);

struct CaptionRects {
  QRect normal;   // centred in the button
  QRect pressed;  // one pixel right and down, so the caption sinks with the face
};

// Centres a caption whose word-wrapped size is text_size.
CaptionRects LayOutCaption(int width, int height, QSize text_size);

// The letter after the first single "&", in lower case; "&&" is a literal
// ampersand and is skipped. A null QChar when there is none (also for
// captions shorter than two characters).
QChar AccessKeyOf(const QString& caption);

// The caption without its access-key markers ("&&" becomes "&"), for
// assistive technology.
QString CaptionPlainText(const QString& caption);

enum class FaceState { kUp, kPressed, kDisabled };

// One pixel-exact filled rectangle of the face.
struct FaceStroke {
  QRect rect;
  QColor color;
};

struct FacePlan {
  std::vector<FaceStroke> under_caption;  // the gradient, or the flat disabled fill
  QColor caption_color;
  bool pressed_caption = false;          // draw into the pressed caption rectangle
  std::vector<FaceStroke> over_caption;  // bevel lines and border
};

// The face of a width x height button; empty when either size is 0.
FacePlan PlanFace(FaceState state, int width, int height, const QColor& back_color,
                  const QColor& fore_color, const QColor& border_color);

}  // namespace orlavo

#endif  // ORLAVO_UI_COMMAND_FACE_H_
