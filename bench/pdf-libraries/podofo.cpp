// One library of the comparison in bench/README.md ("PDF libraries"); not part of the build:
//   g++ -O2 -o /tmp/podofo podofo.cpp $(pkg-config --cflags --libs libpodofo) && /tmp/podofo /tmp/podofo.pdf
#include "common.h"
#include <podofo/podofo.h>
#include <cstring>
using namespace PoDoFo;
int main(int argc, char** argv)
{
    const bool subset = !(argc > 2 && std::strcmp(argv[2], "full") == 0);
    Timer t;
    try {
        PdfStreamedDocument doc(argv[1]);
        const char* file = "/usr/share/fonts/truetype/liberation/LiberationSans-Regular.ttf";
        PdfFont* font = subset ? doc.CreateFontSubset("Liberation Sans", false, false, false, PdfEncodingFactory::GlobalIdentityEncodingInstance(), file)
                               : doc.CreateFont("Liberation Sans", false, false, false, PdfEncodingFactory::GlobalIdentityEncodingInstance(), PdfFontCache::eFontCreationFlags_None, true, file);
        font->SetFontSize(8);
        PdfPainter painter;
        for (int p = 0; p < kPages; ++p) {
            PdfPage* page = doc.CreatePage(PdfRect(0, 0, pt(kW), pt(kH)));
            painter.SetPage(page);
            painter.SetFont(font);
            for (int l = 0; l < kLines; ++l)
                for (int c = 0; c < kCells; ++c) {
                    const std::string s = cell(p, l, c);
                    painter.DrawText(pt(10 + kX[c]), pt(kH - (57.4 + l * 5.3) - 3.0), PdfString(reinterpret_cast<const pdf_utf8*>(s.c_str())));
                }
            painter.SetStrokeWidth(pt(0.2));
            for (int l = 0; l < kLines; ++l)
                painter.DrawLine(pt(10), pt(kH - (57.4 + l * 5.3 + 5.3)), pt(kW - 10), pt(kH - (57.4 + l * 5.3 + 5.3)));
            painter.SetStrokeWidth(pt(0.4));
            painter.DrawLine(pt(10), pt(kH - 57.4), pt(kW - 10), pt(kH - 57.4));
            painter.FinishPage();
        }
        doc.Close();
    } catch (const PdfError& e) {
        e.PrintErrorMsg();
        return 1;
    }
    t.report(subset ? "PoDoFo subset" : "PoDoFo full font");
    std::printf("peak %ld kB\n", peakKb());
}
