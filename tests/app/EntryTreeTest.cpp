#include <gtest/gtest.h>

#include <QTreeWidget>

#include "app/EntryTreeModel.h"
#include "app/Groupings.h"

using namespace kvq;

namespace {

std::unique_ptr<TStationSensorItem> Entry(const std::string& station, const std::string& sensor,
                                          const std::string& basin = "", int channel = 0, const std::string& file = "") {
  auto e = std::make_unique<TStationSensorItem>();
  e->StationID = station;
  e->SensorName = sensor;
  e->Basin = basin;
  e->PrimaryChannel = channel;
  e->DataFile = file;
  return e;
}

// The tree as indented lines: two blanks per level, "*" for a node with an entry.
std::vector<std::string> Dump(const TEntryTreeModel& m, const QModelIndex& parent = {}, int depth = 0) {
  std::vector<std::string> lines;
  for (int r = 0; r < m.rowCount(parent); ++r) {
    const QModelIndex i = m.index(r, 0, parent);
    lines.push_back(std::string(static_cast<std::size_t>(depth) * 2, ' ') + m.data(i).toString().toStdString() +
                    (m.EntryOf(i) ? "*" : ""));
    for (auto& l : Dump(m, i, depth + 1)) lines.push_back(l);
  }
  return lines;
}

TGrouping Grouping(int type, bool pp, const std::string& caption) {
  for (const auto& g : GroupingsFor(type, pp))
    if (g.Caption == caption) return g;
  ADD_FAILURE() << caption;
  return {};
}

TEST(Groupings, ItemsPerSource) {
  const struct {
    int type;
    bool pp;
    std::size_t count;
    const char* first;
    const char* last;
  } cases[] = {
      {1, false, 3, "View By Data Files", "View By Sensors"},   {2, false, 2, "View By Stations", "View By Sensors"},
      {4, false, 11, "View By Stations", "View By Random Channel"}, {6, true, 3, "View By Stations", "View By SensorLabels"},
      {0, false, 0, "", ""},
  };
  for (const auto& c : cases) {
    const auto g = GroupingsFor(c.type, c.pp);
    ASSERT_EQ(g.size(), c.count) << c.type;
    if (c.count == 0) continue;
    EXPECT_EQ(g.front().Caption, c.first);
    EXPECT_EQ(g.back().Caption, c.last);
  }
  EXPECT_EQ(SourceKind(1), 1);
  EXPECT_EQ(SourceKind(2), 3);
  EXPECT_EQ(SourceKind(3), 5);
  EXPECT_EQ(SourceKind(5), 2);
  EXPECT_EQ(SourceKind(6), 9);
}

TEST(EntryTree, BasinGroupingWithNullAndMerging) {
  TStationSensorCache entries;
  entries.Add(Entry("S2", "STAGE", "Clearwater"));
  entries.Add(Entry("S1", "RAIN", ""));
  entries.Add(Entry("S1", "STAGE", "  "));
  entries.Add(Entry("S3", "FLOW", "clearwater"));
  entries.Add(Entry("S2", "RAIN", "Clearwater"));
  ApplyGrouping(entries, Grouping(4, false, "View By Basin"));
  TEntryTreeModel model;
  model.Build(entries);
  EXPECT_EQ(Dump(model), (std::vector<std::string>{"<NULL>", "  S1", "    RAIN*", "    STAGE*", "Clearwater",
                                                   "  S2", "    RAIN*", "    STAGE*", "  S3", "    FLOW*"}));
}

TEST(EntryTree, SameStationAndSensorMakeOneNodeWithTheLaterEntry) {
  TStationSensorCache entries;
  entries.Add(Entry("S1", "STAGE"));
  entries.Add(Entry("S1", "STAGE"));
  ApplyGrouping(entries, Grouping(4, false, "View By Stations"));
  TEntryTreeModel model;
  model.Build(entries);
  ASSERT_EQ(Dump(model), (std::vector<std::string>{"S1", "  STAGE*"}));
  const QModelIndex node = model.index(0, 0, model.index(0, 0));
  EXPECT_EQ(model.EntryOf(node), entries.Items(1));  // the later one in sorted order
}

TEST(EntryTree, ChannelsSortAsNumbersAndDataFilesNestThreeDeep) {
  TStationSensorCache entries;
  entries.Add(Entry("A", "X", "", 10));
  entries.Add(Entry("B", "Y", "", 9));
  ApplyGrouping(entries, Grouping(4, false, "View By Primary Channel"));
  TEntryTreeModel model;
  model.Build(entries);
  EXPECT_EQ(Dump(model), (std::vector<std::string>{"9", "  B", "    Y*", "10", "  A", "    X*"}));

  TStationSensorCache files;
  files.Add(Entry("RIVER1", "STAGE", "", 0, "B.DAT"));
  files.Add(Entry("RIVER1", "STAGE", "", 0, "A.DAT"));
  files.Add(Entry("RIVER1", "RAIN", "", 0, "A.DAT"));
  ApplyGrouping(files, Grouping(1, false, "View By Stations"));
  model.Build(files);
  EXPECT_EQ(Dump(model), (std::vector<std::string>{"RIVER1", "  RAIN", "    A.DAT*", "  STAGE", "    A.DAT*", "    B.DAT*"}));
  EXPECT_EQ(model.KindOf(model.index(0, 0)), TNodeKind::Station);
  EXPECT_FALSE(NodeIcon(TNodeKind::DataFile).isNull());
}

}  // namespace
