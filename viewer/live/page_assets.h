#pragma once
// The page's own files, built into the program from viewer/live/page/.
#include <string_view>

struct PageAsset {
  std::string_view body;
  std::string_view contentType;
};

// The file named `name` ("index.html", "app.js", "style.css"); an empty body for any other name.
PageAsset FindPageAsset(std::string_view name);
