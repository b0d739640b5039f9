#include "native_objects.h"

#include <cmath>

namespace Gdiplus::DllExports {

namespace {

// Row vectors: prepending applies `operation` first, appending applies it last.
GpStatus Combine(GpMatrix* matrix, const cairo_matrix_t& operation, GpMatrixOrder order) {
  if (matrix == nullptr || (order != MatrixOrderPrepend && order != MatrixOrderAppend)) return InvalidParameter;
  const cairo_matrix_t current = matrix->elements_;
  if (order == MatrixOrderPrepend)
    cairo_matrix_multiply(&matrix->elements_, &operation, &current);
  else
    cairo_matrix_multiply(&matrix->elements_, &current, &operation);
  return Ok;
}

}  // namespace

GpStatus GdipCreateMatrix(GpMatrix** matrix) { return GdipCreateMatrix2(1, 0, 0, 1, 0, 0, matrix); }

GpStatus GdipCreateMatrix2(REAL m11, REAL m12, REAL m21, REAL m22, REAL dx, REAL dy, GpMatrix** matrix) {
  if (matrix == nullptr) return InvalidParameter;
  GpMatrix* created = NewObject<GpMatrix>();
  if (created == nullptr) return OutOfMemory;
  cairo_matrix_init(&created->elements_, m11, m12, m21, m22, dx, dy);
  *matrix = created;
  return Ok;
}

GpStatus GdipTranslateMatrix(GpMatrix* matrix, REAL offsetX, REAL offsetY, GpMatrixOrder order) {
  cairo_matrix_t translation;
  cairo_matrix_init_translate(&translation, offsetX, offsetY);
  return Combine(matrix, translation, order);
}

GpStatus GdipRotateMatrix(GpMatrix* matrix, REAL angle, GpMatrixOrder order) {
  cairo_matrix_t rotation;
  cairo_matrix_init_rotate(&rotation, angle * M_PI / 180.0);
  return Combine(matrix, rotation, order);
}

GpStatus GdipMultiplyMatrix(GpMatrix* matrix, GpMatrix* other, GpMatrixOrder order) {
  if (other == nullptr) return InvalidParameter;
  return Combine(matrix, other->elements_, order);
}

GpStatus GdipGetMatrixElements(const GpMatrix* matrix, REAL* elements) {
  if (matrix == nullptr || elements == nullptr) return InvalidParameter;
  const cairo_matrix_t& m = matrix->elements_;
  const double values[] = {m.xx, m.yx, m.xy, m.yy, m.x0, m.y0};
  for (int i = 0; i < 6; ++i) elements[i] = static_cast<REAL>(values[i]);
  return Ok;
}

GpStatus GdipDeleteMatrix(GpMatrix* matrix) {
  if (matrix == nullptr) return InvalidParameter;
  DeleteObject(matrix);
  return Ok;
}

}  // namespace Gdiplus::DllExports
