// pralune.ini as Windows editors leave it: its own encoding and line ends, comments after
// values. Writing one key changes that key's line and no other byte.
#include "settings/IniFile.h"
#include "support/TempSite.h"
#include <QFile>
#include <gtest/gtest.h>

namespace {
QByteArray leer()
{
    QFile f(kv::IniFileName());
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}
void escribir(const QByteArray& b)
{
    QFile f(kv::IniFileName());
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(b);
}
} // namespace

TEST(IniFile, WritingOneKeyKeepsEveryOtherByteAndTextsReadInTheFilesEncoding)
{
    kvtest::TempSite site;
    struct Case {
        const char* what;
        QByteArray before;
        QByteArray after;   // once AliasColegio is 4
        QString clave;      // Clave as read
    } cases[] = {
        {"Windows-1252", "[ACTION]\r\nAliasColegio=0\r\n[Internet]\r\nClave=contrase\xF1" "a\x80\r\n",
         "[ACTION]\r\nAliasColegio=4\r\n[Internet]\r\nClave=contrase\xF1" "a\x80\r\n", QString::fromUtf8("contraseña€")},
        {"UTF-8 with a BOM, the key missing", "\xEF\xBB\xBF[Internet]\r\nClave=contrase\xC3\xB1" "a\r\n[ACTION]\r\n\r\n",
         "\xEF\xBB\xBF[Internet]\r\nClave=contrase\xC3\xB1" "a\r\n[ACTION]\r\nAliasColegio=4\r\n\r\n",
         QString::fromUtf8("contraseña")},
        {"line feeds only, no last line end, a comment kept",
         "[Internet]\nClave=a;b   ; la del servidor\n[ACTION]\nAliasColegio=1   ; el sitio", 
         "[Internet]\nClave=a;b   ; la del servidor\n[ACTION]\nAliasColegio=4 ; el sitio", "a;b"},
        {"no section yet", "[Internet]\nClave=x\n", "[Internet]\nClave=x\n\n[ACTION]\nAliasColegio=4\n", "x"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        escribir(c.before);
        EXPECT_EQ(kv::LeerIni("Internet", "Clave"), c.clave);
        ASSERT_TRUE(kv::EscribirAliasColegio(4));
        EXPECT_EQ(leer(), c.after);
        EXPECT_EQ(kv::LeerAliasColegio(), 4);
        EXPECT_EQ(kv::LeerIni("Internet", "Clave"), c.clave);
    }
}
