#include "text_layout.h"

#include <algorithm>

namespace Gdiplus {

namespace {

// Paragraphs of `utf8`, split at "\r\n", "\r" and "\n". A break at the end starts an empty line.
std::vector<std::string> Paragraphs(const std::string& utf8) {
  std::vector<std::string> paragraphs(1);
  for (std::size_t i = 0; i < utf8.size(); ++i) {
    const char c = utf8[i];
    if (c == '\r' || c == '\n') {
      if (c == '\r' && i + 1 < utf8.size() && utf8[i + 1] == '\n') ++i;
      paragraphs.emplace_back();
    } else {
      paragraphs.back() += c;
    }
  }
  return paragraphs;
}

// Shapes with the font's design advances: no hinting of outlines or metrics and no rounding of glyph
// positions, so that widths scale with the em size as the font defines them.
PangoLayout* NewLayout(cairo_t* cairo, const GpFont& font) {
  PangoLayout* layout = pango_cairo_create_layout(cairo);
  PangoContext* context = pango_layout_get_context(layout);
  cairo_font_options_t* options = cairo_font_options_create();
  cairo_font_options_set_hint_metrics(options, CAIRO_HINT_METRICS_OFF);
  cairo_font_options_set_hint_style(options, CAIRO_HINT_STYLE_NONE);
  cairo_font_options_set_antialias(options, CAIRO_ANTIALIAS_GRAY);
  pango_cairo_context_set_font_options(context, options);
  cairo_font_options_destroy(options);
  pango_context_set_round_glyph_positions(context, FALSE);
  pango_layout_context_changed(layout);

  PangoFontDescription* description = pango_font_description_new();
  pango_font_description_set_family(description, font.family_.name_.c_str());
  pango_font_description_set_absolute_size(description, font.emPixels_ * PANGO_SCALE);
  pango_font_description_set_weight(description,
                                    (font.style_ & FontStyleBold) ? PANGO_WEIGHT_BOLD : PANGO_WEIGHT_NORMAL);
  pango_font_description_set_style(description,
                                   (font.style_ & FontStyleItalic) ? PANGO_STYLE_ITALIC : PANGO_STYLE_NORMAL);
  pango_layout_set_font_description(layout, description);
  pango_font_description_free(description);
  pango_layout_set_single_paragraph_mode(layout, TRUE);
  // Glyphs follow each other by their advances alone, without kerning pairs or ligatures.
  PangoAttrList* attributes = pango_attr_list_new();
  pango_attr_list_insert(attributes, pango_attr_font_features_new("kern 0, liga 0, clig 0"));
  pango_layout_set_attributes(layout, attributes);
  pango_attr_list_unref(attributes);
  return layout;
}

}  // namespace

TextLayout::TextLayout(cairo_t* cairo, const GpFont& font, const std::string& utf8, const RectF& box,
                       StringAlignment align)
    : font_(font), box_(box), align_(align), padding_(font.emPixels_ / 6.0) {
  if (utf8.empty()) return;
  const double wrapWidth = box.Width > 0 ? std::max(box.Width - 2 * padding_, 1.0) : 0;
  for (const std::string& text : Paragraphs(utf8)) {
    PangoLayout* layout = NewLayout(cairo, font);
    paragraphs_.push_back(layout);
    pango_layout_set_text(layout, text.c_str(), static_cast<int>(text.size()));
    if (wrapWidth > 0) {
      pango_layout_set_width(layout, static_cast<int>(wrapWidth * PANGO_SCALE));
      pango_layout_set_wrap(layout, PANGO_WRAP_WORD_CHAR);
    }
    for (GSList* item = pango_layout_get_lines_readonly(layout); item != nullptr; item = item->next) {
      auto* line = static_cast<PangoLayoutLine*>(item->data);
      PangoRectangle logical;
      pango_layout_line_get_extents(line, nullptr, &logical);
      lines_.push_back({line, static_cast<double>(logical.width) / PANGO_SCALE});
    }
  }
}

TextLayout::~TextLayout() {
  for (PangoLayout* layout : paragraphs_) g_object_unref(layout);
}

double TextLayout::LineLeft(double width) const {
  const double padded = width + 2 * padding_;
  double left = box_.X;
  if (align_ == StringAlignmentCenter) left = box_.Width > 0 ? box_.X + (box_.Width - padded) / 2 : box_.X - padded / 2;
  if (align_ == StringAlignmentFar) left = box_.Width > 0 ? box_.X + box_.Width - padded : box_.X - padded;
  return left;
}

RectF TextLayout::Bounds() const {
  if (lines_.empty()) return RectF(box_.X, box_.Y, 0, 0);
  double widest = 0;
  for (const Line& line : lines_) widest = std::max(widest, line.width);
  double width = widest + 2 * padding_;
  double height = static_cast<double>(lines_.size()) * font_.LineSpacingPixels();
  if (box_.Width > 0) width = std::min<double>(width, box_.Width);
  if (box_.Height > 0) height = std::min<double>(height, box_.Height);
  const double left = box_.Width > 0 ? std::max<double>(LineLeft(widest), box_.X) : LineLeft(widest);
  return RectF(static_cast<REAL>(left), box_.Y, static_cast<REAL>(width), static_cast<REAL>(height));
}

void TextLayout::Draw(cairo_t* cairo) const {
  cairo_save(cairo);
  if (box_.Width > 0 || box_.Height > 0) {
    constexpr double kUnbounded = 1e7;
    const double left = box_.Width > 0 ? box_.X : -kUnbounded;
    const double top = box_.Height > 0 ? box_.Y : -kUnbounded;
    cairo_rectangle(cairo, left, top, box_.Width > 0 ? box_.Width : 2 * kUnbounded,
                    box_.Height > 0 ? box_.Height : 2 * kUnbounded);
    cairo_clip(cairo);
  }
  const double spacing = font_.LineSpacingPixels(), ascent = font_.AscentPixels();
  for (std::size_t i = 0; i < lines_.size(); ++i) {
    cairo_move_to(cairo, LineLeft(lines_[i].width) + padding_, box_.Y + static_cast<double>(i) * spacing + ascent);
    pango_cairo_show_layout_line(cairo, lines_[i].line);
  }
  cairo_restore(cairo);
}

}  // namespace Gdiplus
