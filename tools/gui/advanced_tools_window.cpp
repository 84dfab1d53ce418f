#include "tools/gui/advanced_tools_window.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QDir>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QVBoxLayout>

#include "app/flags.h"
#include "app/program_title.h"
#include "tools/gui/tool_pane.h"
#include "ui/apply_color_scheme.h"
#include "ui/button_set.h"
#include "ui/color_scheme.h"
#include "ui/command_button.h"

namespace orlavo {

AdvancedToolsWindow::AdvancedToolsWindow(Services services, PaneFactory factory, QWidget* parent)
    : QWidget(parent, Qt::Window),
      services_(std::move(services)),
      settings_(services_.program_folder),
      // The tools ask through this window: their boxes come up over it and
      // give the focus back to it, not to the main window.
      context_{services_.desktop.ForWindow(this),
               status_,
               services_.pellox,
               services_.options,
               services_.program_folder,
               services_.library_folder},
      factory_(std::move(factory)) {
  setWindowTitle(ProgramTitleWithVersion());
  ApplyWindowColors(this, CurrentColorScheme());
  setAutoFillBackground(true);
  auto make_button = [this](const QString& caption, const QString& tooltip) {
    return buttons_.Add(caption, tooltip, this, 130);
  };

  auto* launch_column = new QVBoxLayout;
  for (const ToolInfo& tool : AdvancedTools()) {
    CommandButton* b = make_button(QString::fromLatin1(tool.launcher_caption),
                                   QString::fromLatin1(tool.launcher_tooltip));
    const ToolCode code = tool.code;
    connect(b, &CommandButton::Click, this, [this, code] { Launch(code); });
    launchers_.insert(code, b);
    launch_column->addWidget(b);
  }
  launch_column->addSpacing(12);
  main_window_button_ = make_button(QString::fromLatin1(kHideMainWindow), {});
  connect(main_window_button_, &CommandButton::Click, this, &AdvancedToolsWindow::ToggleMainWindow);
  files_folder_ = make_button(QString::fromLatin1(kOpenFilesFolder),
                              QString::fromLatin1(kOpenFilesFolderTooltip));
  connect(files_folder_, &CommandButton::Click, this, &AdvancedToolsWindow::OpenFilesFolder);
  launch_column->addWidget(main_window_button_);
  launch_column->addWidget(files_folder_);
  launch_column->addStretch(1);

  pane_caption_ = new QLabel(this);
  QFont caption_font = pane_caption_->font();
  caption_font.setBold(true);
  caption_font.setPointSizeF(caption_font.pointSizeF() * 1.2);
  pane_caption_->setFont(caption_font);
  stack_ = new QStackedWidget(this);
  placeholder_ = new QLabel(QString::fromLatin1(kSelectToolPlaceholder), stack_);
  placeholder_->setAlignment(Qt::AlignCenter);
  stack_->addWidget(placeholder_);
  auto* pane_column = new QVBoxLayout;
  pane_column->addWidget(pane_caption_);
  pane_column->addWidget(stack_, 1);

  auto* top = new QHBoxLayout;
  top->addLayout(launch_column);
  top->addLayout(pane_column, 1);

  auto* status_box = new QGroupBox(QString::fromLatin1(kStatusCaption), this);
  status_box->setToolTip(QString::fromLatin1(kStatusTooltip));
  status_label_ = new QLabel(status_box);
  status_label_->setMinimumWidth(200);
  bar_ = new QProgressBar(status_box);
  bar_->setTextVisible(false);
  bar_->setRange(0, 1);
  bar_->setValue(0);
  bar_->setMaximumHeight(14);
  percent_label_ = new QLabel(QStringLiteral("0%"), status_box);
  percent_label_->setMinimumWidth(40);
  auto* status_layout = new QHBoxLayout(status_box);
  status_layout->addWidget(status_label_, 2);
  status_layout->addWidget(bar_, 2);
  status_layout->addWidget(percent_label_);

  exit_ = make_button(QString::fromLatin1(kExitCaptionClose), QString::fromLatin1(kExitTooltip));
  connect(exit_, &CommandButton::Click, this, &AdvancedToolsWindow::PressExit);
  options_ = make_button(QStringLiteral("Options"), QString::fromLatin1(kOptionsTooltip));
  connect(options_, &CommandButton::Click, this, [this] {
    if (services_.open_options) services_.open_options();
  });
  auto* bottom = new QHBoxLayout;
  bottom->addWidget(status_box, 1);
  bottom->addWidget(options_);
  bottom->addWidget(exit_);

  auto* root = new QVBoxLayout(this);
  root->addLayout(top, 1);
  root->addLayout(bottom);

  connect(&status_, &ToolsStatus::changed, this, &AdvancedToolsWindow::RefreshStatus);
  resize(1000, 640);
  chrome_ = new WindowChrome(this, services_.program_folder,
                             {services_.open_about, [this](const QString& address) {
                                context_.desktop.ShellOpen(address);
                              }});
  ApplyColorScheme(this);
}

AdvancedToolsWindow::~AdvancedToolsWindow() {
  // Panes hold tool lists that their views show; take them down first.
  for (ToolPane* pane : panes_) delete pane;
}

void AdvancedToolsWindow::Load() {
  setWindowTitle(ProgramTitleWithVersion());
  const ToolCode code = ToolToOpen(settings_);
  if (code != ToolCode::kNone) Launch(code);
}

bool AdvancedToolsWindow::placeholder_shown() const {
  return stack_->currentWidget() == placeholder_;
}

void AdvancedToolsWindow::SetLaunchersEnabled(bool enabled) {
  for (CommandButton* b : launchers_) b->setEnabled(enabled);
}

void AdvancedToolsWindow::MarkLauncher(ToolCode code) {
  const ColorScheme& scheme = CurrentColorScheme();
  for (auto it = launchers_.begin(); it != launchers_.end(); ++it) {
    it.value()->SetBackColor(scheme.ButtonColor());
    it.value()->SetForeColor(it.key() == code ? ColorScheme::HighlightColor() : QColor(Qt::black));
  }
}

void AdvancedToolsWindow::Launch(ToolCode code) {
  const ToolInfo* tool = FindTool(code);
  if (tool == nullptr) return;
  SetLaunchersEnabled(false);
  open_tool_ = code;
  ToolPane* pane = panes_.value(code, nullptr);
  if (pane == nullptr && factory_) {
    pane = factory_(code, context_, stack_);
    if (pane != nullptr) {
      panes_.insert(code, pane);
      stack_->addWidget(pane);
      ApplyColorSchemeToControls(pane);
    }
  }
  pane_caption_->setText(QString::fromLatin1(tool->pane_caption));
  stack_->setCurrentWidget(pane != nullptr ? static_cast<QWidget*>(pane) : placeholder_);
  if (pane != nullptr) pane->ShowTool();
  SetLaunchersEnabled(true);
  MarkLauncher(code);
}

void AdvancedToolsWindow::RefreshStatus() {
  status_label_->setText(status_.status_text());
  const qint64 total = status_.bar_total();
  if (total > 0) {
    bar_->setRange(0, static_cast<int>(std::min<qint64>(total, INT_MAX)));
    bar_->setValue(static_cast<int>(std::min(status_.bar_current(), total)));
  } else {
    bar_->setRange(0, 1);
    bar_->setValue(0);
  }
  percent_label_->setText(status_.percent_text());
  exit_->SetCaption(status_.exit_caption());
  if (deletion_held_ && !status_.run_active()) {
    deletion_held_ = false;
    // Qt drops a deferred delete posted while an earlier one was taken and
    // the object still has events waiting: without clearing those, this
    // second request would be dropped and the window would stay, hidden, for
    // good. They are for a window about to go anyway.
    QCoreApplication::removePostedEvents(this);
    deleteLater();
  }
}

void AdvancedToolsWindow::PressExit() {
  if (status_.PressExit() == ToolsStatus::ExitAction::kCloseWindow) close();
  RefreshStatus();
}

void AdvancedToolsWindow::ToggleMainWindow() {
  QWidget* main = services_.main_window;
  if (main != nullptr) {
    const bool hide = main_window_button_->Caption() == QLatin1String(kHideMainWindow);
    main->setVisible(!hide);
  }
  main_window_button_->SetCaption(ToggledMainWindowCaption(main_window_button_->Caption()));
}

void AdvancedToolsWindow::OpenFilesFolder() {
  context_.desktop.ShellOpen(QDir(services_.program_folder).filePath(QStringLiteral("Files")));
}

void AdvancedToolsWindow::Activated() {
  if (closing_) return;
  OnToolsWindowActivated(settings_, open_tool_);
  if (PathChanged) {
    PathChanged = false;
    if (context_.desktop.AskYesNo(QStringLiteral("Update info"),
                                  QStringLiteral("Path has been changed, update?"))) {
      emit reloadRequested();
    }
  }
}

void AdvancedToolsWindow::changeEvent(QEvent* event) {
  QWidget::changeEvent(event);
  if (event->type() == QEvent::ActivationChange && isActiveWindow()) Activated();
}

bool AdvancedToolsWindow::event(QEvent* event) {
  // A close while a tool runs (its loop lets events in) must not delete the
  // panes under that loop: the deletion waits for the run to end.
  if (event->type() == QEvent::DeferredDelete && status_.run_active()) {
    deletion_held_ = true;
    return true;
  }
  return QWidget::event(event);
}

void AdvancedToolsWindow::closeEvent(QCloseEvent* event) {
  closing_ = true;
  OnToolsWindowClosing(settings_, open_tool_);
  if (services_.main_window != nullptr) services_.main_window->show();
  ToolKeys keys;
  keys.sort_root_path = settings_.Read(QString::fromLatin1(settings_key::kSortRootPath));
  keys.list_gen_syntax = settings_.Read(QString::fromLatin1(settings_key::kMP3ListGenSyntax));
  keys.split_source = settings_.Read(QString::fromLatin1(settings_key::kSplitSFile));
  keys.split_result_dir = settings_.Read(QString::fromLatin1(settings_key::kSplitRDir));
  for (ToolPane* pane : panes_) pane->SaveKeys(keys);
  SaveToolKeys(settings_, keys);
  event->accept();
}

}  // namespace orlavo
