// Help: the HTML manual installed with the program, opened in the desktop's
// browser at its start page, its table of contents or one topic.
#pragma once

#include <QString>
#include <QStringList>
#include <QUrl>
#include <functional>

namespace kvq {

// Where the manual may lie, in the order looked at: the installed share
// folder (<prefix>/share/kvquillon/docs, found from the executable's folder
// and from the install prefix the program was built for), the folder
// "docs" beside the executable, and the source tree's "docs" (so the
// program runs from its build folder).
QStringList ManualCandidates();

// The first of `candidates` that holds an "index.html"; empty when none does.
QString FindManualFolder(const QStringList& candidates);

// FindManualFolder(ManualCandidates()).
QString ManualFolder();

// The page of a topic name ("explorer", "options", "time-range", ...) as
// "page.html#anchor"; a text that already names a page ("views.html#graph")
// is returned as it is; an unknown name gives "index.html".
QString HelpTopicPage(const QString& topic);

// The topic names HelpTopicPage knows.
QStringList HelpTopicNames();

// The file URL of `page` ("page.html" or "page.html#anchor") in the manual;
// empty when the manual is not found.
QUrl ManualUrl(const QString& page);

// Opens a URL in the desktop's browser; true when it could.
using TUrlOpener = std::function<bool(const QUrl&)>;

// Installs `opener` (empty restores QDesktopServices::openUrl) and returns
// the previous one. Tests record the pages the program opens.
TUrlOpener SetUrlOpener(TUrlOpener opener);

// Open the manual through the URL opener. A manual that cannot be found or
// opened is reported with ShowError; the result is then false.
bool OpenHelpIndex();                       // the start page
bool OpenHelpContents();                    // the table of contents
bool OpenHelpTopic(const QString& topic);   // a topic name or page#anchor

}  // namespace kvq
