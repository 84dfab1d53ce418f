#include "tools/gui/genre_list.h"

#include <gtest/gtest.h>

#include <QTest>
#include <QVBoxLayout>

namespace orlavo {
namespace {

// Two genre fields in one window, as the joiner's and the sorter's are.
class GenreListTest : public ::testing::Test {
 protected:
  void SetUp() override {
    window_.resize(400, 500);
    auto* layout = new QVBoxLayout(&window_);
    auto* pane = new QWidget(&window_);
    auto* pane_layout = new QVBoxLayout(pane);
    joiner_field_ = new QLineEdit(pane);
    pane_layout->addWidget(joiner_field_);
    layout->addWidget(pane);
    layout->addStretch(1);
    sorter_field_ = new QLineEdit(&window_);
    layout->addWidget(sorter_field_);
    GenreList::AttachField(joiner_field_);
    GenreList::AttachField(sorter_field_);
    window_.show();
    QApplication::processEvents();
  }

  QWidget window_;
  QLineEdit* joiner_field_;
  QLineEdit* sorter_field_;
};

TEST_F(GenreListTest, OneListFilledOnceInTableOrder) {
  GenreList* list = GenreList::Of(joiner_field_);
  EXPECT_EQ(list, GenreList::Of(sorter_field_));
  EXPECT_EQ(list->count(), 0);
  list->FillOnce();
  list->FillOnce();
  ASSERT_EQ(list->count(), 148);
  EXPECT_EQ(list->item(0)->text(), "Blues");
  EXPECT_EQ(list->item(83)->text(), "Swing");
  EXPECT_EQ(list->item(84)->text(), "Bebob");
  EXPECT_EQ(list->item(147)->text(), " ");
  EXPECT_FALSE(list->isVisible());
}

TEST_F(GenreListTest, DropsDownAtTheClickedFieldAndAnswersIt) {
  QTest::mouseClick(joiner_field_, Qt::LeftButton);
  GenreList* list = GenreList::Of(&window_);
  ASSERT_TRUE(list->isVisible());
  EXPECT_EQ(list->count(), 148);
  EXPECT_EQ(list->requesting_field(), joiner_field_);
  const QPoint field_at = joiner_field_->mapTo(&window_, QPoint(0, 0));
  EXPECT_EQ(list->x(), field_at.x());
  EXPECT_EQ(list->y(), field_at.y() + joiner_field_->height());
  EXPECT_EQ(list->width(), joiner_field_->width());

  // The sorter's field takes the list over; the chosen name goes there only.
  sorter_field_->setText("Bebob");
  QTest::mouseClick(sorter_field_, Qt::LeftButton);
  EXPECT_EQ(list->requesting_field(), sorter_field_);
  EXPECT_EQ(list->currentRow(), 84);
  // Near the window's bottom the list opens above the field.
  EXPECT_EQ(list->geometry().bottom() + 1, sorter_field_->mapTo(&window_, QPoint(0, 0)).y());
  list->scrollToItem(list->item(17));
  QApplication::processEvents();
  // A view takes a double-click only after the press that began it.
  const QPoint rock = list->visualItemRect(list->item(17)).center();
  QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, rock);
  QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, rock);
  EXPECT_EQ(sorter_field_->text(), "Rock");
  EXPECT_EQ(joiner_field_->text(), "");
  EXPECT_FALSE(list->isVisible());
  EXPECT_EQ(list->requesting_field(), nullptr);
}

TEST_F(GenreListTest, EscapeClosesWithoutAnswer) {
  QTest::mouseClick(joiner_field_, Qt::LeftButton);
  GenreList* list = GenreList::Of(&window_);
  QTest::keyClick(list, Qt::Key_Down);
  QTest::keyClick(list, Qt::Key_Escape);
  EXPECT_FALSE(list->isVisible());
  EXPECT_EQ(joiner_field_->text(), "");
  EXPECT_EQ(list->requesting_field(), nullptr);
  QTest::mouseClick(joiner_field_, Qt::LeftButton);
  QTest::keyClick(list, Qt::Key_Down);
  QTest::keyClick(list, Qt::Key_Return);
  EXPECT_EQ(joiner_field_->text(), "Classic Rock");
}

}  // namespace
}  // namespace orlavo
