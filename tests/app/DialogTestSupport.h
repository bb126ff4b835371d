// Helpers of the dialog tests: a scratch folder with a main settings file
// and an aliases file, and ways to press a dialog's buttons.
#pragma once

#include <QAbstractButton>
#include <QDialog>
#include <QTemporaryDir>
#include <cstdlib>
#include <fstream>
#include <string>

#include "data/AliasCatalogue.h"

namespace kvq::test {

// Sets an environment variable for its lifetime.
class TScopedEnv {
 public:
  TScopedEnv(const char* name, const std::string& value) : name_(name) {
    if (const char* old = std::getenv(name)) old_ = old, had_ = true;
    ::setenv(name, value.c_str(), 1);
  }
  ~TScopedEnv() {
    if (had_)
      ::setenv(name_, old_.c_str(), 1);
    else
      ::unsetenv(name_);
  }
  TScopedEnv(const TScopedEnv&) = delete;
  TScopedEnv& operator=(const TScopedEnv&) = delete;

 private:
  const char* name_;
  std::string old_;
  bool had_ = false;
};

// A scratch folder with an aliases file holding "GOOD" (an SQLite file that
// exists) and "MISSING" (an SQLite file that does not); no ODBC DSNs of the
// machine leak in.
class TScratch {
 public:
  TScratch() {
    aliases_ = Path("aliases.ini");
    std::ofstream(Path("good.sqlite"));  // an empty file is a new SQLite database
    std::ofstream(aliases_) << "[GOOD]\nDriver=QSQLITE\nDatabase=good.sqlite\n\n"
                               "[MISSING]\nDriver=QSQLITE\nDatabase=missing.sqlite\n";
    SetAliasesFilePath(aliases_);
  }
  ~TScratch() { SetAliasesFilePath(""); }
  TScratch(const TScratch&) = delete;
  TScratch& operator=(const TScratch&) = delete;

  std::string Path(const std::string& name) const { return dir_.filePath(QString::fromStdString(name)).toStdString(); }
  QString Folder() const { return dir_.path(); }

 private:
  QTemporaryDir dir_;
  std::string aliases_;
  TScopedEnv odbcIni_{"ODBCINI", "/nonexistent/odbc.ini"};
  TScopedEnv odbcSys_{"ODBCSYSINI", "/nonexistent"};
};

// Clicks the button called `name` of `widget`; false when there is none.
inline bool Click(QWidget& widget, const char* name) {
  auto* button = widget.findChild<QAbstractButton*>(name);
  if (!button) return false;
  button->click();
  return true;
}

}  // namespace kvq::test
