// Layer enumeration of data sources (plain, or listed in a "GEOMETRY_COLUMNS" table) and the OGRable
// adapters built on it.
#include <gtest/gtest.h>
#include <ogrsf_frmts.h>

#include <string>
#include <vector>

#include "settings/geometry_layers.h"
#include "settings/ograble_mono_data_source.h"
#include "settings/ograble_multi_data_source.h"

namespace {

// A data source over GDAL's in-memory vector store; it records its destruction in `destroyed`.
class MemoryDataSource : public OGRDataSource {
public:
  MemoryDataSource(const std::vector<std::string>& layerNames, std::vector<std::string>* destroyed = nullptr,
                   std::string label = "")
      : destroyed_(destroyed), label_(std::move(label)) {
    GDALAllRegister();
    inner_ = GetGDALDriverManager()->GetDriverByName("Memory")->Create("", 0, 0, 0, GDT_Unknown, nullptr);
    for (const std::string& name : layerNames) inner_->CreateLayer(name.c_str(), nullptr, wkbNone, nullptr);
  }
  ~MemoryDataSource() override {
    GDALClose(inner_);
    if (destroyed_) destroyed_->push_back(label_);
  }

  // Lists `tables` in a "GEOMETRY_COLUMNS" table, one row each.
  void AddGeometryColumns(const std::vector<std::string>& tables) {
    OGRLayer* table = inner_->CreateLayer("GEOMETRY_COLUMNS", nullptr, wkbNone, nullptr);
    OGRFieldDefn field("F_TABLE_NAME", OFTString);
    table->CreateField(&field);
    for (const std::string& name : tables) {
      OGRFeature* row = OGRFeature::CreateFeature(table->GetLayerDefn());
      row->SetField("F_TABLE_NAME", name.c_str());
      EXPECT_EQ(table->CreateFeature(row), OGRERR_NONE);
      OGRFeature::DestroyFeature(row);
    }
  }

  const char* GetName() override { return label_.c_str(); }
  int GetLayerCount() override { return inner_->GetLayerCount(); }
  OGRLayer* GetLayer(int index) override { return inner_->GetLayer(index); }
  OGRLayer* GetLayerByName(const char* name) override { return inner_->GetLayerByName(name); }
  int TestCapability(const char*) override { return FALSE; }

private:
  GDALDataset* inner_;
  std::vector<std::string>* destroyed_;
  std::string label_;
};

const char* NameOf(OGRLayer* layer) { return layer ? layer->GetName() : "<null>"; }

TEST(GeometryLayers, PlainDataSourcesListTheirLayers) {
  MemoryDataSource source({"a", "b"});
  EXPECT_EQ(GetGeometryLayerCount(&source), 2);
  EXPECT_STREQ(NameOf(GetGeometryLayer(1, &source)), "b");
  EXPECT_EQ(GetGeometryLayer(2, &source), nullptr);
  EXPECT_EQ(GetGeometryLayer(-1, &source), nullptr);
  EXPECT_EQ(GetGeometryLayerCount(nullptr), 0);
  EXPECT_EQ(GetGeometryLayer(0, nullptr), nullptr);
}

TEST(GeometryLayers, AGeometryColumnsTableNamesTheLayers) {
  MemoryDataSource source({"roads", "coast", "depths", "other"});
  source.AddGeometryColumns({"depths", "coast", "roads"});
  OGRLayer* table = source.GetLayerByName("GEOMETRY_COLUMNS");
  table->SetAttributeFilter("F_TABLE_NAME = 'roads'");
  EXPECT_EQ(GetGeometryLayerCount(&source), 3);  // the filter is cleared first
  EXPECT_STREQ(NameOf(GetGeometryLayer(0, &source)), "depths");
  EXPECT_STREQ(NameOf(GetGeometryLayer(1, &source)), "coast");
  EXPECT_STREQ(NameOf(GetGeometryLayer(2, &source)), "roads");
  EXPECT_EQ(GetGeometryLayer(3, &source), nullptr);
  EXPECT_EQ(GetGeometryLayer(-1, &source), nullptr);
}

TEST(MonoDataSource, WithoutDataSourceThereIsNothing) {
  OGRableMonoDataSource adapter;
  EXPECT_EQ(adapter.GetOGRLayerCount(), 0);
  EXPECT_EQ(adapter.GetOGRLayer(0), nullptr);
  EXPECT_EQ(adapter.GetOGRLayerByName("a"), nullptr);
  EXPECT_EQ(adapter.ExtraQuery(1, 2), 0);
}

TEST(MonoDataSource, ReachesTheLayersOfItsDataSourceAndDestroysIt) {
  std::vector<std::string> destroyed;
  {
    OGRableMonoDataSource adapter;
    adapter.SetDataSource(new MemoryDataSource({"a", "b"}, &destroyed, "first"));
    EXPECT_EQ(adapter.GetOGRLayerCount(), 2);
    EXPECT_STREQ(NameOf(adapter.GetOGRLayer(1)), "b");
    EXPECT_EQ(adapter.GetOGRLayer(2), nullptr);
    EXPECT_EQ(adapter.GetOGRLayer(-1), nullptr);
    EXPECT_STREQ(NameOf(adapter.GetOGRLayerByName("a")), "a");
    adapter.SetDataSource(new MemoryDataSource({"c"}, &destroyed, "second"));
    EXPECT_EQ(destroyed, std::vector<std::string>{"first"});
  }
  EXPECT_EQ(destroyed, (std::vector<std::string>{"first", "second"}));
}

TEST(MultiDataSource, NumbersTheLayersOfItsSourcesConsecutively) {
  std::vector<std::string> destroyed;
  {
    OGRableMultiDataSource adapter;
    adapter.AddDataSource(new MemoryDataSource({"a0", "shared"}, &destroyed, "first"));
    adapter.AddDataSource(new MemoryDataSource({"b0", "b1", "shared"}, &destroyed, "second"));
    EXPECT_EQ(adapter.GetOGRLayerCount(), 5);
    EXPECT_STREQ(NameOf(adapter.GetOGRLayer(1)), "shared");
    EXPECT_STREQ(NameOf(adapter.GetOGRLayer(2)), "b0");
    EXPECT_STREQ(NameOf(adapter.GetOGRLayer(4)), "shared");
    EXPECT_NE(adapter.GetOGRLayer(4), adapter.GetOGRLayer(1)) << "the second source's layer of that name";
    EXPECT_EQ(adapter.GetOGRLayer(5), nullptr);
    EXPECT_EQ(adapter.GetOGRLayer(-1), nullptr);
    // The first source holding the name wins.
    EXPECT_EQ(adapter.GetOGRLayerByName("shared"), adapter.GetOGRLayer(1));
    EXPECT_STREQ(NameOf(adapter.GetOGRLayerByName("b1")), "b1");
    EXPECT_EQ(adapter.GetOGRLayerByName("none"), nullptr);
    EXPECT_EQ(adapter.ExtraQuery(0, 0), 0);
  }
  EXPECT_EQ(destroyed, (std::vector<std::string>{"first", "second"}));
}

TEST(MultiDataSource, ANullFirstEntryStopsIndexLookupsButNotCountsOrNames) {
  OGRableMultiDataSource adapter;
  adapter.AddDataSource(nullptr);
  adapter.AddDataSource(new MemoryDataSource({"a", "b"}));
  EXPECT_EQ(adapter.GetOGRLayerCount(), 2);
  EXPECT_EQ(adapter.GetOGRLayer(0), nullptr);
  EXPECT_EQ(adapter.GetOGRLayer(1), nullptr);
  EXPECT_STREQ(NameOf(adapter.GetOGRLayerByName("b")), "b");
}

}  // namespace
