#include "app/gui/qt_desktop.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QInputDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <functional>

namespace orlavo {
namespace {

// Runs act on the next modal dialog of type Dialog once it is showing; gives
// up after a few seconds so a dialog that never comes cannot act on a later one.
template <typename Dialog>
void OnNextDialog(std::function<void(Dialog*)> act) {
  auto* timer = new QTimer;
  auto tries = std::make_shared<int>(0);
  timer->setInterval(10);
  QObject::connect(timer, &QTimer::timeout, [timer, tries, act] {
    auto* dialog = qobject_cast<Dialog*>(QApplication::activeModalWidget());
    if (!dialog && ++*tries < 500) return;
    timer->stop();
    timer->deleteLater();
    if (!dialog) return;
    act(dialog);
    // A dialog that refused to close would hang the test; fail it instead.
    QTimer::singleShot(5000, [open = QPointer<Dialog>(dialog)] {
      if (open && open->isVisible()) static_cast<QDialog*>(open.data())->reject();
    });
  });
  timer->start();
}

struct ShownBox {
  QString title, text;
  QMessageBox::StandardButtons buttons;
  QMessageBox::Icon icon = QMessageBox::NoIcon;
  Qt::TextFormat format = Qt::AutoText;
  QMessageBox::StandardButton default_button = QMessageBox::NoButton;
  QWidget* parent = nullptr;
};

// Shows a message, records the box and presses `press` (NoButton: Escape).
Desktop::Answer Ask(QtDesktop& desktop, const QString& title, const QString& text,
                    Desktop::Buttons buttons, Desktop::Icon icon, QMessageBox::StandardButton press,
                    ShownBox* shown) {
  OnNextDialog<QMessageBox>([shown, press](QMessageBox* box) {
    shown->title = box->windowTitle();
    shown->text = box->text();
    shown->buttons = box->standardButtons();
    shown->icon = box->icon();
    shown->format = box->textFormat();
    shown->default_button = box->standardButton(box->defaultButton());
    shown->parent = box->parentWidget();
    if (press == QMessageBox::NoButton) {
      box->reject();
    } else {
      box->button(press)->click();
    }
  });
  return desktop.Message(title, text, buttons, icon);
}

TEST(QtDesktopTest, MessageShowsExactTitleTextButtonsAndIcon) {
  using B = Desktop::Buttons;
  using I = Desktop::Icon;
  using A = Desktop::Answer;
  struct Case {
    B buttons;
    I icon;
    QMessageBox::StandardButton press;
    QMessageBox::StandardButtons shown_buttons;
    QMessageBox::Icon shown_icon;
    A answer;
  };
  const Case cases[] = {
      {B::kOk, I::kInformation, QMessageBox::Ok, QMessageBox::Ok, QMessageBox::Information, A::kOk},
      {B::kYesNo, I::kQuestion, QMessageBox::Yes, QMessageBox::Yes | QMessageBox::No,
       QMessageBox::Question, A::kYes},
      {B::kYesNo, I::kInformation, QMessageBox::No, QMessageBox::Yes | QMessageBox::No,
       QMessageBox::Information, A::kNo},
      {B::kRetryCancel, I::kCritical, QMessageBox::Retry, QMessageBox::Retry | QMessageBox::Cancel,
       QMessageBox::Critical, A::kRetry},
      {B::kRetryCancel, I::kWarning, QMessageBox::Cancel, QMessageBox::Retry | QMessageBox::Cancel,
       QMessageBox::Warning, A::kCancel},
      {B::kOk, I::kNone, QMessageBox::Ok, QMessageBox::Ok, QMessageBox::NoIcon, A::kOk},
      // Escape: the safe answer.
      {B::kYesNo, I::kQuestion, QMessageBox::NoButton, QMessageBox::Yes | QMessageBox::No,
       QMessageBox::Question, A::kNo},
      {B::kRetryCancel, I::kCritical, QMessageBox::NoButton,
       QMessageBox::Retry | QMessageBox::Cancel, QMessageBox::Critical, A::kCancel},
  };
  QtDesktop desktop;
  for (const Case& c : cases) {
    ShownBox shown;
    const A answer = Ask(desktop, QStringLiteral("Renaming..."),
                         QStringLiteral("Are you sure you want to rename /music/a.mp3"), c.buttons,
                         c.icon, c.press, &shown);
    EXPECT_EQ(answer, c.answer);
    EXPECT_EQ(shown.title, QStringLiteral("Renaming..."));
    EXPECT_EQ(shown.text, QStringLiteral("Are you sure you want to rename /music/a.mp3"));
    EXPECT_EQ(shown.buttons, c.shown_buttons);
    EXPECT_EQ(shown.icon, c.shown_icon);
  }
}

TEST(QtDesktopTest, MessageWithoutTitleCarriesTheProgramTitleAndPlainText) {
  QtDesktop desktop;
  ShownBox shown;
  const QString text = QStringLiteral("<b>File names cannot hold \\ / : * ? \" < > |</b> & more");
  Ask(desktop, QString(), text, Desktop::Buttons::kYesNo, Desktop::Icon::kQuestion,
      QMessageBox::Yes, &shown);
  EXPECT_EQ(shown.title, QStringLiteral("Orlavo Professional"));
  EXPECT_EQ(shown.text, text);
  EXPECT_EQ(shown.format, Qt::PlainText);
  // Questions stand before damage: Enter is No.
  EXPECT_EQ(shown.default_button, QMessageBox::No);
}

TEST(QtDesktopTest, AWindowsDesktopPutsItsBoxesOverThatWindow) {
  QWidget main_window, tools_window;
  QtDesktop desktop(&main_window);
  Desktop& tools = desktop.ForWindow(&tools_window);
  EXPECT_EQ(&desktop.ForWindow(&tools_window), &tools);
  EXPECT_NE(&tools, static_cast<Desktop*>(&desktop));
  ShownBox shown;
  Ask(desktop, "t", "x", Desktop::Buttons::kOk, Desktop::Icon::kNone, QMessageBox::Ok, &shown);
  EXPECT_EQ(shown.parent, &main_window);
  ASSERT_NE(dynamic_cast<QtDesktop*>(&tools), nullptr);
  Ask(*dynamic_cast<QtDesktop*>(&tools), "t", "x", Desktop::Buttons::kOk, Desktop::Icon::kNone,
      QMessageBox::Ok, &shown);
  EXPECT_EQ(shown.parent, &tools_window);
  // Not a window: the desktop itself.
  QObject plain;
  EXPECT_EQ(&desktop.ForWindow(&plain), static_cast<Desktop*>(&desktop));
}

TEST(QtDesktopTest, FolderPickerStartsAtTheFolderAndReturnsTheChoice) {
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  const QString folder = dir.path() + QStringLiteral("/Live & Rare #1");
  ASSERT_TRUE(QDir().mkpath(folder));
  QtDesktop desktop;
  QString title, start;
  OnNextDialog<QFileDialog>([&](QFileDialog* dialog) {
    title = dialog->windowTitle();
    start = dialog->directory().absolutePath();
    static_cast<QDialog*>(dialog)->accept();
  });
  EXPECT_EQ(desktop.BrowseForFolder(QStringLiteral("Select MP3 Folder..."), folder + "/"), folder);
  EXPECT_EQ(title, QStringLiteral("Select MP3 Folder..."));
  EXPECT_EQ(start, folder);
}

TEST(QtDesktopTest, FolderPickerWithoutFolderStartsAtHomeAndCancelGivesEmpty) {
  QtDesktop desktop;
  QString start;
  OnNextDialog<QFileDialog>([&](QFileDialog* dialog) {
    start = dialog->directory().absolutePath();
    dialog->reject();
  });
  EXPECT_EQ(desktop.BrowseForFolder(QStringLiteral("Select MP3 Folder..."), QString()), QString());
  EXPECT_EQ(start, QDir::homePath());
}

TEST(QtDesktopTest, OpenFileDialogFiltersAndReturnsTheFile) {
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  const QString song = dir.path() + QStringLiteral("/Song.mp3");
  QFile file(song);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.close();
  QtDesktop desktop;
  QStringList filters;
  QString selected_filter, suffix, title;
  OnNextDialog<QFileDialog>([&](QFileDialog* dialog) {
    title = dialog->windowTitle();
    filters = dialog->nameFilters();
    selected_filter = dialog->selectedNameFilter();
    suffix = dialog->defaultSuffix();
    // Typed as a user would; the file list fills in the background and may lag.
    auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
    ASSERT_NE(name, nullptr);
    name->setText(song);
    static_cast<QDialog*>(dialog)->accept();
  });
  const QString chosen =
      desktop.OpenFileDialog(QStringLiteral("MP3 Files (*.mp3)|*.mp3|All Files {*.*}|*.*"),
                             QStringLiteral("Select Source File"), QStringLiteral("*.mp3"));
  EXPECT_EQ(chosen, song);
  EXPECT_EQ(title, QStringLiteral("Select Source File"));
  EXPECT_EQ(filters, (QStringList{QStringLiteral("MP3 Files (*.mp3)"),
                                  QStringLiteral("All Files {*.*} (*)")}));
  EXPECT_EQ(selected_filter, QStringLiteral("MP3 Files (*.mp3)"));
  EXPECT_EQ(suffix, QStringLiteral("mp3"));

  OnNextDialog<QFileDialog>([](QFileDialog* dialog) { dialog->reject(); });
  EXPECT_EQ(desktop.OpenFileDialog(QStringLiteral("Cue Files (*.cue)|*.cue"),
                                   QStringLiteral("Select Cue File"), QStringLiteral("*.mp3")),
            QString());
}

TEST(QtDesktopTest, FileDialogFiltersFromDescriptionPatternPairs) {
  const std::pair<const char*, QStringList> cases[] = {
      {"MP3 Files (*.mp3)|*.mp3", {"MP3 Files (*.mp3)"}},
      {"MP3 Files (*.mp3)|*.mp3|", {"MP3 Files (*.mp3)"}},
      {"All Files (*.*)|*.*", {"All Files (*)"}},
      {"Cue Files (*.cue)|*.cue|All Files {*.*}|*.*", {"Cue Files (*.cue)", "All Files {*.*} (*)"}},
      {"Sound|*.wav;*.mp3", {"Sound (*.wav *.mp3)"}},
      {"Text", {"Text (*)"}},
      {"", {}},
  };
  for (const auto& [filter, expected] : cases) {
    EXPECT_EQ(FileDialogFilters(QString::fromLatin1(filter)), expected) << filter;
  }
}

TEST(QtDesktopTest, InputBoxShowsPromptTitleAndProposal) {
  QtDesktop desktop;
  QString title, prompt, proposed;
  OnNextDialog<QInputDialog>([&](QInputDialog* dialog) {
    title = dialog->windowTitle();
    prompt = dialog->labelText();
    proposed = dialog->textValue();
    dialog->setTextValue(QStringLiteral("Night.ovc"));
    static_cast<QDialog*>(dialog)->accept();
  });
  EXPECT_EQ(desktop.InputBox(QStringLiteral("New Name"), QStringLiteral("New Color Scheme"),
                             QStringLiteral("NewColorS.ovc")),
            std::optional<QString>(QStringLiteral("Night.ovc")));
  EXPECT_EQ(title, QStringLiteral("New Color Scheme"));
  EXPECT_EQ(prompt, QStringLiteral("New Name"));
  EXPECT_EQ(proposed, QStringLiteral("NewColorS.ovc"));

  OnNextDialog<QInputDialog>([&](QInputDialog* dialog) {
    title = dialog->windowTitle();
    dialog->reject();
  });
  EXPECT_EQ(desktop.InputBox(QStringLiteral("Name"), QString(), QString()), std::nullopt);
  EXPECT_EQ(title, QStringLiteral("Orlavo Professional"));
}

TEST(QtDesktopTest, ShellTargetsBecomeFileWebOrMailAddresses) {
  const QUrl file = ShellTargetUrl(QStringLiteral("/music/Live & Rare #1/a%20b.mp3"));
  EXPECT_TRUE(file.isLocalFile());
  EXPECT_EQ(file.toLocalFile(), QStringLiteral("/music/Live & Rare #1/a%20b.mp3"));
  EXPECT_EQ(ShellTargetUrl(QStringLiteral("/music/")).toLocalFile(), QStringLiteral("/music/"));
  EXPECT_EQ(ShellTargetUrl(QStringLiteral("https://example.org/updates")).toString(),
            QStringLiteral("https://example.org/updates"));
  EXPECT_EQ(ShellTargetUrl(QStringLiteral("www.example.org")).toString(),
            QStringLiteral("http://www.example.org"));
  const QUrl mail =
      ShellTargetUrl(QStringLiteral("mailto:support@example.org?subject=INCORRECT DLL"));
  EXPECT_EQ(mail.scheme(), QStringLiteral("mailto"));
  EXPECT_EQ(mail.path(), QStringLiteral("support@example.org"));
  EXPECT_FALSE(ShellTargetUrl(QString()).isValid());
}

class UrlCatcher : public QObject {
  Q_OBJECT
 public:
  QList<QUrl> urls;
 public slots:
  void Open(const QUrl& url) { urls << url; }
};

TEST(QtDesktopTest, ShellOpenHandsTheAddressToTheDesktop) {
  UrlCatcher catcher;
  for (const char* scheme : {"file", "https", "mailto"}) {
    QDesktopServices::setUrlHandler(QString::fromLatin1(scheme), &catcher, "Open");
  }
  QtDesktop desktop;
  EXPECT_TRUE(desktop.ShellOpen(QStringLiteral("/music/a #1.mp3")));
  EXPECT_TRUE(desktop.ShellOpen(QStringLiteral("https://example.org/")));
  EXPECT_TRUE(desktop.ShellOpen(QStringLiteral("mailto:support@example.org")));
  EXPECT_FALSE(desktop.ShellOpen(QString()));
  for (const char* scheme : {"file", "https", "mailto"}) {
    QDesktopServices::unsetUrlHandler(QString::fromLatin1(scheme));
  }
  ASSERT_EQ(catcher.urls.size(), 3);
  EXPECT_EQ(catcher.urls[0].toLocalFile(), QStringLiteral("/music/a #1.mp3"));
  EXPECT_EQ(catcher.urls[1], QUrl(QStringLiteral("https://example.org/")));
  EXPECT_EQ(catcher.urls[2].scheme(), QStringLiteral("mailto"));
}

TEST(QtDesktopTest, LetEventsRunDeliversPendingEvents) {
  bool ran = false;
  QTimer::singleShot(0, [&ran] { ran = true; });
  QtDesktop desktop;
  desktop.LetEventsRun();
  EXPECT_TRUE(ran);
}

TEST(QtProgressDisplayTest, ShowsCaptionBarAndPercent) {
  QLabel caption, percent;
  QProgressBar bar;
  QtProgressDisplay display(&caption, &bar, &percent);
  EXPECT_EQ(bar.value(), 0);
  display.SetCaption(QStringLiteral("Scanning #3 of 120"));
  display.SetBar(3, 120);
  display.SetPercent(QStringLiteral("2%"));
  EXPECT_EQ(caption.text(), QStringLiteral("Scanning #3 of 120"));
  EXPECT_EQ(bar.maximum(), 120);
  EXPECT_EQ(bar.value(), 3);
  EXPECT_EQ(percent.text(), QStringLiteral("2%"));
  EXPECT_FALSE(bar.isTextVisible());

  display.SetBar(150, 120);
  EXPECT_EQ(bar.value(), 120);
  display.SetBar(0, 0);
  EXPECT_EQ(bar.value(), 0);
  EXPECT_EQ(bar.minimum(), 0);
  EXPECT_EQ(bar.maximum(), 1);

  // Totals beyond the bar's int range keep their proportion.
  const qint64 big = 6'000'000'000;
  display.SetBar(big / 2, big);
  EXPECT_NEAR(double(bar.value()) / bar.maximum(), 0.5, 1e-6);
}

TEST(QtProgressDisplayTest, SkipsWidgetsThatAreGone) {
  auto* caption = new QLabel;
  auto* bar = new QProgressBar;
  QLabel percent;
  QtProgressDisplay display(caption, bar, &percent);
  delete caption;
  delete bar;
  display.SetCaption(QStringLiteral("Joining #1 of 2"));
  display.SetBar(1, 2);
  display.SetPercent(QStringLiteral("50%"));
  EXPECT_EQ(percent.text(), QStringLiteral("50%"));
}

}  // namespace
}  // namespace orlavo

#include "qt_desktop_test.moc"
