// Where the program's colours come from: the colour scheme (window background
// and text, button face and border), and the "&HBBGGRR" colour texts of the
// settings and scheme files.
#ifndef ORLAVO_UI_COLOR_SCHEME_H_
#define ORLAVO_UI_COLOR_SCHEME_H_

#include <QColor>
#include <QString>
#include <array>
#include <optional>

namespace orlavo {

// Reads a colour text: "&H" and hexadecimal digits with blue in the high byte
// and red in the low byte ("&HB47347" is red 0x47, green 0x73, blue 0xB4).
// The text is not checked (hand-edited files must still load): reading stops at
// the first character that is not a digit, a text without digits reads as 0
// (black), and a plain decimal number is taken as the same 0xBBGGRR value.
// Only the low three bytes count. nullopt for an empty text (the caller's
// default applies).
std::optional<QColor> ParseColorText(const QString& text);

// "&H" and the 0xBBGGRR value in upper-case hexadecimal without leading zeros
// (black is "&H0").
QString FormatColorText(const QColor& color);

class ColorScheme {
 public:
  enum class Role { kBackground, kText, kButton, kBorder };
  static constexpr std::array<Role, 4> kRoles = {Role::kBackground, Role::kText, Role::kButton,
                                                 Role::kBorder};

  // The key of a role in section "Settings" of a scheme file: "BGColor",
  // "FGColor", "ButtonColor", "BorderColor".
  static QString KeyName(Role role);
  // The default scheme: background &HB47347, text &HFFFFFF, button face
  // &HC0C0C0, button border &H0.
  static QString DefaultText(Role role);
  static QColor DefaultColor(Role role);
  // Pure red, which the Advanced tools window gives the button of its active tool.
  static QColor HighlightColor() { return QColor(255, 0, 0); }

  // A scheme holding the defaults.
  ColorScheme();
  // A scheme from the four texts of a scheme file, in role order; an empty
  // text takes that role's default.
  static ColorScheme FromTexts(const QString& background, const QString& text,
                               const QString& button, const QString& border);

  QColor Color(Role role) const { return colors_[Index(role)]; }
  void SetColor(Role role, const QColor& color) { colors_[Index(role)] = color; }
  // Sets a role from its file text; an empty text restores the default.
  void SetColorText(Role role, const QString& text);
  QString ColorText(Role role) const { return FormatColorText(Color(role)); }

  QColor BGColor() const { return Color(Role::kBackground); }
  QColor FGColor() const { return Color(Role::kText); }
  QColor ButtonColor() const { return Color(Role::kButton); }
  QColor BorderColor() const { return Color(Role::kBorder); }

  bool operator==(const ColorScheme& other) const = default;

 private:
  static constexpr size_t Index(Role role) { return static_cast<size_t>(role); }

  std::array<QColor, 4> colors_;
};

// The scheme in force for every window of the run. Starts as the default
// scheme; loading a scheme replaces it.
ColorScheme& CurrentColorScheme();

}  // namespace orlavo

#endif  // ORLAVO_UI_COLOR_SCHEME_H_
