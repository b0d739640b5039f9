#pragma once
// Records a data module exchanges with the host about the files it can open.
#include <cstdint>
#include <vector>

#include "afxstr.h"
#include "common/date_list.h"
#include "host/pos_type.h"
#include "host/valid_geo_rect.h"

// A kind of file a data module opens: its extensions (without the dot), a description for the host's
// file dialogs, and the host's classification of it.
struct FileTypeDescriptor {
  std::vector<CString> extensions;
  CString description;
  std::int16_t category = 0;
  std::int16_t subCategory = 0;
  std::int32_t options = 0;
};

// What opening a set of files produced: a status, the dates the files cover, a reference position, a
// scale and the extents of their data. The empty report holds zeros and empty lists.
struct FileOpenReport {
  std::int32_t status = 0;
  DateList dates;
  PosType position;
  std::int32_t scale = 0;
  std::vector<ValidGeoRect> extents;
};
