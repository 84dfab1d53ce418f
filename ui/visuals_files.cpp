#include "ui/visuals_files.h"

#include <QDir>
#include <QFileInfo>
#include <QSet>
#include <algorithm>

#include "app/ini_file.h"
#include "app/settings.h"

namespace orlavo {

namespace {

const QString kSkins = QStringLiteral("Skins");
const QString kSchemes = QStringLiteral("Color Schemes");
const QString kSchemeExtension = QStringLiteral(".ovc");
const QString kSchemeSection = QStringLiteral("Settings");

// Text order without regard to letter case, exact text breaking ties.
void SortNames(QStringList& names) {
  std::sort(names.begin(), names.end(), [](const QString& a, const QString& b) {
    const int c = a.compare(b, Qt::CaseInsensitive);
    return c != 0 ? c < 0 : a < b;
  });
}

QStringList UniqueSorted(const QStringList& names) {
  QStringList out;
  QSet<QString> seen;
  for (const QString& n : names) {
    if (!seen.contains(n)) {
      seen.insert(n);
      out << n;
    }
  }
  SortNames(out);
  return out;
}

QString& ShippedVisualsFolder() {
  static QString folder;
  return folder;
}

}  // namespace

void SetShippedVisualsFolder(const QString& folder) {
  ShippedVisualsFolder() = QDir::cleanPath(folder);
}

QStringList VisualsFolders(const QString& program_folder) {
  QStringList folders{QDir(program_folder).filePath(QStringLiteral("Visuals"))};
  const QString& shipped = ShippedVisualsFolder();
  if (!shipped.isEmpty() && shipped != QDir::cleanPath(folders.first())) folders << shipped;
  return folders;
}

QString SkinFolder(const QString& program_folder, const QString& skin_name) {
  const QStringList folders = VisualsFolders(program_folder);
  for (const QString& folder : folders) {
    const QString path = folder + u'/' + kSkins + u'/' + skin_name;
    if (QFileInfo(path).isDir()) return path;
  }
  return folders.first() + u'/' + kSkins + u'/' + skin_name;
}

QStringList SkinNames(const QString& program_folder) {
  QStringList names;
  for (const QString& folder : VisualsFolders(program_folder)) {
    names << QDir(folder + u'/' + kSkins).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
  }
  return UniqueSorted(names);
}

QStringList ColorSchemeNames(const QString& program_folder) {
  QStringList names;
  for (const QString& folder : VisualsFolders(program_folder)) {
    const QFileInfoList files = QDir(folder + u'/' + kSchemes).entryInfoList(QDir::Files);
    for (const QFileInfo& f : files) {
      const QString name = f.fileName();
      if (name.endsWith(kSchemeExtension, Qt::CaseInsensitive) &&
          name.size() > kSchemeExtension.size()) {
        names << name.left(name.size() - kSchemeExtension.size());
      }
    }
  }
  return UniqueSorted(names);
}

QString ColorSchemeFile(const QString& program_folder, const QString& name) {
  const QStringList folders = VisualsFolders(program_folder);
  for (const QString& folder : folders) {
    const QString path = folder + u'/' + kSchemes + u'/' + name + kSchemeExtension;
    if (QFileInfo(path).isFile()) return path;
  }
  return folders.first() + u'/' + kSchemes + u'/' + name + kSchemeExtension;
}

QString NewColorSchemeFolder(const QString& program_folder) {
  return VisualsFolders(program_folder).first() + u'/' + kSchemes;
}

ColorScheme ReadColorScheme(const QString& file) {
  ColorScheme scheme;
  for (ColorScheme::Role role : ColorScheme::kRoles) {
    const QString text = IniRead(kSchemeSection, ColorScheme::KeyName(role), file);
    // A hand-edited value that is no colour text at all would turn into black
    // text on black; such a value counts as absent.
    const QString trimmed = text.trimmed();
    const bool colour_text = trimmed.startsWith(QLatin1String("&H"), Qt::CaseInsensitive) &&
                             trimmed.size() > 2 &&
                             std::all_of(trimmed.begin() + 2, trimmed.end(), [](QChar c) {
                               return c.isDigit() || (c.toLower() >= u'a' && c.toLower() <= u'f');
                             });
    scheme.SetColorText(role, colour_text ? trimmed : QString());
  }
  return scheme;
}

bool WriteColorScheme(const QString& file, const ColorScheme& scheme) {
  QDir().mkpath(QFileInfo(file).absolutePath());
  bool ok = true;
  for (ColorScheme::Role role : ColorScheme::kRoles) {
    ok = IniWrite(kSchemeSection, ColorScheme::KeyName(role), scheme.ColorText(role), file) && ok;
  }
  return ok;
}

ColorScheme ReadSelectedColorScheme(const Settings& settings) {
  const QString name = settings.Read(QString::fromLatin1(settings_key::kColorScheme));
  if (name.isEmpty()) return ColorScheme();
  return ReadColorScheme(ColorSchemeFile(settings.ProgramFolder(), name));
}

QString VisualsPicture(const QString& program_folder, const QString& relative_path) {
  for (const QString& folder : VisualsFolders(program_folder)) {
    const QString path = folder + u'/' + relative_path;
    if (QFileInfo(path).isFile()) return path;
  }
  return {};
}

}  // namespace orlavo
