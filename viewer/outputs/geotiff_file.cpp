#include "viewer/outputs/geotiff_file.h"

#include <gdal_priv.h>
#include <ogr_spatialref.h>

#include <cpl_string.h>

#include "extensions/whole_file.h"

bool WriteGeoTiff(const std::string& path, int width, int height, const std::vector<std::uint8_t>& rgba,
                  const std::array<double, 6>& geoTransform, std::string& error) {
  if (width <= 0 || height <= 0 || rgba.size() != static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 4) {
    error = "there is no picture to write to " + path;
    return false;
  }
  GDALAllRegister();
  CPLErrorReset();
  GDALDriver* driver = GetGDALDriverManager()->GetDriverByName("GTiff");
  if (!driver) {
    error = "GDAL has no GeoTIFF driver";
    return false;
  }
  // GDAL writes the temporary file by its name; it takes the final name only once GDAL has closed it whole.
  WholeFile file;
  if (!file.Open(path, error)) return false;
  CPLStringList creation;
  creation.SetNameValue("PHOTOMETRIC", "RGB");
  creation.SetNameValue("ALPHA", "UNASSOCIATED");
  creation.SetNameValue("COMPRESS", "DEFLATE");
  GDALDatasetUniquePtr dataset(driver->Create(file.TemporaryPath().c_str(), width, height, 4, GDT_Byte, creation.List()));
  if (!dataset) {
    error = "cannot write " + path + ": " + CPLGetLastErrorMsg();
    return false;
  }
  std::array<double, 6> transform = geoTransform;
  OGRSpatialReference mercator;
  char* wkt = nullptr;
  if (mercator.importFromEPSG(3857) != OGRERR_NONE || mercator.exportToWkt(&wkt) != OGRERR_NONE ||
      dataset->SetProjection(wkt) != CE_None || dataset->SetGeoTransform(transform.data()) != CE_None) {
    CPLFree(wkt);
    error = "cannot give " + path + " its reference system: " + CPLGetLastErrorMsg();
    return false;
  }
  CPLFree(wkt);
  // The four bands are read straight out of the interleaved pixels.
  int bands[] = {1, 2, 3, 4};
  if (dataset->RasterIO(GF_Write, 0, 0, width, height, const_cast<std::uint8_t*>(rgba.data()), width, height, GDT_Byte,
                        4, bands, 4, static_cast<GSpacing>(width) * 4, 1, nullptr) != CE_None) {
    error = "cannot write the pixels of " + path + ": " + CPLGetLastErrorMsg();
    return false;
  }
  dataset->GetRasterBand(4)->SetColorInterpretation(GCI_AlphaBand);
  dataset.reset();
  if (CPLGetLastErrorType() == CE_Failure) {
    error = "cannot finish " + path + ": " + CPLGetLastErrorMsg();
    return false;
  }
  return file.Commit(error);
}
