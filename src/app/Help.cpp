#include "app/Help.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <utility>

#include "foundation/Messages.h"

#ifndef KVQ_SOURCE_DIR
#define KVQ_SOURCE_DIR ""
#endif
#ifndef KVQ_INSTALL_DATADIR
#define KVQ_INSTALL_DATADIR ""
#endif

namespace kvq {

namespace {

constexpr const char* kIndexPage = "index.html";

// Topic names of the windows and commands, and where the manual treats them.
const std::pair<const char*, const char*> kTopics[] = {
    {"contents", "index.html#contents"},
    {"start", "index.html#start"},
    {"explorer", "data-sources.html#explorer"},
    {"data-source", "data-sources.html#explorer"},
    {"browse-folder", "data-sources.html#new-folder"},
    {"alias-chooser", "data-sources.html#new-database"},
    {"aliases", "data-sources.html#aliases"},
    {"tree", "tree.html#tree"},
    {"groupings", "tree.html#groupings"},
    {"retrieval-list", "tree.html#retrieval-list"},
    {"filters", "tree.html#filters"},
    {"time-range", "time-ranges.html#from-to"},
    {"retrieve", "views.html#retrieve"},
    {"graph", "views.html#graph"},
    {"list", "views.html#list"},
    {"station", "views.html#station"},
    {"sensor", "views.html#sensor"},
    {"export", "views.html#export"},
    {"print", "views.html#print"},
    {"import", "views.html#import"},
    {"settings", "settings.html#main-settings"},
    {"sensor-settings", "settings.html#sensor-settings"},
    {"options", "settings.html#options"},
    {"exit", "settings.html#exit"},
    {"kvq", "kvq.html"},
    {"messages", "messages.html"},
};

TUrlOpener& Opener() {
  static TUrlOpener opener;
  return opener;
}

bool OpenPage(const QString& page) {
  const QUrl url = ManualUrl(page);
  if (url.isEmpty()) {
    ShowError("Unable to find the KV Quillon manual (" + std::string(kIndexPage) + ").");
    return false;
  }
  const bool opened = Opener() ? Opener()(url) : QDesktopServices::openUrl(url);
  if (!opened) {
    ShowError("Unable to open the KV Quillon manual " + url.toString().toStdString() + ".");
    return false;
  }
  return true;
}

}  // namespace

QStringList ManualCandidates() {
  QStringList candidates;
  const QString appDir = QCoreApplication::applicationDirPath();
  if (!appDir.isEmpty()) candidates << QDir::cleanPath(appDir + "/../share/kvquillon/docs");
  if (const QString data = KVQ_INSTALL_DATADIR; !data.isEmpty())
    candidates << QDir::cleanPath(data + "/kvquillon/docs");
  if (!appDir.isEmpty()) candidates << QDir::cleanPath(appDir + "/docs");
  if (const QString source = KVQ_SOURCE_DIR; !source.isEmpty()) candidates << QDir::cleanPath(source + "/docs");
  candidates.removeDuplicates();
  return candidates;
}

QString FindManualFolder(const QStringList& candidates) {
  for (const QString& folder : candidates)
    if (QFileInfo(folder + "/" + kIndexPage).isFile()) return folder;
  return {};
}

QString ManualFolder() { return FindManualFolder(ManualCandidates()); }

QString HelpTopicPage(const QString& topic) {
  if (topic.contains(".html")) return topic;
  for (auto [name, page] : kTopics)
    if (topic.compare(name, Qt::CaseInsensitive) == 0) return page;
  return kIndexPage;
}

QStringList HelpTopicNames() {
  QStringList names;
  for (auto [name, page] : kTopics) names << name;
  return names;
}

QUrl ManualUrl(const QString& page) {
  const QString folder = ManualFolder();
  if (folder.isEmpty()) return {};
  const qsizetype hash = page.indexOf('#');
  QUrl url = QUrl::fromLocalFile(folder + "/" + (hash < 0 ? page : page.left(hash)));
  if (hash >= 0) url.setFragment(page.mid(hash + 1));
  return url;
}

TUrlOpener SetUrlOpener(TUrlOpener opener) {
  TUrlOpener previous = std::move(Opener());
  Opener() = std::move(opener);
  return previous;
}

bool OpenHelpIndex() { return OpenPage(kIndexPage); }

bool OpenHelpContents() { return OpenPage(HelpTopicPage("contents")); }

bool OpenHelpTopic(const QString& topic) { return OpenPage(HelpTopicPage(topic)); }

}  // namespace kvq
