#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <cstdlib>
#include <fstream>
#include <string>

#include "data/AliasCatalogue.h"
#include "data/NamedConnection.h"

namespace kvq {
namespace {

// Sets an environment variable for the test's lifetime.
class ScopedEnv {
 public:
  ScopedEnv(const char* name, const std::string& value) : name_(name) {
    if (const char* old = std::getenv(name)) old_ = old, had_ = true;
    ::setenv(name, value.c_str(), 1);
  }
  ~ScopedEnv() {
    if (had_)
      ::setenv(name_, old_.c_str(), 1);
    else
      ::unsetenv(name_);
  }

 private:
  const char* name_;
  std::string old_;
  bool had_ = false;
};

void Write(const std::string& path, const std::string& text) { std::ofstream(path) << text; }

class AliasCatalogueTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dir_.isValid());
    path_ = dir_.filePath("aliases.ini").toStdString();
    SetAliasesFilePath(path_);
  }
  void TearDown() override { SetAliasesFilePath(""); }
  std::string Path(const char* name) const { return dir_.filePath(name).toStdString(); }

  QTemporaryDir dir_;
  std::string path_;
  // No DSNs of the machine leak into the tests.
  ScopedEnv odbcIni_{"ODBCINI", "/nonexistent/odbc.ini"};
  ScopedEnv odbcSys_{"ODBCSYSINI", "/nonexistent"};
};

TEST_F(AliasCatalogueTest, DefaultPathFollowsXdgConfigHome) {
  SetAliasesFilePath("");
  {
    ScopedEnv xdg("XDG_CONFIG_HOME", "/srv/cfg");
    EXPECT_EQ(AliasesFilePath(), "/srv/cfg/KVQuillon/aliases.ini");
  }
  {
    ScopedEnv home("HOME", "/home/hydro");
    ScopedEnv xdg("XDG_CONFIG_HOME", "relative/ignored");
    EXPECT_EQ(AliasesFilePath(), "/home/hydro/.config/KVQuillon/aliases.ini");
  }
}

TEST_F(AliasCatalogueTest, ListsFileSectionsThenOdbcDsns) {
  Write(path_,
        "[DEMO]\nDriver=qsqlite\nDatabase=demo.sqlite\n\n"
        "[Network]\nDriver=QPSQL\nDatabase=hydro\nHost=db.example\nPort=5433\nOptions=sslmode=require\n");
  Write(Path("odbc.ini"),
        "[ODBC Data Sources]\nWAREHOUSE=PostgreSQL\n\n[WAREHOUSE]\nDriver=PostgreSQL\n\n[demo]\nDriver=SQLite3\n");
  ScopedEnv odbc("ODBCINI", Path("odbc.ini"));
  const auto list = ListAliases();
  ASSERT_EQ(list.size(), 3u);
  EXPECT_EQ(list[0].Name, "DEMO");
  EXPECT_EQ(list[0].Driver, "QSQLITE");
  EXPECT_EQ(list[1].Name, "Network");
  EXPECT_EQ(list[1].Host, "db.example");
  EXPECT_EQ(list[1].Port, 5433);
  EXPECT_EQ(list[1].Options, "sslmode=require");
  // The DSN "demo" is hidden by the file's alias of the same name.
  EXPECT_EQ(list[2].Name, "WAREHOUSE");
  EXPECT_EQ(list[2].Driver, "QODBC");
  EXPECT_EQ(list[2].Database, "WAREHOUSE");
  EXPECT_TRUE(list[2].FromOdbc);

  TAliasInfo found;
  ASSERT_TRUE(FindAlias("network", found));
  EXPECT_EQ(found.Database, "hydro");
  EXPECT_FALSE(FindAlias("missing", found));
}

TEST_F(AliasCatalogueTest, MissingFilesListNothing) {
  SetAliasesFilePath(Path("none/aliases.ini"));
  EXPECT_TRUE(ListAliases().empty());
}

TEST_F(AliasCatalogueTest, SaveAliasCreatesTheFolderAndReplacesTheSection) {
  SetAliasesFilePath(Path("new/KVQuillon/aliases.ini"));
  TAliasInfo a;
  a.Name = "DEMO";
  a.Driver = "QSQLITE";
  a.Database = "/data/demo.sqlite";
  std::string error;
  ASSERT_TRUE(SaveAlias(a, &error)) << error;
  a.Database = "/data/other.sqlite";
  ASSERT_TRUE(SaveAlias(a, &error)) << error;
  const auto list = ListAliases();
  ASSERT_EQ(list.size(), 1u);
  EXPECT_EQ(list[0].Database, "/data/other.sqlite");
}

TEST_F(AliasCatalogueTest, OpeningFailsWithClearReasons) {
  Write(path_,
        "[BADDRIVER]\nDriver=QMYSQL9\nDatabase=x\n"
        "[NOFILE]\nDriver=QSQLITE\nDatabase=missing.sqlite\n"
        "[NONAME]\nDriver=QSQLITE\n"
        "[NOTADB]\nDriver=QSQLITE\nDatabase=notes.txt\n");
  Write(Path("notes.txt"), std::string(4096, 'x'));
  struct Case {
    const char* alias;
    const char* reason;
  };
  const Case cases[] = {
      {"NOPE", "Unknown database alias \"NOPE\"."},
      {"BADDRIVER", "Alias \"BADDRIVER\" names the unknown driver \"QMYSQL9\"."},
      {"NOFILE", "does not exist"},
      {"NONAME", "names no database file"},
      {"NOTADB", "notes.txt: file is not a database"},
  };
  for (const Case& c : cases) {
    TNamedConnection conn("kvq-alias-test");
    std::string error;
    EXPECT_FALSE(conn.Open(c.alias, "", "", false, &error)) << c.alias;
    EXPECT_NE(error.find(c.reason), std::string::npos) << error;
    EXPECT_FALSE(conn.IsOpen());
  }
  // A relative SQLite file lies beside the aliases file and is made on request.
  TNamedConnection conn("kvq-alias-test");
  std::string error;
  ASSERT_TRUE(conn.Open("nofile", "", "", true, &error)) << error;
  EXPECT_TRUE(std::ifstream(Path("missing.sqlite")).good());
}

}  // namespace
}  // namespace kvq
