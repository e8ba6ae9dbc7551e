// The one CSV field writer: quoting, and the apostrophe that keeps a text cell from being
// read as a formula by the spreadsheet that opens the file.
#include "base/Csv.h"

#include <gtest/gtest.h>

TEST(Csv, FieldsQuoteAndDefuseFormulas)
{
    struct Case { QString in; QChar sep; QString out; };
    const QChar coma = QLatin1Char(','), pyc = QLatin1Char(';');
    const Case cases[] = {
        {"simple", coma, "simple"},
        {"a,b", coma, "\"a,b\""},
        {"a,b", pyc, "a,b"},
        {"a;b", pyc, "\"a;b\""},
        {"dijo \"sí\"", coma, "\"dijo \"\"sí\"\"\""},
        {"dos\nlíneas", coma, "\"dos\nlíneas\""},
        {"", coma, ""},
        {"  espacios ", coma, "  espacios "},
        {"=1+1", coma, "'=1+1"},
        {"+57 300", coma, "'+57 300"},
        {"-resta", coma, "'-resta"},
        {"@SUMA(A1)", coma, "'@SUMA(A1)"},
        {"\tx", coma, "'\tx"},
        {"\rx", coma, "\"'\rx\""},
        {"=A1,B1", coma, "\"'=A1,B1\""},
        {"-12", coma, "-12"},
        {"+3,5", pyc, "+3,5"},
        {"-0.25", coma, "-0.25"},
        {"a=b", coma, "a=b"},
    };
    for (const Case& c : cases) EXPECT_EQ(kv::CsvCampo(c.in, c.sep), c.out) << c.in.toStdString();
    EXPECT_EQ(kv::CsvLinea({"=x", "y;z", "3"}, QLatin1Char(';')), QStringLiteral("'=x;\"y;z\";3"));
}
