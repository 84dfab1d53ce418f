#include "app/report_list.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <random>

#include "app/pellox_binding.h"
#include "tests/support/mp3_bytes.h"

namespace orlavo {
namespace {

using testing::Id3v1TagBytes;
using testing::Mp3Layout;
using testing::MpegFrameBytes;
using testing::WriteBytes;
using testing::WriteMp3File;

const QStringList kMainHeaders = {"Path", "Size", "Ref"};

QStringList Texts(const ReportList& list) {
  QStringList texts;
  for (int i = 0; i < list.size(); ++i) texts << list.row(i).text;
  return texts;
}

ReportRow Row(const QString& text, const QString& tag = {}, const QStringList& columns = {}) {
  ReportRow row;
  row.text = text;
  row.tag = tag;
  row.tooltip = tag;
  row.columns = columns;
  return row;
}

TEST(CompareListTextTest, IgnoresCaseAndBreaksTiesByExactText) {
  struct Case {
    const char16_t* a;
    const char16_t* b;
    int expected;
  } cases[] = {
      {u"abc", u"abc", 0},      {u"a.mp3", u"B.mp3", -1}, {u"B.mp3", u"a.mp3", 1},
      {u"A.mp3", u"a.mp3", -1}, {u"a.mp3", u"A.mp3", 1},  {u"song", u"Song 2", -1},
      {u"Zulu", u"élan", -1},   {u"Élan", u"élan", -1},   {u"élan b", u"ÉLAN A", 1},
      {u"x_1", u"X-1", 1},      {u"", u"a", -1},          {u"Track 10", u"track 9", -1},
  };
  for (const Case& c : cases) {
    const QString a = QString::fromUtf16(c.a), b = QString::fromUtf16(c.b);
    EXPECT_EQ(CompareListText(a, b), c.expected) << a.toStdString() << " vs " << b.toStdString();
    EXPECT_EQ(CompareListText(b, a), -c.expected) << b.toStdString() << " vs " << a.toStdString();
  }
}

TEST(ReportListTest, SortedListPutsEachRowIntoPlaceIgnoringCase) {
  ReportList list(kMainHeaders);
  for (const char* name : {"b.mp3", "C.mp3", "a.mp3", "A.mp3", "ab.mp3"}) list.AddRow(Row(name));
  EXPECT_EQ(Texts(list), QStringList({"A.mp3", "a.mp3", "ab.mp3", "b.mp3", "C.mp3"}));
}

TEST(ReportListTest, UnsortedListKeepsTheOrderOfAdding) {
  ReportList list(kMainHeaders, /*keep_sorted=*/false);
  for (const char* name : {"b.mp3", "C.mp3", "a.mp3"}) list.AddRow(Row(name));
  EXPECT_EQ(Texts(list), QStringList({"b.mp3", "C.mp3", "a.mp3"}));
  list.BeginBulkAdd();
  list.AddRow(Row("0.mp3"));
  list.EndBulkAdd();
  EXPECT_EQ(Texts(list), QStringList({"b.mp3", "C.mp3", "a.mp3", "0.mp3"}));
}

TEST(ReportListTest, BulkAddGivesTheSameOrderAsSingleInserts) {
  std::mt19937 random(7);
  const char* stems[] = {"song", "Song", "SONG", "alpha", "Beta", "beta", "émile", "Émile"};
  std::vector<ReportRow> rows;
  // Enough rows for the bulk sort to work in several runs and merge passes.
  for (int i = 0; i < 20000; ++i) {
    // Equal texts in different folders: their order must be the order of adding.
    QString name = QString::fromUtf8(stems[random() % 8]) + QString::number(random() % 5);
    rows.push_back(Row(name + ".mp3", QStringLiteral("/m/%1/").arg(i)));
  }
  ReportList single(kMainHeaders), bulk(kMainHeaders);
  for (int i = 0; i < 100; ++i) {
    single.AddRow(rows[i]);
    bulk.AddRow(rows[i]);
  }
  for (size_t i = 100; i < rows.size(); ++i) single.AddRow(rows[i]);
  int pauses = 0;
  bulk.SetPause([&] { ++pauses; });
  {
    BulkAdd guard(bulk);
    for (size_t i = 100; i < rows.size(); ++i) bulk.AddRow(rows[i]);
  }
  EXPECT_GT(pauses, 2);
  ASSERT_EQ(single.size(), bulk.size());
  for (int i = 0; i < single.size(); ++i) {
    EXPECT_EQ(single.FullPath(i), bulk.FullPath(i)) << i;
    if (i > 0) {
      EXPECT_LE(CompareListText(single.row(i - 1).text, single.row(i).text), 0);
    }
  }
}

TEST(ReportListTest, NotifiesInsertionsAndOneResetForABulkAdd) {
  ReportList list(kMainHeaders);
  QStringList events;
  QObject::connect(&list, &ReportList::rowsAboutToBeInserted,
                   [&](int f, int l) { events << QStringLiteral("about %1-%2").arg(f).arg(l); });
  QObject::connect(&list, &ReportList::rowsInserted,
                   [&](int f, int l) { events << QStringLiteral("inserted %1-%2").arg(f).arg(l); });
  QObject::connect(&list, &ReportList::modelAboutToBeReset, [&] { events << "about reset"; });
  QObject::connect(&list, &ReportList::modelReset, [&] { events << "reset"; });
  list.AddRow(Row("b"));
  list.AddRow(Row("a"));
  {
    BulkAdd guard(list);
    list.AddRow(Row("c"));
    list.AddRow(Row("d"));
  }
  EXPECT_EQ(events, QStringList({"about 0-0", "inserted 0-0", "about 0-0", "inserted 0-0",
                                 "about reset", "reset"}));
}

TEST(ReportListTest, ChangesInABatchAreAnnouncedAsOneRangeAtFlushAndClose) {
  ReportList list(kMainHeaders, /*keep_sorted=*/false);
  for (const char* text : {"a", "b", "c", "d", "e", "f", "g", "h"}) list.AddRow(Row(text));
  QStringList events;
  QObject::connect(&list, &ReportList::rowsChanged,
                   [&](int f, int l) { events << QStringLiteral("%1-%2").arg(f).arg(l); });
  list.SetText(2, "x");  // no batch: at once
  {
    ReportList::ChangeBatch outer(list);
    list.SetSelected(5, true);
    {
      ReportList::ChangeBatch inner(list);
      list.SetText(3, "y");
      list.SetChecked(6, true);
    }  // still inside the outer batch: nothing yet
    EXPECT_EQ(events, QStringList({"2-2"}));
    outer.Flush();
    list.SetTooltip(1, "t");
    list.SetSelected(1, true);
    list.RemoveRow(7);
  }
  EXPECT_EQ(events, QStringList({"2-2", "3-6", "1-1"}));
}

TEST(ReportListTest, SortByColumnOrdersByThatColumnAndKeepsItForNewRows) {
  ReportList list(kMainHeaders);
  list.AddRow(Row("a.mp3", "/m/", {"3 KB", "zed"}));
  list.AddRow(Row("b.mp3", "/m/", {"1 KB", "Alpha"}));
  list.AddRow(Row("c.mp3", "/m/", {"2 KB", "beta"}));
  list.SortByColumn(2);
  EXPECT_EQ(Texts(list), QStringList({"b.mp3", "c.mp3", "a.mp3"}));
  list.AddRow(Row("d.mp3", "/m/", {"", "Bz"}));
  EXPECT_EQ(Texts(list), QStringList({"b.mp3", "c.mp3", "d.mp3", "a.mp3"}));
  list.SortByColumn(0);
  EXPECT_EQ(Texts(list), QStringList({"a.mp3", "b.mp3", "c.mp3", "d.mp3"}));
}

TEST(ReportListTest, FindsRowsByFullPathThroughEdits) {
  ReportList list(kMainHeaders);
  list.AddRow(Row("b.mp3", "/x/"));
  list.AddRow(Row("a.mp3", "/x/"));
  list.AddRow(Row("b.mp3", "/x/"));
  list.AddRow(Row("/y/c.mp3"));  // a prefixed row: "/" sorts before letters
  ASSERT_EQ(Texts(list), QStringList({"/y/c.mp3", "a.mp3", "b.mp3", "b.mp3"}));
  EXPECT_EQ(list.IndexOfPath("/y/c.mp3"), 0);
  EXPECT_EQ(list.IndexesOfPath("/x/b.mp3"), QList<int>({2, 3}));
  EXPECT_EQ(list.IndexOfPath("/x/c.mp3"), -1);

  list.RemoveRow(0);
  EXPECT_EQ(list.IndexOfPath("/x/a.mp3"), 0);
  EXPECT_EQ(list.IndexOfPath("/x/b.mp3"), 1);
  list.SetText(1, "renamed.mp3");
  EXPECT_EQ(list.IndexOfPath("/x/renamed.mp3"), 1);
  EXPECT_EQ(list.IndexesOfPath("/x/b.mp3"), QList<int>({2}));
  list.SetTag(2, "/z/");
  EXPECT_EQ(list.IndexOfPath("/z/b.mp3"), 2);
  EXPECT_EQ(list.IndexOfPath("/x/b.mp3"), -1);
  list.AddRow(Row("0.mp3", "/x/"));
  EXPECT_EQ(list.IndexOfPath("/x/0.mp3"), 0);
  EXPECT_EQ(list.IndexOfPath("/x/renamed.mp3"), 2);
  list.Clear();
  EXPECT_EQ(list.IndexOfPath("/x/0.mp3"), -1);
}

TEST(ReportListTest, RemovesSelectedRowsOnly) {
  ReportList list(kMainHeaders);
  for (const char* name : {"a", "b", "c", "d", "e"}) list.AddRow(Row(name));
  list.SetSelected(0, true);
  list.SetSelected(2, true);
  list.SetSelected(4, true);
  list.SetChecked(1, true);
  EXPECT_EQ(list.SelectedCount(), 3);
  EXPECT_TRUE(list.IsSelected(2));
  EXPECT_FALSE(list.IsSelected(1));
  EXPECT_TRUE(list.IsChecked(1));
  EXPECT_EQ(list.RemoveSelectedRows(), 3);
  EXPECT_EQ(Texts(list), QStringList({"b", "d"}));
  EXPECT_EQ(list.SelectedCount(), 0);
  EXPECT_EQ(list.IndexOfPath("d"), 1);
}

TEST(ReportListTest, ManyRowsStayFarFromQuadratic) {
  // 50,000 rows in one bulk add, then 20,000 lookups with removals between
  // them; a quadratic list would need minutes.
  QElapsedTimer timer;
  timer.start();
  ReportList list(kMainHeaders);
  {
    BulkAdd guard(list);
    for (int i = 0; i < 50000; ++i) {
      list.AddRow(Row(QStringLiteral("Track %1.mp3").arg((i * 7919) % 50000),
                      QStringLiteral("/music/%1/").arg(i % 1000)));
    }
  }
  int found = 0;
  for (int i = 0; i < 20000; ++i) {
    const int at = list.IndexOfPath(
        QStringLiteral("/music/%1/Track %2.mp3").arg(i % 1000).arg((i * 7919) % 50000));
    if (at >= 0) ++found;
    if (i % 100 == 0 && at >= 0) list.RemoveRow(at);
  }
  EXPECT_EQ(found, 20000);
  EXPECT_EQ(list.size(), 50000 - 200);
  EXPECT_LT(timer.elapsed(), 5000);
}

class AddFileRowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dir_.isValid());
    folder_ = dir_.path() + "/Music/";
  }
  QTemporaryDir dir_;
  QString folder_;
};

TEST_F(AddFileRowTest, PrefixDirOnAndOffGiveTheSameFullPath) {
  const QString path = folder_ + "a.mp3";
  ASSERT_TRUE(WriteBytes(path, QByteArray(1536, 'x')));
  ReportList off(kMainHeaders), on(kMainHeaders);
  AddFileRow(off, path, "", false, RowOptions{false, "KB", folder_});
  AddFileRow(on, path, "", false, RowOptions{true, "Bytes", folder_});

  const ReportRow& a = off.row(0);
  EXPECT_EQ(a.text, "a.mp3");
  EXPECT_EQ(a.tag, folder_);
  EXPECT_EQ(a.tooltip, folder_);
  EXPECT_EQ(a.columns, QStringList({"2 KB"}));
  const ReportRow& b = on.row(0);
  EXPECT_EQ(b.text, path);
  EXPECT_EQ(b.tag, "");
  EXPECT_EQ(b.tooltip, "a.mp3");
  EXPECT_EQ(b.columns, QStringList({"1,536 bytes"}));
  EXPECT_EQ(a.FullPath(), path);
  EXPECT_EQ(b.FullPath(), path);
}

TEST_F(AddFileRowTest, FillsOnlyTheColumnsTheListHas) {
  const QString path = folder_ + "a.mp3";
  ASSERT_TRUE(WriteBytes(path, QByteArray(10, 'x')));
  const RowOptions options{false, "Bytes", folder_};
  ReportList one({"Name"}), two({"Name", "Size"}), three(kMainHeaders);
  AddFileRow(one, path, "ref", false, options);
  AddFileRow(two, path, "ref", false, options);
  AddFileRow(three, path, "ref", false, options);
  EXPECT_EQ(one.row(0).columns, QStringList());
  EXPECT_EQ(two.row(0).columns, QStringList({"10 bytes"}));
  EXPECT_EQ(three.row(0).columns, QStringList({"10 bytes", "ref"}));
}

TEST_F(AddFileRowTest, MissingFileLeavesTheSizeEmptyButKeepsTheRow) {
  ReportList list(kMainHeaders);
  AddFileRow(list, folder_ + "gone.mp3", "v1 tag", false, RowOptions{false, "Bytes", folder_});
  ASSERT_EQ(list.size(), 1);
  EXPECT_EQ(list.row(0).columns, QStringList({"", "v1 tag"}));
  EXPECT_EQ(list.row(0).ColumnText(2), "v1 tag");
}

TEST_F(AddFileRowTest, SizesLookedUpFolderByFolderMatchThoseLookedUpOneByOne) {
  QDir().mkpath(folder_ + "b");
  const RowOptions options{false, "Bytes", folder_};
  const RowOptions prefixed{true, "KB", folder_};
  ReportList by_folder(kMainHeaders), one_by_one(kMainHeaders);
  for (ReportList* list : {&by_folder, &one_by_one}) {
    for (int i = 0; i < 6; ++i) {
      const QString path = folder_ + (i % 2 ? "b/" : "") + QStringLiteral("%1.mp3").arg(i);
      if (i != 3) WriteBytes(path, QByteArray(1000 * i + 7, 'x'));  // 3 is missing
      AddFileRow(*list, path, QString(), false, i == 4 ? prefixed : options);
    }
    // A row whose folder text is its own copy, not the shared one.
    list->AddRowWithFileSize(FileRow(QString(folder_ + "b/5.mp3").toUpper().toLower(), false),
                             "MB");
  }
  by_folder.ResolvePendingSizes(/*parallel_from=*/2);  // the folders split between two threads
  ASSERT_EQ(by_folder.size(), one_by_one.size());
  for (int i = 0; i < by_folder.size(); ++i) {
    EXPECT_EQ(by_folder.row(i).columns, one_by_one.row(i).columns)
        << by_folder.FullPath(i).toStdString();
  }
  EXPECT_EQ(by_folder.row(by_folder.IndexOfPath(folder_ + "b/3.mp3")).ColumnText(1), "");
}

TEST_F(AddFileRowTest, SortingBySizeSeesSizesNotReadYet) {
  const RowOptions options{false, "Bytes", folder_};
  ReportList list(kMainHeaders);
  for (auto [name, size] : {std::pair{"a.mp3", 3}, {"b.mp3", 1}, {"c.mp3", 2}}) {
    ASSERT_TRUE(WriteBytes(folder_ + name, QByteArray(size, 'x')));
    AddFileRow(list, folder_ + name, "", false, options);
  }
  list.SortByColumn(1);
  EXPECT_EQ(Texts(list), QStringList({"b.mp3", "c.mp3", "a.mp3"}));
  ASSERT_TRUE(WriteBytes(folder_ + "d.mp3", QByteArray(4, 'x')));
  AddFileRow(list, folder_ + "d.mp3", "", false, options);
  EXPECT_EQ(Texts(list), QStringList({"b.mp3", "c.mp3", "a.mp3", "d.mp3"}));
  EXPECT_EQ(list.row(3).columns, QStringList({"4 bytes"}));
}

TEST_F(AddFileRowTest, BareFileNameBelongsToTheMainFolder) {
  ASSERT_TRUE(WriteBytes(folder_ + "b.mp3", QByteArray(3, 'x')));
  ReportList off(kMainHeaders), on(kMainHeaders);
  AddFileRow(off, "b.mp3", "", false, RowOptions{false, "Bytes", folder_});
  AddFileRow(on, "b.mp3", "", false, RowOptions{true, "Bytes", folder_});
  EXPECT_EQ(off.row(0).text, "b.mp3");
  EXPECT_EQ(off.FullPath(0), folder_ + "b.mp3");
  EXPECT_EQ(off.row(0).columns.value(0), "3 bytes");
  EXPECT_EQ(on.FullPath(0), folder_ + "b.mp3");
}

TEST_F(AddFileRowTest, ReadTagPutsArtistAndTitleFromTheId3v1Tag) {
  PelloxBinding pellox(QStringLiteral(ORLAVO_BIN_DIR));
  PelloxID3v1Reader reader(pellox);
  ASSERT_TRUE(WriteMp3File(folder_ + "tagged.mp3", Mp3Layout{false, true, "Title", "Artist"}));
  ASSERT_TRUE(WriteMp3File(folder_ + "blank.mp3", Mp3Layout{false, true, "", ""}));
  ASSERT_TRUE(WriteMp3File(folder_ + "plain.mp3", Mp3Layout{}));
  ASSERT_TRUE(
      WriteBytes(folder_ + "spaces.mp3", MpegFrameBytes() + Id3v1TagBytes("  Song", "Band   ")));
  const RowOptions options{false, "Bytes", folder_};
  ReportList list(kMainHeaders);
  for (const char* name : {"tagged.mp3", "blank.mp3", "plain.mp3", "spaces.mp3"}) {
    AddFileRow(list, folder_ + name, "ignored", true, options, &reader);
  }
  ASSERT_EQ(list.size(), 4);
  EXPECT_EQ(list.row(list.IndexOfPath(folder_ + "tagged.mp3")).ColumnText(2), "Artist - Title");
  EXPECT_EQ(list.row(list.IndexOfPath(folder_ + "blank.mp3")).ColumnText(2), " - ");
  EXPECT_EQ(list.row(list.IndexOfPath(folder_ + "plain.mp3")).ColumnText(2), "");
  EXPECT_EQ(list.row(list.IndexOfPath(folder_ + "spaces.mp3")).ColumnText(2), "Band - Song");
}

class ListOperationsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    for (int i = 0; i < 3; ++i) {
      ReportRow row = Row(QStringLiteral("n%1").arg(i), QStringLiteral("/t%1/").arg(i),
                          {QStringLiteral("s%1").arg(i), QStringLiteral("r%1").arg(i)});
      row.tooltip = QStringLiteral("tip%1").arg(i);
      list_.AddRow(row);
    }
  }
  QStringList RowStrings() const {
    QStringList out;
    for (int i = 0; i < list_.size(); ++i) {
      const ReportRow& r = list_.row(i);
      out << QStringList({r.text, r.tag, r.tooltip, r.columns.join(','), r.selected ? "sel" : "-"})
                 .join('|');
    }
    return out;
  }
  ReportList list_{{"Name", "Size", "Ref"}, false};
};

TEST_F(ListOperationsTest, MoveUpExchangesEverythingAndSelectionFollows) {
  list_.SelectOnly(1);
  ListMoveItem(list_, true, 0);
  EXPECT_EQ(RowStrings(), QStringList({"n1|/t1/|tip1|s1,r1|sel", "n0|/t0/|tip0|s0,r0|-",
                                       "n2|/t2/|tip2|s2,r2|-"}));
  EXPECT_EQ(list_.IndexOfPath("/t1/n1"), 0);
}

TEST_F(ListOperationsTest, MoveDownOneColumnLeavesTheOtherColumnsInPlace) {
  list_.SelectOnly(0);
  ListMoveItem(list_, false, 2);
  EXPECT_EQ(RowStrings(), QStringList({"n1|/t1/|tip1|s0,r1|-", "n0|/t0/|tip0|s1,r0|sel",
                                       "n2|/t2/|tip2|s2,r2|-"}));
}

TEST_F(ListOperationsTest, MoveBeyondEitherEndOrWithoutSelectionDoesNothing) {
  const QStringList before = RowStrings();
  ListMoveItem(list_, true, 0);  // nothing selected
  EXPECT_EQ(RowStrings(), before);
  list_.SelectOnly(0);
  ListMoveItem(list_, true, 0);
  list_.SelectOnly(2);
  ListMoveItem(list_, false, 0);
  list_.SetSelected(2, false);
  EXPECT_EQ(RowStrings(), before);
  ReportList empty;
  ListMoveItem(empty, false, 0);
  EXPECT_TRUE(empty.empty());
}

TEST_F(ListOperationsTest, ColumnIndexCountsFromZeroAndGivesZeroWhenMissing) {
  EXPECT_EQ(ColumnIndex(list_, "Name"), 0);
  EXPECT_EQ(ColumnIndex(list_, "Size"), 1);
  EXPECT_EQ(ColumnIndex(list_, "Ref"), 2);
  EXPECT_EQ(ColumnIndex(list_, "ref"), 0);
  EXPECT_EQ(ColumnIndex(list_, "Missing"), 0);
}

TEST_F(ListOperationsTest, RemoveColumnShiftsLaterColumnTextsLeft) {
  list_.AddColumn("Extra");
  list_.SetColumnText(0, 3, "x0");
  RemoveColumn(list_, "size");  // headers match with case: nothing happens
  EXPECT_EQ(list_.headers(), QStringList({"Name", "Size", "Ref", "Extra"}));
  RemoveColumn(list_, "Size");
  EXPECT_EQ(list_.headers(), QStringList({"Name", "Ref", "Extra"}));
  EXPECT_EQ(list_.row(0).columns, QStringList({"r0", "x0"}));
  EXPECT_EQ(list_.row(1).columns, QStringList({"r1"}));
  EXPECT_EQ(list_.row(1).ColumnText(2), "");
  RemoveColumn(list_, "Name");  // the row text column stays
  EXPECT_EQ(list_.headers(), QStringList({"Name", "Ref", "Extra"}));
  EXPECT_EQ(list_.row(0).text, "n0");
}

TEST_F(ListOperationsTest, ClearListRemovesEveryRow) {
  ClearList(list_);
  EXPECT_TRUE(list_.empty());
  EXPECT_EQ(list_.headers().size(), 3);
}

}  // namespace
}  // namespace orlavo
