#include "host/valid_geo_rect.h"

ValidGeoRect::ValidGeoRect() = default;

ValidGeoRect::ValidGeoRect(const PosType& southWestCorner, const PosType& northEastCorner)
    : southWest(southWestCorner), northEast(northEastCorner), valid(true) {}

bool ValidGeoRect::Contains(const PosType& position) const {
  return valid && position.latitude >= southWest.latitude && position.latitude <= northEast.latitude &&
         position.longitude >= southWest.longitude && position.longitude <= northEast.longitude;
}

bool ValidGeoRect::operator==(const ValidGeoRect& other) const {
  return valid == other.valid && southWest == other.southWest && northEast == other.northEast;
}
