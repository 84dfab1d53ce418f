#include "tools/joiner/gui/joiner_pane.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QEnterEvent>
#include <QKeyEvent>
#include <QPointer>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QVBoxLayout>

#include "app/gui/report_list_view.h"
#include "app/pellox_binding.h"
#include "tests/support/fake_desktop.h"
#include "tests/support/lame_fixture.h"
#include "tests/support/qstring_print.h"
#include "tools/gui/advanced_tools_window.h"
#include "tools/gui/genre_list.h"
#include "tools/gui/link_label.h"
#include "ui/command_button.h"

namespace orlavo {
namespace {

using testing::Bytes;
using testing::FakeDesktop;
using Answer = Desktop::Answer;

Bytes Frame(uint8_t fill) {
  Bytes f(417, fill);
  f[0] = 0xFF, f[1] = 0xFB, f[2] = 0x90, f[3] = 0x44;
  return f;
}

class JoinerPaneTest : public ::testing::Test {
 protected:
  void SetUp() override {
    program_ = dir_.filePath("program") + u'/';
    music_ = dir_.filePath("music") + u'/';
    QDir().mkpath(program_);
    QDir().mkpath(music_);
    options_.main_folder = music_;
    options_.size_unit = "Bytes";
    pane_ = new JoinerPane(ToolContext{desktop_, status_, pellox_, options_, program_}, &window_);
    auto* layout = new QVBoxLayout(&window_);
    layout->addWidget(pane_);
    window_.resize(700, 650);
    window_.show();
    pane_->ShowTool();
  }
  QString Write(const QString& name, const Bytes& bytes) {
    testing::WriteFileBytes(music_ + name, bytes);
    return music_ + name;
  }
  void Click(const char* caption) { pane_->button(QString::fromLatin1(caption))->PerformClick(); }
  void AddTwo() {
    desktop_.files = {Write("b.mp3", Frame(2)), Write("a.mp3", Frame(1))};
    Click(joiner_text::kAddFiles);
    Click(joiner_text::kAddFiles);
  }

  QTemporaryDir dir_;
  QString program_, music_;
  FakeDesktop desktop_;
  ToolsStatus status_;
  PelloxBinding pellox_{QStringLiteral(ORLAVO_BIN_DIR)};
  Options options_;
  QWidget window_;
  JoinerPane* pane_;
};

TEST_F(JoinerPaneTest, ShowingThePaneSetsItsFieldsFromTheStoredBox) {
  EXPECT_EQ(pane_->size_label()->text(), "Destination size: 0 bytes");
  EXPECT_EQ(pane_->name_field()->text(), "destination.mp3");
  EXPECT_EQ(pane_->name_field()->toolTip(), "Name of the output MP3");
  EXPECT_EQ(pane_->button("Browse...")->toolTip(), "Select a folder to create new track in");
  EXPECT_EQ(GenreList::Of(pane_)->count(), 148);
  EXPECT_FALSE(pane_->tag_box()->isChecked());
  EXPECT_EQ(Settings(program_).Read(settings_key::kAddv1TAGOnJoin), "0");
  const QColor button = pane_->palette().color(QPalette::Button);
  const QColor paper = pane_->palette().color(QPalette::Base);
  for (int i = 0; i < 6; ++i) {
    EXPECT_FALSE(pane_->tag_field(i)->isEnabled());
    EXPECT_FALSE(pane_->tag_caption(i)->isEnabled());
    EXPECT_EQ(pane_->tag_field(i)->palette().color(QPalette::Base), button);
  }
  pane_->tag_box()->click();
  EXPECT_EQ(Settings(program_).Read(settings_key::kAddv1TAGOnJoin), "1");
  EXPECT_TRUE(pane_->tag_field(5)->isEnabled());
  EXPECT_EQ(pane_->tag_field(5)->palette().color(QPalette::Base), paper);
  EXPECT_EQ(pane_->tag_caption(5)->text(), "Genre:");
}

TEST_F(JoinerPaneTest, ListButtonsKeysAndSizeCaption) {
  AddTwo();
  ReportList& list = pane_->joiner().sources();
  ASSERT_EQ(list.size(), 2);
  EXPECT_EQ(list.row(0).text, "a.mp3");
  EXPECT_EQ(pane_->folder_field()->text(), music_);
  EXPECT_EQ(pane_->size_label()->text(), "Destination size: 834 bytes");

  Click(joiner_text::kClear);  // No
  EXPECT_EQ(list.size(), 2);
  EXPECT_EQ(pane_->size_label()->text(), "Destination size: 834 bytes");

  pane_->list_view()->SelectRow(0);
  pane_->list_view()->setFocus();
  QTest::keyClick(pane_->list_view(), Qt::Key_Delete);
  // Held down, the key repeats; it still removes one entry.
  pane_->list_view()->SelectRow(0);
  QKeyEvent repeat(QEvent::KeyPress, Qt::Key_Delete, Qt::NoModifier, QString(), true);
  QApplication::sendEvent(pane_->list_view(), &repeat);
  ASSERT_EQ(list.size(), 1);
  EXPECT_EQ(list.row(0).text, "b.mp3");
  EXPECT_EQ(pane_->size_label()->text(), "Destination size: 417 bytes");

  desktop_.answers = {Answer::kYes};
  Click(joiner_text::kClear);
  EXPECT_TRUE(list.empty());
  EXPECT_EQ(pane_->size_label()->text(), "Destination size: 0 bytes");
}

TEST_F(JoinerPaneTest, LinksFillTheFileName) {
  LinkLabel* random = pane_->random_link();
  QEnterEvent enter(QPointF(1, 1), QPointF(1, 1), QPointF(1, 1));
  QApplication::sendEvent(random, &enter);
  EXPECT_TRUE(random->hovered());
  EXPECT_EQ(random->text(), "<u><font color=\"#ff0000\">randomly</font></u>");
  QEvent leave(QEvent::Leave);
  QApplication::sendEvent(random, &leave);
  EXPECT_EQ(random->text(), "randomly");
  EXPECT_EQ(random->textFormat(), Qt::PlainText);

  QTest::mouseClick(random, Qt::LeftButton);
  EXPECT_TRUE(QRegularExpression("^[a-z]{8}\\.mp3$").match(pane_->name_field()->text()).hasMatch());
  QTest::mouseClick(pane_->tag_link(), Qt::LeftButton);
  EXPECT_EQ(pane_->name_field()->text(), "no source files");
}

TEST_F(JoinerPaneTest, JoinAsksFocusesAndReports) {
  AddTwo();
  pane_->name_field()->setText("");
  Click(joiner_text::kJoin);
  ASSERT_EQ(desktop_.messages.size(), 1u);
  EXPECT_EQ(desktop_.messages[0].text, "No MP3 selected");
  EXPECT_EQ(window_.focusWidget(), pane_->name_field());

  pane_->folder_field()->setText(dir_.filePath("music"));
  pane_->name_field()->setText("both");
  pane_->tag_box()->click();
  pane_->tag_field(0)->setText("Both");
  QTest::mouseClick(pane_->tag_field(5), Qt::LeftButton);
  GenreList* genres = GenreList::Of(pane_);
  ASSERT_TRUE(genres->isVisible());
  genres->Choose(84);
  EXPECT_EQ(pane_->tag_field(5)->text(), "Bebob");
  desktop_.answers = {Answer::kYes};
  Click(joiner_text::kJoin);
  EXPECT_EQ(pane_->folder_field()->text(), music_);
  EXPECT_EQ(pane_->name_field()->text(), "both.mp3");
  Bytes joined = testing::ReadFileBytes(music_ + "both.mp3");
  ASSERT_EQ(joined.size(), 2 * 417 + 128u);
  EXPECT_EQ(joined[0 + 4], 1);
  EXPECT_EQ(joined[417 + 4], 2);
  EXPECT_EQ(joined.back(), 84);
  EXPECT_EQ(status_.status_text(), "Joined 2 files.");
}

// A join runs to its end once started: closing the window meanwhile (and
// any attempt to delete it) waits until the join is over.
TEST_F(JoinerPaneTest, ClosingTheWindowDuringAJoinLetsItFinish) {
  AdvancedToolsWindow::Services services{program_, desktop_, pellox_, options_, nullptr, {}};
  QPointer<AdvancedToolsWindow> window = new AdvancedToolsWindow(
      services, [](ToolCode code, const ToolContext& context, QWidget* parent) -> ToolPane* {
        return code == ToolCode::kJoiner ? new JoinerPane(context, parent) : nullptr;
      });
  window->setAttribute(Qt::WA_DeleteOnClose);
  window->show();
  window->Launch(ToolCode::kJoiner);
  auto* pane = qobject_cast<JoinerPane*>(window->pane(ToolCode::kJoiner));
  ASSERT_NE(pane, nullptr);
  pane->joiner().AddSource(Write("a.mp3", Frame(1)));
  pane->joiner().AddSource(Write("b.mp3", Frame(2)));
  pane->folder_field()->setText(music_);
  pane->name_field()->setText("both.mp3");
  int events_after_close = 0;
  desktop_.on_events = [&] {
    if (window && window->isVisible()) window->close();
    QApplication::processEvents();
    if (window) ++events_after_close;
  };
  pane->button(QString::fromLatin1(joiner_text::kJoin))->PerformClick();
  EXPECT_GE(events_after_close, 1);
  ASSERT_FALSE(window.isNull());
  EXPECT_EQ(testing::ReadFileBytes(music_ + "both.mp3").size(), 2 * 417u);
  QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_TRUE(window.isNull());
}

}  // namespace
}  // namespace orlavo
