// The main window: the main folder, the report list with its filters, the
// ID3v1 panel and the buttons that start everything else.
#ifndef ORLAVO_APP_GUI_MAIN_WINDOW_H_
#define ORLAVO_APP_GUI_MAIN_WINDOW_H_

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QProgressBar>
#include <QWidget>
#include <array>
#include <functional>
#include <memory>

#include "app/gui/about_window.h"
#include "app/gui/file_info_window.h"
#include "app/gui/qt_desktop.h"
#include "app/report_list.h"
#include "app/scan.h"
#include "app/settings.h"
#include "app/syntax_checker.h"
#include "ui/button_set.h"
#include "ui/visuals_window.h"
#include "ui/window_chrome.h"

namespace orlavo {

class CommandButton;
class OptionsDialog;
class PelloxBinding;
class ReportListView;

class MainWindow : public QWidget {
  Q_OBJECT

 public:
  // program_folder holds Settings.ini, Files/, the help document and
  // libpellox.so. The desktop is how the window asks and tells the person.
  MainWindow(const QString& program_folder, Desktop& desktop, PelloxBinding& pellox,
             QWidget* parent = nullptr);
  ~MainWindow() override;

  // The start-up sequence. False when the program is to end at once: another
  // instance runs, or the Pellox library cannot be bound (after the message).
  bool Start(const std::function<bool()>& another_instance_running);
  // An installed program keeps Settings.ini and Files/ in the user's data
  // folder (the program_folder given above); the help document stays in the
  // folder of the executable.
  void SetInstallFolder(const QString& folder);
  const QString& install_folder() const { return install_folder_; }
  // A folder or file handed over on the command line (by a file manager):
  // Start opens that folder instead of the remembered one and selects the file.
  void OpenAtStart(const QString& folder, const QString& file = QString());

  // What the buttons do.
  void SelectFolder();
  void ShowFiles();
  void ApplyFilters();
  void ShowFullInfo();
  void OpenHelp();
  void OpenOptions();
  void OpenAdvancedTools();
  void RowSelected();
  void DoubleClickAction();
  void RemoveSelectedRows();
  void SaveTag();
  void RemoveTag();
  void RenameFromTag();
  void NameToTag();
  void ShowPatternInfo();
  void DefaultPattern();
  void ShowErrorLegend();
  void Exit();
  // The Visuals window (one at a time), from the window menu and the Options dialog.
  void OpenVisuals();

  // The Advanced tools window comes from its own module; until it is set the
  // button says that the tools are not available.
  void SetAdvancedToolsOpener(std::function<void()> opener) {
    advanced_tools_opener_ = std::move(opener);
  }
  // "Edit ID3v1 Tag" of the file name editor: a fresh "Show files", then
  // select_row picks the editor's file in the list (or -1); the panel fills
  // and flashes, and until the next save the tool hears of a save or removal.
  void EditTagFromTools(const std::function<int(ReportList&)>& select_row,
                        std::function<void(const QString& artist, const QString& title)> saved,
                        std::function<void()> removed);
  bool edit_from_tools() const { return edit_from_tools_; }
  // Files deleted by a tool leave the list (no rescan, no question); a panel
  // showing one of them is emptied.
  void ForgetFiles(const QStringList& paths);
  Desktop& desktop() { return desktop_; }
  // Closed together with this window.
  void AddOwnedWindow(QWidget* window);

  // For the windows that work with the main window, and for tests.
  ReportList& list() { return list_; }
  ReportListView* list_view() const { return view_; }
  QLineEdit* folder_box() const { return folder_box_; }
  QLabel* total_label() const { return total_label_; }
  QLabel* percent_label() const { return percent_label_; }
  QProgressBar* progress_bar() const { return progress_bar_; }
  enum Filter { kBadName, kNoV1, kV1, kV2, kNoV2, kBadTag, kFilterCount };
  QCheckBox* filter_box(Filter f) const { return filters_[f]; }
  QLineEdit* file_name_box() const { return file_name_box_; }
  enum Field { kTitle, kArtist, kAlbum, kYear, kComment, kFieldCount };
  QLineEdit* field_box(Field f) const { return fields_[f]; }
  QComboBox* genre_box() const { return genre_box_; }
  QLineEdit* pattern_box() const { return pattern_box_; }
  CommandButton* button(const QString& caption) const;
  OptionsDialog* options_dialog() const { return options_dialog_; }
  FileInfoWindow* info_window() const { return info_window_; }
  AboutWindow* about_window() const { return about_window_; }
  WindowChrome* chrome() const { return chrome_; }
  VisualsWindow* visuals_window() const { return visuals_window_; }
  const QString& program_folder() const { return program_folder_; }
  Settings& settings() { return settings_; }

 protected:
  void closeEvent(QCloseEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  CommandButton* MakeButton(const QString& caption, const QString& tooltip,
                            void (MainWindow::*action)());
  void BuildLayout();
  void ApplyColors();
  ScanSetup CurrentScanSetup() const;
  void SetTotal();
  void EmptyPanel();
  void FillPanel(int row);
  void ReprintInfoWindow();
  int SelectedRow() const;
  void SizeColumns();
  void ShowAbout();
  void KeyReleased();
  bool BindPellox();

  QString program_folder_;
  QString install_folder_;
  QString start_folder_;
  QString start_file_;
  Desktop& desktop_;
  PelloxBinding& pellox_;
  Settings settings_;
  Options& options_;
  SyntaxChecker syntax_;
  ReportList list_;

  QLineEdit* folder_box_;
  ReportListView* view_;
  QLabel* total_label_;
  QProgressBar* progress_bar_;
  QLabel* percent_label_;
  std::array<QCheckBox*, kFilterCount> filters_{};
  QLineEdit* file_name_box_;
  std::array<QLineEdit*, kFieldCount> fields_{};
  QComboBox* genre_box_;
  QLineEdit* pattern_box_;
  ButtonSet buttons_;
  std::unique_ptr<QtProgressDisplay> progress_;

  OptionsDialog* options_dialog_ = nullptr;
  QPointer<FileInfoWindow> info_window_;
  QPointer<AboutWindow> about_window_;
  QPointer<VisualsWindow> visuals_window_;
  WindowChrome* chrome_ = nullptr;
  QList<QPointer<QWidget>> owned_windows_;
  std::function<void()> advanced_tools_opener_;
  // Set from a key press on the list to its release: selection changes then
  // wait for the release.
  bool key_down_ = false;
  // Set while Enter or Delete is handled: a held key acts once.
  bool key_busy_ = false;
  // Set while the panel holds a file put there by the file name editor.
  bool edit_from_tools_ = false;
  std::function<void(const QString&, const QString&)> tools_tag_saved_;
  std::function<void()> tools_tag_removed_;
  bool started_ = false;
};

}  // namespace orlavo

#endif  // ORLAVO_APP_GUI_MAIN_WINDOW_H_
