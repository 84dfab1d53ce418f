#include "tools/encoder/gui/encoder_pane.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QMimeData>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>

#include "app/gui/report_list_view.h"
#include "app/pellox_binding.h"
#include "tests/support/fake_desktop.h"
#include "tests/support/fake_encoder_library.h"
#include "tests/support/qstring_print.h"
#include "tests/support/wav_fixture.h"
#include "tools/gui/advanced_tools_window.h"
#include "tools/gui/tools_launcher.h"
#include "ui/command_button.h"

namespace orlavo {
namespace {

class EncoderPaneTest : public ::testing::Test {
 protected:
  void SetUp() override {
    folder_ = dir_.path() + "/";
    for (const char* name : {"b.wav", "a.WAV"}) testing::WriteWav(folder_ + name, {.frames = 441});
    testing::WriteFileBytes(folder_ + "c.mp3", {1});
    pane_.reset(new EncoderPane(context_, nullptr, &fake_));
  }
  void Drop(const QList<QUrl>& urls, bool* entered = nullptr) {
    QMimeData mime;
    mime.setUrls(urls);
    QWidget* target = pane_->list_view()->viewport();
    QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &enter);
    if (entered != nullptr) *entered = enter.isAccepted();
    QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &drop);
  }
  QList<QUrl> Urls(const QStringList& names) {
    QList<QUrl> urls;
    for (const QString& name : names) urls << QUrl::fromLocalFile(folder_ + name);
    return urls;
  }

  QTemporaryDir dir_;
  QString folder_;
  testing::FakeDesktop desktop_;
  ToolsStatus status_;
  PelloxBinding pellox_{QStringLiteral(ORLAVO_BIN_DIR)};
  Options options_;
  ToolContext context_{desktop_, status_, pellox_, options_, QStringLiteral(ORLAVO_BIN_DIR)};
  testing::FakeEncoderLibrary fake_;
  std::unique_ptr<EncoderPane> pane_;
};

TEST_F(EncoderPaneTest, TheLauncherShowsThePaneOnItsDefaults) {
  std::unique_ptr<ToolPane> made(MakeToolPane(ToolCode::kEncoder, context_, nullptr, nullptr));
  auto* pane = qobject_cast<EncoderPane*>(made.get());
  ASSERT_NE(pane, nullptr);
  ASSERT_EQ(pane->bitrate_box()->count(), 14);
  EXPECT_EQ(pane->bitrate_box()->itemText(0), "32");
  EXPECT_EQ(pane->bitrate_box()->itemText(13), "320");
  EXPECT_EQ(pane->mode_box()->count(), 3);
  pane->bitrate_box()->setCurrentText("64");
  pane->mode_box()->setCurrentText("Mono");
  pane->ShowTool();
  EXPECT_EQ(pane->bitrate_box()->currentText(), "128");
  EXPECT_EQ(pane->mode_box()->currentText(), "Stereo");
  EXPECT_FALSE(pane->encode_mode_button()->isEnabled());
  EXPECT_TRUE(pane->decode_mode_button()->isEnabled());
  EXPECT_TRUE(pane->run_button()->isEnabled());
  pane->decode_mode_button()->PerformClick();
  ASSERT_EQ(desktop_.messages.size(), 1u);
  EXPECT_EQ(desktop_.messages[0].text, "Sorry, but decoder is not ready yet.");
}

TEST_F(EncoderPaneTest, FilesDroppedFromAFileManagerAreFilteredAndDeleteRemovesThem) {
  bool entered = false;
  Drop(Urls({"b.wav", "c.mp3", "a.WAV"}), &entered);
  EXPECT_TRUE(entered);
  const ReportList& list = pane_->encoder().list();
  ASSERT_EQ(list.size(), 2);
  EXPECT_EQ(list.row(0).text, "a.WAV");
  EXPECT_EQ(list.row(1).text, "b.wav");
  // Text without file addresses is not taken.
  QMimeData text;
  text.setText("hello");
  QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &text, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(pane_->list_view()->viewport(), &enter);
  EXPECT_FALSE(enter.isAccepted());

  pane_->list_view()->SelectRow(0);
  QTest::keyClick(pane_->list_view(), Qt::Key_Delete);
  ASSERT_EQ(list.size(), 1);
  EXPECT_EQ(list.row(0).text, "b.wav");
}

TEST_F(EncoderPaneTest, ControlsRestDuringARunAndTheFolderShowsAfterIt) {
  pane_->ShowTool();
  Drop(Urls({"a.WAV", "b.wav"}));
  pane_->bitrate_box()->setCurrentText("192");
  pane_->mode_box()->setCurrentText("DualChannel");
  QStringList enabled_during;
  fake_.during = [&](int) {
    for (QWidget* w : std::initializer_list<QWidget*>{
             pane_->run_button(), pane_->encode_mode_button(), pane_->decode_mode_button(),
             pane_->bitrate_box(), pane_->mode_box(), pane_->list_view(), pane_->output_folder(),
             pane_->browse_button()}) {
      if (w->isEnabled()) enabled_during << w->metaObject()->className();
    }
  };
  desktop_.answers = {Desktop::Answer::kYes};
  pane_->run_button()->PerformClick();
  EXPECT_EQ(enabled_during, QStringList());
  EXPECT_EQ(fake_.calls.value(0), "SetEncoder 192 2");
  EXPECT_EQ(pane_->output_folder()->text(), folder_);
  EXPECT_TRUE(pane_->run_button()->isEnabled());
  EXPECT_TRUE(pane_->list_view()->isEnabled());
  EXPECT_TRUE(pane_->encoder().list().empty());
  EXPECT_TRUE(QFile::exists(folder_ + "a.mp3"));

  // A folder typed into the field is where the next MP3s go.
  QDir().mkpath(folder_ + "out");
  Drop(Urls({"b.wav"}));
  QFile::remove(folder_ + "b.mp3");
  pane_->output_folder()->setText(folder_ + "out");
  pane_->run_button()->PerformClick();
  EXPECT_EQ(pane_->output_folder()->text(), folder_ + "out/");
  EXPECT_TRUE(QFile::exists(folder_ + "out/b.mp3"));
}

// The encoder runs to its end once started, even when its window is closed
// meanwhile: the window and the pane must outlive the run.
TEST_F(EncoderPaneTest, ClosingTheWindowDuringARunLetsTheRunFinish) {
  AdvancedToolsWindow::Services services{
      QStringLiteral(ORLAVO_BIN_DIR "/"), desktop_, pellox_, options_, nullptr, {}};
  QPointer<AdvancedToolsWindow> window = new AdvancedToolsWindow(
      services, [this](ToolCode code, const ToolContext& context, QWidget* parent) -> ToolPane* {
        return code == ToolCode::kEncoder ? new EncoderPane(context, parent, &fake_) : nullptr;
      });
  window->setAttribute(Qt::WA_DeleteOnClose);
  window->show();
  window->Launch(ToolCode::kEncoder);
  auto* pane = qobject_cast<EncoderPane*>(window->pane(ToolCode::kEncoder));
  ASSERT_NE(pane, nullptr);
  pane->encoder().AddDropped({folder_ + "a.WAV", folder_ + "b.wav"});
  int alive_after_close = 0;
  fake_.during = [&](int percent) {
    if (window && percent == 50 && fake_.calls.size() == 2) window->close();
    QApplication::processEvents();
    if (window && fake_.calls.size() > 2) ++alive_after_close;
  };
  pane->run_button()->PerformClick();
  EXPECT_EQ(fake_.calls.size(), 4);
  EXPECT_EQ(alive_after_close, 3);
  QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_TRUE(window.isNull());
}

}  // namespace
}  // namespace orlavo
