// Connection strings: parsing of the keys the program uses, quoting of awkward values, and
// the round trip from parts to text and back.
#include "platform/db/ConnectionString.h"

#include <QStringList>
#include <gtest/gtest.h>

using platform::db::ConnectionString;

namespace {

struct ParseCase {
    const char* name;
    QString text;
    QString path;
    QString password;
};

// The case by its name, so the test's name stays the same from build to build.
void PrintTo(const ParseCase& c, std::ostream* os) {
    *os << c.name;
}

class ConnectionStringParse : public testing::TestWithParam<ParseCase> {};

TEST_P(ConnectionStringParse, FindsPathAndPassword) {
    const auto& c = GetParam();
    const auto cs = ConnectionString::parse(c.text);
    EXPECT_EQ(cs.databasePath(), c.path);
    EXPECT_EQ(cs.password(), c.password);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ConnectionStringParse,
    testing::Values(
        ParseCase{"Local", "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=/data/Lumidesk/lumimaster.mdb",
                  "/data/Lumidesk/lumimaster.mdb", ""},
        ParseCase{"Network", "Provider=P;Data Source=/net/m.mdb;Jet OLEDB:Database Password=s3cret",
                  "/net/m.mdb", "s3cret"},
        ParseCase{"KeysIgnoreCase", "data source=/x.mdb;JET OLEDB:DATABASE PASSWORD=pw", "/x.mdb", "pw"},
        ParseCase{"SpacesAroundUnquoted", "  Data Source =  /a b/c.mdb  ; PWD = p ", "/a b/c.mdb", "p"},
        ParseCase{"DbqAndPwd", "DSN=Sheets;DBQ=/w/book.xlsx;UID=admin;PWD=x", "/w/book.xlsx", "x"},
        ParseCase{"DatabasePasswordBeforePwd", "PWD=second;Jet OLEDB:Database Password=first;Data Source=/a",
                  "/a", "first"},
        ParseCase{"NestedDbq", "Provider=P;Extended Properties='DSN=Sheets;DBQ=/w/b.xlsx;DriverId=790'",
                  "/w/b.xlsx", ""},
        ParseCase{"SemicolonAndEqualsInQuotedPath", "Data Source=\"/a;b=c/d.mdb\";PWD='p;w=d'",
                  "/a;b=c/d.mdb", "p;w=d"},
        ParseCase{"DoubledQuotes", "Data Source=\"/a\"\"b.mdb\";PWD='it''s'", "/a\"b.mdb", "it's"},
        ParseCase{"QuotedKeepsSpaces", "Data Source=\"  /s.mdb \";PWD=\" \"", "  /s.mdb ", " "},
        ParseCase{"EmptyDataSourceFallsBackToDbq", "Data Source=;DBQ=/q.mdb", "/q.mdb", ""},
        ParseCase{"LastValueWins", "Data Source=/one;Data Source=/two", "/two", ""},
        ParseCase{"TrailingSeparatorAndJunk", "Data Source=/a.mdb;;junk;", "/a.mdb", ""},
        ParseCase{"Empty", "", "", ""}),
    [](const testing::TestParamInfo<ParseCase>& info) { return std::string(info.param.name); });

TEST(ConnectionString, KeepsOrderAndReplacesInPlace) {
    auto cs = ConnectionString::parse("Provider=P;Data Source=/a;User ID=Admin");
    cs.set("data source", "/b");
    cs.set(ConnectionString::kDatabasePassword, "pw");
    EXPECT_EQ(cs.toString(), "Provider=P;Data Source=/b;User ID=Admin;Jet OLEDB:Database Password=pw");
    EXPECT_TRUE(cs.contains("USER id"));
    EXPECT_FALSE(cs.contains("PWD"));
    EXPECT_EQ(cs.value("PWD"), "");
}

TEST(ConnectionString, AwkwardValuesRoundTrip) {
    const QStringList values{"plain",         "a;b",      "a=b",    "it's",      "say \"hi\"",
                             "both ' and \"", " lead",    "trail ", "=;'\"",     "",
                             "/p/ä ö/ü.mdb",  "'quoted'", "\"dq\"", "x\"\"y''z", "  ;  "};
    for (const QString& v : values) {
        ConnectionString cs;
        cs.set(ConnectionString::kDataSource, "/path/" + v + ".mdb");
        cs.set(ConnectionString::kDatabasePassword, v);
        cs.set(ConnectionString::kUserId, "Admin");
        const QString text = cs.toString();
        EXPECT_FALSE(text.endsWith(';')) << text.toStdString();
        const auto back = ConnectionString::parse(text);
        EXPECT_EQ(back.password(), v) << text.toStdString();
        EXPECT_EQ(back.databasePath(), "/path/" + v + ".mdb") << text.toStdString();
        EXPECT_EQ(back.value(ConnectionString::kUserId), "Admin") << text.toStdString();
        EXPECT_EQ(back.toString(), text);
    }
}

TEST(ConnectionString, PlainValuesStayUnquoted) {
    ConnectionString cs;
    cs.set("Provider", "Microsoft.Jet.OLEDB.4.0");
    cs.set("Data Source", "/home/u/My Files/m.mdb");
    EXPECT_EQ(cs.toString(), "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=/home/u/My Files/m.mdb");
}

} // namespace
