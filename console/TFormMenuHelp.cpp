#include "TFormMenuHelp.h"

#include "Dialogs.h"

#include "foundation/InitSettings.h"
#include "foundation/Messages.h"
#include "foundation/SystemLog.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QUrl>

namespace velmora {

std::function<void(const QString&)>& UrlOpenerForTests() {
    static std::function<void(const QString&)> opener;
    return opener;
}

QString HelpTopicUrl(const QString& topic) {
    const QString index = QString::fromStdString(InitSettings().HelpFilePath);
    if (index.isEmpty()) {
        return {};
    }
    const QString file = QFileInfo(index).absolutePath() + "/" + topic;
    if (!QFileInfo::exists(file)) {
        return QUrl::fromLocalFile(index).toString();
    }
    return QUrl::fromLocalFile(file).toString();
}

void ShowHelpTopic(QWidget* parent, const QString& topic) {
    if (InitSettings().HelpFilePath.empty()) {
        CheckHelpFile();
    }
    const QString url = HelpTopicUrl(topic);
    if (url.isEmpty()) {
        WriteSystemLog(std::string(msg::ERR00003), LogWarning);
        dialogs::Warning(parent, QString::fromUtf8(msg::ERR00003.data(), msg::ERR00003.size()));
        return;
    }
    OpenExternalUrl(url);
}

void OpenExternalUrl(const QString& url) {
    if (UrlOpenerForTests()) {
        UrlOpenerForTests()(url);
        return;
    }
    QDesktopServices::openUrl(QUrl(url));
}

} // namespace velmora
