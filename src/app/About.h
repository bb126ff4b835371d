// The about box: the program's picture, name, part number and version.
#pragma once

#include <QDialog>
#include <QPixmap>
#include <QString>
#include <memory>

namespace Ui {
class TfmAbout;
}

namespace kvq {

// "Version " + productVersion + " (Build " + the fourth dot-separated part of
// fileVersion + ")"; the build part is empty when fileVersion has fewer than
// four parts ("Version 0.1.0 (Build )").
QString AboutVersionLine(const QString& productVersion, const QString& fileVersion);

// The program's version: the CMake project version (KVQ_VERSION).
QString ProgramVersion();

class TfmAbout : public QDialog {
  Q_OBJECT

 public:
  // Shows the version of this build (product and file version are both the
  // CMake project version).
  explicit TfmAbout(QWidget* parent = nullptr);
  ~TfmAbout() override;
  TfmAbout(const TfmAbout&) = delete;
  TfmAbout& operator=(const TfmAbout&) = delete;

  // Shows another version line (tests, and builds that stamp a build number).
  void SetVersion(const QString& productVersion, const QString& fileVersion);

 private:
  std::unique_ptr<Ui::TfmAbout> ui_;
};

// Runs the about box modally (through ExecDialog) and frees it when closed.
void ShowAboutBox(QWidget* parent = nullptr);

// The program's picture (a river gauge by a stream under rain), `size`
// pixels square; also the main window's icon.
QPixmap ProgramPicture(int size);

}  // namespace kvq
