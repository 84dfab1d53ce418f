#include "app/settings.h"

#include "app/desktop.h"
#include "app/flags.h"
#include "app/ini_file.h"

namespace orlavo {
namespace {

QString WithTrailingSlash(const QString& folder) {
  if (folder.isEmpty() || folder.endsWith(u'/')) return folder;
  return folder + u'/';
}

// A drop-down shows the stored text when it is one of its entries, else its
// first entry.
QString EntryOrFirst(const QString& value, const QStringList& entries) {
  return entries.contains(value) ? value : entries.first();
}

QString FlagText(bool on) { return on ? QStringLiteral("1") : QStringLiteral("0"); }

}  // namespace

QStringList DoubleClickActions() { return {kPlayMp3, kOpenMp3Folder}; }

QStringList SizeUnits() { return {"Bytes", "KB", "MB"}; }

Settings::Settings(const QString& program_folder)
    : program_folder_(WithTrailingSlash(program_folder)) {}

QString Settings::FilePath() const { return program_folder_ + kSettingsFileName; }

QString Settings::Read(const QString& key) const {
  return IniRead(kSettingsSection, key, FilePath());
}

bool Settings::Write(const QString& key, const QString& value) const {
  return IniWrite(kSettingsSection, key, value, FilePath());
}

bool Settings::WriteFlag(const QString& key, bool on) const { return Write(key, FlagText(on)); }

QString Settings::DoubleClickAction() const {
  return EntryOrFirst(Read(settings_key::kExeShow), DoubleClickActions());
}

QString Settings::SizeUnit() const {
  return EntryOrFirst(Read(settings_key::kFSizeFormat), SizeUnits());
}

bool Settings::IncludeSubDirectories() const {
  return Read(settings_key::kIncludeSubDirectories) == u"1";
}

bool Settings::NoWarning() const { return Read(settings_key::kNoWarning) == u"1"; }

bool Settings::PrefixDir() const { return Read(settings_key::kPrefixDir) == u"1"; }

bool Settings::RenderList1Invisible() const {
  QString value = Read(settings_key::kRenderList1Invisible);
  return value.isEmpty() || value == u"1";
}

bool Settings::ShowCurrentFile() const {
  QString value = Read(settings_key::kShowCurrentFile);
  return value.isEmpty() || value == u"1";
}

FolderChoice Settings::DirPathOption() const {
  return Read(settings_key::kDirPathOption) == u"2" ? FolderChoice::kUseSpecifiedPath
                                                    : FolderChoice::kRememberLastUsed;
}

QString Settings::DirPath() const { return Read(settings_key::kDirPath); }

ToolCode Settings::LastUsed() const {
  bool ok = false;
  int code = Read(settings_key::kLastUsed).toInt(&ok);
  if (!ok || code < 1 || code > 7) return ToolCode::kNone;
  return static_cast<ToolCode>(code);
}

QString Settings::Syntax() const {
  QString pattern = Read(settings_key::kSyntax);
  return pattern.isEmpty() ? QString(kDefaultRenamePattern) : pattern;
}

QString Settings::SkinName() const {
  QString name = Read(settings_key::kSkinName);
  return name.isEmpty() ? QString(kDefaultSkinName) : name;
}

void Options::SetMainFolder(const QString& folder) {
  if (folder == main_folder) return;
  main_folder = folder;
  PathChanged = true;
}

void Options::Load(const Settings& settings) {
  double_click_action = settings.DoubleClickAction();
  size_unit = settings.SizeUnit();
  include_sub_directories = settings.IncludeSubDirectories();
  render_list_invisible = settings.RenderList1Invisible();
  show_current_file = settings.ShowCurrentFile();
  no_warning = settings.NoWarning();
  prefix_dir = settings.PrefixDir();
  QString dir_path = settings.DirPath();
  SetMainFolder(dir_path);
  folder_choice = settings.DirPathOption();
  if (folder_choice == FolderChoice::kUseSpecifiedPath) specified_folder = dir_path;
}

bool Options::Save(const Settings& settings) {
  namespace key = settings_key;
  bool ok = settings.Write(key::kExeShow, double_click_action);
  ok &= settings.Write(key::kFSizeFormat, size_unit);
  ok &= settings.WriteFlag(key::kIncludeSubDirectories, include_sub_directories);
  ok &= settings.WriteFlag(key::kRenderList1Invisible, render_list_invisible);
  ok &= settings.WriteFlag(key::kShowCurrentFile, show_current_file);
  ok &= settings.WriteFlag(key::kNoWarning, no_warning);
  ok &= settings.WriteFlag(key::kPrefixDir, prefix_dir);
  if (folder_choice == FolderChoice::kUseSpecifiedPath) {
    ok &= settings.Write(key::kDirPathOption, "2");
    ok &= settings.Write(key::kDirPath, specified_folder);
    SetMainFolder(specified_folder);
  } else {
    ok &= settings.Write(key::kDirPathOption, "1");
    ok &= settings.Write(key::kDirPath, main_folder);
  }
  return ok;
}

void Options::ChooseRememberLastUsed() { folder_choice = FolderChoice::kRememberLastUsed; }

void Options::ChooseUseSpecifiedPath(const Settings& settings) {
  folder_choice = FolderChoice::kUseSpecifiedPath;
  specified_folder = settings.DirPath();
}

void Options::BrowseSpecifiedFolder(Desktop& desktop) {
  QString chosen = desktop.BrowseForFolder("Select MP3 Folder...", specified_folder);
  if (!chosen.isEmpty()) specified_folder = WithTrailingSlash(chosen);
}

Options& LiveOptions() {
  static Options options;
  return options;
}

}  // namespace orlavo
