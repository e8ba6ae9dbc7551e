// One library of the comparison in bench/README.md ("PDF libraries"); not part of the build:
//   g++ -O2 -o /tmp/haru haru.cpp -lhpdf && /tmp/haru /tmp/haru.pdf cp1252   (or utf8)
#include "common.h"
#include <hpdf.h>
#include <cstring>
static void err(HPDF_STATUS e, HPDF_STATUS d, void*) { std::fprintf(stderr, "haru error %04X %u\n", (unsigned)e, (unsigned)d); }
int main(int argc, char** argv)
{
    const bool ansi = argc > 2 && std::strcmp(argv[2], "cp1252") == 0;
    Timer t;
    HPDF_Doc pdf = HPDF_New(err, nullptr);
    HPDF_SetCompressionMode(pdf, HPDF_COMP_ALL);
    HPDF_UseUTFEncodings(pdf);
    const char* name = HPDF_LoadTTFontFromFile(pdf, "/usr/share/fonts/truetype/liberation/LiberationSans-Regular.ttf", HPDF_TRUE);
    HPDF_Font font = HPDF_GetFont(pdf, name, ansi ? "CP1252" : "UTF-8");
    for (int p = 0; p < kPages; ++p) {
        HPDF_Page page = HPDF_AddPage(pdf);
        HPDF_Page_SetWidth(page, pt(kW));
        HPDF_Page_SetHeight(page, pt(kH));
        HPDF_Page_BeginText(page);
        HPDF_Page_SetFontAndSize(page, font, 8);
        for (int l = 0; l < kLines; ++l)
            for (int c = 0; c < kCells; ++c) {
                std::string s = cell(p, l, c);
                if (ansi) { // UTF-8 -> CP1252 for the Latin-1 range
                    std::string o; for (size_t i = 0; i < s.size(); ++i) { unsigned char ch = s[i]; if (ch == 0xC3) o += char(0x40 + (unsigned char)s[++i]); else o += char(ch);} s = o; }
                HPDF_Page_TextOut(page, pt(10 + kX[c]), pt(kH - (57.4 + l * 5.3) - 3.0), s.c_str());
            }
        HPDF_Page_EndText(page);
        HPDF_Page_SetLineWidth(page, pt(0.2));
        for (int l = 0; l < kLines; ++l) {
            HPDF_Page_MoveTo(page, pt(10), pt(kH - (57.4 + l * 5.3 + 5.3)));
            HPDF_Page_LineTo(page, pt(kW - 10), pt(kH - (57.4 + l * 5.3 + 5.3)));
        }
        HPDF_Page_Stroke(page);
        HPDF_Page_SetLineWidth(page, pt(0.4));
        HPDF_Page_MoveTo(page, pt(10), pt(kH - 57.4));
        HPDF_Page_LineTo(page, pt(kW - 10), pt(kH - 57.4));
        HPDF_Page_Stroke(page);
    }
    HPDF_SaveToFile(pdf, argv[1]);
    HPDF_Free(pdf);
    t.report(ansi ? "libharu CP1252" : "libharu UTF-8");
    std::printf("peak %ld kB\n", peakKb());
}
