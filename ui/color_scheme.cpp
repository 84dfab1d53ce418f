#include "ui/color_scheme.h"

namespace orlavo {

namespace {

QColor FromBgr(quint32 value) {
  return QColor(static_cast<int>(value & 0xFF), static_cast<int>((value >> 8) & 0xFF),
                static_cast<int>((value >> 16) & 0xFF));
}

int HexDigit(QChar c) {
  const char16_t u = c.unicode();
  if (u >= u'0' && u <= u'9') return u - u'0';
  if (u >= u'a' && u <= u'f') return u - u'a' + 10;
  if (u >= u'A' && u <= u'F') return u - u'A' + 10;
  return -1;
}

}  // namespace

std::optional<QColor> ParseColorText(const QString& text) {
  const QString trimmed = text.trimmed();
  if (trimmed.isEmpty()) return std::nullopt;
  // Wider numbers wrap; only the low three bytes are a colour anyway.
  quint32 value = 0;
  if (trimmed.startsWith(QLatin1String("&H"), Qt::CaseInsensitive)) {
    for (qsizetype i = 2; i < trimmed.size(); ++i) {
      const int digit = HexDigit(trimmed[i]);
      if (digit < 0) break;
      value = value * 16 + static_cast<quint32>(digit);
    }
    return FromBgr(value);
  }
  qsizetype i = 0;
  const bool negative = trimmed[0] == u'-';
  if (negative || trimmed[0] == u'+') ++i;
  for (; i < trimmed.size() && trimmed[i].isDigit() && trimmed[i].unicode() < 128; ++i) {
    value = value * 10 + static_cast<quint32>(trimmed[i].unicode() - u'0');
  }
  if (negative) value = 0u - value;
  return FromBgr(value);
}

QString FormatColorText(const QColor& color) {
  const quint32 value = static_cast<quint32>(color.red()) |
                        static_cast<quint32>(color.green()) << 8 |
                        static_cast<quint32>(color.blue()) << 16;
  return QStringLiteral("&H") + QString::number(value, 16).toUpper();
}

QString ColorScheme::KeyName(Role role) {
  switch (role) {
    case Role::kBackground:
      return QStringLiteral("BGColor");
    case Role::kText:
      return QStringLiteral("FGColor");
    case Role::kButton:
      return QStringLiteral("ButtonColor");
    case Role::kBorder:
      return QStringLiteral("BorderColor");
  }
  return {};
}

QString ColorScheme::DefaultText(Role role) {
  switch (role) {
    case Role::kBackground:
      return QStringLiteral("&HB47347");
    case Role::kText:
      return QStringLiteral("&HFFFFFF");
    case Role::kButton:
      return QStringLiteral("&HC0C0C0");
    case Role::kBorder:
      return QStringLiteral("&H0");
  }
  return {};
}

QColor ColorScheme::DefaultColor(Role role) { return *ParseColorText(DefaultText(role)); }

ColorScheme::ColorScheme() {
  for (Role role : kRoles) SetColor(role, DefaultColor(role));
}

ColorScheme ColorScheme::FromTexts(const QString& background, const QString& text,
                                   const QString& button, const QString& border) {
  ColorScheme scheme;
  scheme.SetColorText(Role::kBackground, background);
  scheme.SetColorText(Role::kText, text);
  scheme.SetColorText(Role::kButton, button);
  scheme.SetColorText(Role::kBorder, border);
  return scheme;
}

void ColorScheme::SetColorText(Role role, const QString& text) {
  SetColor(role, ParseColorText(text).value_or(DefaultColor(role)));
}

ColorScheme& CurrentColorScheme() {
  static ColorScheme scheme;
  return scheme;
}

}  // namespace orlavo
