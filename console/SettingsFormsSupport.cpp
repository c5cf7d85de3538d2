#include "SettingsFormsSupport.h"

#include "ConsoleHost.h"
#include "Dialogs.h"

#include "foundation/Messages.h"
#include "foundation/SystemLog.h"

#include <QPushButton>
#include <QStatusBar>
#include <QWidget>

#include <exception>

namespace velmora::settingsforms {

void ReportError(QWidget* parent, const char* code, const std::exception& e) {
    ReportError(parent, code, QString::fromUtf8(e.what()));
}

void ReportError(QWidget* parent, const char* code, const QString& errorText) {
    const std::string text = msg::Location(code, errorText.toStdString());
    WriteSystemLog(text, LogError);
    dialogs::Error(parent, QString::fromStdString(text));
}

void ShowStatus(ConsoleHost* host, QStatusBar* bar, const QString& text) {
    if (bar != nullptr) bar->showMessage(text);
    if (host != nullptr) host->ShowStatus(text);
}

QPushButton* NewButton(QWidget* form, const QString& caption, const char* objectName) {
    auto* button = new QPushButton(caption, form);
    button->setObjectName(QString::fromLatin1(objectName));
    return button;
}

QStatusBar* NewStatusBar(QWidget* form, const char* objectName) {
    auto* bar = new QStatusBar(form);
    bar->setObjectName(QString::fromLatin1(objectName));
    bar->setSizeGripEnabled(false);
    return bar;
}

void WatchFocus(QWidget* form, QObject* filter, std::initializer_list<const QWidget*> except) {
    for (QWidget* w : form->findChildren<QWidget*>()) {
        if (w->focusPolicy() == Qt::NoFocus) continue;
        bool skip = false;
        for (const QWidget* e : except) skip = skip || e == w;
        if (!skip) w->installEventFilter(filter);
    }
}

bool IsInteger(const QString& text) {
    bool ok = false;
    text.trimmed().toLongLong(&ok);
    return ok;
}

std::string Utf8(const QString& text) { return text.toStdString(); }
QString FromUtf8(const std::string& text) { return QString::fromStdString(text); }

} // namespace velmora::settingsforms
