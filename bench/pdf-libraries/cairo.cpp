// One library of the comparison in bench/README.md ("PDF libraries"); not part of the build:
//   g++ -O2 -o /tmp/cairo cairo.cpp $(pkg-config --cflags --libs cairo cairo-ft freetype2) && /tmp/cairo /tmp/cairo.pdf
#include "common.h"
#include <cairo-ft.h>
#include <cairo-pdf.h>
#include <cairo.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include <unordered_map>
#include <vector>
int main(int argc, char** argv)
{
    Timer t;
    FT_Library lib; FT_Init_FreeType(&lib);
    FT_Face face; FT_New_Face(lib, "/usr/share/fonts/truetype/liberation/LiberationSans-Regular.ttf", 0, &face);
    cairo_font_face_t* ff = cairo_ft_font_face_create_for_ft_face(face, 0);
    cairo_surface_t* s = cairo_pdf_surface_create(argv[1], pt(kW), pt(kH));
    cairo_t* cr = cairo_create(s);
    cairo_set_font_face(cr, ff);
    cairo_set_font_size(cr, 8);
    cairo_font_options_t* fo = cairo_font_options_create();
    cairo_font_options_set_hint_metrics(fo, CAIRO_HINT_METRICS_OFF);
    cairo_font_options_set_hint_style(fo, CAIRO_HINT_STYLE_NONE);
    cairo_set_font_options(cr, fo);
    cairo_scaled_font_t* sf = cairo_get_scaled_font(cr);
    std::unordered_map<std::string, std::vector<cairo_glyph_t>> cache;
    std::vector<cairo_glyph_t> buf;
    for (int p = 0; p < kPages; ++p) {
        for (int l = 0; l < kLines; ++l)
            for (int c = 0; c < kCells; ++c) {
                const std::string txt = cell(p, l, c);
                auto it = cache.find(txt);
                if (it == cache.end()) {
                    cairo_glyph_t* g = nullptr; int n = 0;
                    cairo_scaled_font_text_to_glyphs(sf, 0, 0, txt.c_str(), -1, &g, &n, nullptr, nullptr, nullptr);
                    it = cache.emplace(txt, std::vector<cairo_glyph_t>(g, g + n)).first;
                    cairo_glyph_free(g);
                }
                const double x = pt(10 + kX[c]), y = pt(57.4 + l * 5.3 + 3.0);
                buf = it->second;
                for (auto& g : buf) { g.x += x; g.y += y; }
                cairo_show_glyphs(cr, buf.data(), int(buf.size()));
            }
        cairo_set_line_width(cr, pt(0.2));
        for (int l = 0; l < kLines; ++l) {
            cairo_move_to(cr, pt(10), pt(57.4 + l * 5.3 + 5.3));
            cairo_line_to(cr, pt(kW - 10), pt(57.4 + l * 5.3 + 5.3));
        }
        cairo_stroke(cr);
        cairo_set_line_width(cr, pt(0.4));
        cairo_move_to(cr, pt(10), pt(57.4));
        cairo_line_to(cr, pt(kW - 10), pt(57.4));
        cairo_stroke(cr);
        cairo_show_page(cr);
    }
    cairo_destroy(cr);
    cairo_surface_finish(s);
    cairo_surface_destroy(s);
    t.report("cairo show_glyphs cached");
    std::printf("peak %ld kB\n", peakKb());
}
