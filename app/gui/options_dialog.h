// The Options dialog: its controls are the live option values of the whole
// program. Every change counts for the next operation at once; "OK" (and the
// close box, and closing at exit) writes them to Settings.ini, "Cancel" only
// hides the dialog. Activation reads Settings.ini into the controls again.
#ifndef ORLAVO_APP_GUI_OPTIONS_DIALOG_H_
#define ORLAVO_APP_GUI_OPTIONS_DIALOG_H_

#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPointer>
#include <QRadioButton>
#include <functional>

#include "app/desktop.h"
#include "app/gui/about_window.h"
#include "app/settings.h"
#include "ui/color_scheme.h"
#include "ui/command_button.h"

namespace orlavo {

class OptionsDialog : public QDialog {
  Q_OBJECT

 public:
  // options is the live object the controls edit (LiveOptions() in the
  // program); settings, desktop and options must outlive the dialog.
  OptionsDialog(Options& options, const Settings& settings, Desktop& desktop,
                QWidget* parent = nullptr);

  // Reads every option from Settings.ini into the live values and the
  // controls, and hands DirPath to the main window (mainFolderChanged). Runs
  // whenever the dialog is opened anew (shown after being hidden); the
  // program calls it once at start-up. Focus moving between the program's
  // windows, boxes and pickers is no new opening.
  void Activate();
  // "OK": the controls are written to Settings.ini and the dialog hides. With
  // "Use specified path" its folder becomes the main folder.
  void Save();
  // "Cancel": hides without writing; the edited values stay live until the
  // next opening reloads them. Unsaved ignore-list entries are dropped.
  void Cancel();

  // Background, text and button colours from the scheme.
  void ApplyColors(const ColorScheme& scheme);

  // The controls, for the program's windows and the tests.
  QComboBox* DoubleClickBox() const { return double_click_; }
  QComboBox* SizeUnitBox() const { return size_unit_; }
  QCheckBox* IncludeSubDirectoriesBox() const { return include_sub_directories_; }
  QCheckBox* RenderListInvisibleBox() const { return render_list_invisible_; }
  QCheckBox* ShowCurrentFileBox() const { return show_current_file_; }
  QCheckBox* NoWarningBox() const { return no_warning_; }
  QCheckBox* PrefixDirBox() const { return prefix_dir_; }
  QRadioButton* RememberLastUsedButton() const { return remember_last_used_; }
  QRadioButton* UseSpecifiedPathButton() const { return use_specified_path_; }
  QLineEdit* FolderPathBox() const { return folder_path_; }
  CommandButton* BrowseButton() const { return browse_; }
  CommandButton* OkButton() const { return ok_; }
  CommandButton* CancelButton() const { return cancel_; }
  CommandButton* VisualsButton() const { return visuals_; }
  // What "Visuals" opens.
  void SetVisualsOpener(std::function<void()> opener) { visuals_opener_ = std::move(opener); }
  CommandButton* AboutButton() const { return about_; }
  CommandButton* SyntaxIgnoreListButton() const { return syntax_ignore_list_; }
  CommandButton* FolderIgnoreListButton() const { return folder_ignore_list_; }
  // The folder ignore list panel and its controls.
  QGroupBox* IgnoreListPanel() const { return ignore_panel_; }
  QListWidget* IgnoreList() const { return ignore_list_; }
  CommandButton* AddIgnoredButton() const { return add_ignored_; }
  CommandButton* SaveIgnoreListButton() const { return save_ignore_list_; }
  CommandButton* ClearIgnoreListButton() const { return clear_ignore_list_; }
  CommandButton* HideIgnoreListButton() const { return hide_ignore_list_; }
  // The About window once "About" has opened it, else null.
  AboutWindow* About() const { return about_window_; }

 signals:
  // Activation and saving put a folder into the main folder box.
  void mainFolderChanged(const QString& folder);

 public slots:
  // Escape and the window manager's "reject" are "Cancel".
  void reject() override;

 protected:
  void showEvent(QShowEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void BuildControls();
  void BuildLayout();
  void SetTabOrder();
  void ConnectControls();

  // Live values -> controls, without the change handlers running.
  void ShowLiveValues();
  // Controls -> live values.
  void ReadControls();
  void UpdateEnabledControls();

  void ChooseUseSpecifiedPath();
  void BrowseFolder();
  void ShowVisuals();
  void ShowAbout();
  void OpenSyntaxIgnoreList();

  void ShowIgnoreListPanel();
  void AddIgnoredFolder();
  void AppendIgnoredFolder(const QString& folder);
  void RemoveSelectedIgnoredFolder();
  void ClearIgnoreList();
  void SaveIgnoreList();
  void HideIgnoreListPanel();

  Options& options_;
  const Settings& settings_;
  Desktop& desktop_;

  QLabel* double_click_label_ = nullptr;
  QComboBox* double_click_ = nullptr;
  QLabel* size_unit_label_ = nullptr;
  QComboBox* size_unit_ = nullptr;
  QCheckBox* include_sub_directories_ = nullptr;
  QCheckBox* render_list_invisible_ = nullptr;
  QCheckBox* show_current_file_ = nullptr;
  QCheckBox* no_warning_ = nullptr;
  QCheckBox* prefix_dir_ = nullptr;
  QGroupBox* folder_frame_ = nullptr;
  QRadioButton* remember_last_used_ = nullptr;
  QRadioButton* use_specified_path_ = nullptr;
  QLabel* folder_path_label_ = nullptr;
  QLineEdit* folder_path_ = nullptr;
  CommandButton* browse_ = nullptr;
  CommandButton* ok_ = nullptr;
  CommandButton* cancel_ = nullptr;
  CommandButton* visuals_ = nullptr;
  std::function<void()> visuals_opener_;
  CommandButton* about_ = nullptr;
  CommandButton* syntax_ignore_list_ = nullptr;
  CommandButton* folder_ignore_list_ = nullptr;

  QGroupBox* ignore_panel_ = nullptr;
  QLabel* ignore_label_ = nullptr;
  QListWidget* ignore_list_ = nullptr;
  CommandButton* add_ignored_ = nullptr;
  CommandButton* save_ignore_list_ = nullptr;
  CommandButton* clear_ignore_list_ = nullptr;
  CommandButton* hide_ignore_list_ = nullptr;

  QPointer<AboutWindow> about_window_;
  // How much taller the dialog grew to show the ignore-list panel.
  int panel_added_height_ = 0;
};

}  // namespace orlavo

#endif  // ORLAVO_APP_GUI_OPTIONS_DIALOG_H_
