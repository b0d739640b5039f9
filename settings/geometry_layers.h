#pragma once
// Enumeration of a data source's geometry layers: its plain layers, or, when it lists them in a
// "GEOMETRY_COLUMNS" table, the layers that table names.
class OGRDataSource;
class OGRLayer;

int GetGeometryLayerCount(OGRDataSource* dataSource);
// Note the argument order: index first. The caller checks the index against the count.
OGRLayer* GetGeometryLayer(int index, OGRDataSource* dataSource);
