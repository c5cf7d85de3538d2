#pragma once
// The console's help pages and web pages. Every form opens its help topic here, e.g.
// ShowHelpTopic(this, "newservice.htm"); the page opens in the desktop's browser.
#include <QString>
#include <QStringList>
#include <functional>

class QWidget;

namespace velmora {

// The file URL of a topic in the help folder (the folder of the help page found at start).
QString HelpTopicUrl(const QString& topic);
// Opens a topic; when the help is missing, the warning ERR00003.
void ShowHelpTopic(QWidget* parent, const QString& topic);
// Opens a web page in the desktop's browser.
void OpenExternalUrl(const QString& url);

// Test hook: when set, URLs go here instead of to the desktop.
std::function<void(const QString&)>& UrlOpenerForTests();

} // namespace velmora
