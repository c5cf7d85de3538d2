#pragma once
// Small pieces shared by the console's forms: reporting a database failure, the status bar
// and its texts, arming "Apply" on focus, integer fields.
#include <QString>

#include <exception>
#include <initializer_list>
#include <string>

class QObject;
class QPushButton;
class QWidget;
class QStatusBar;

namespace velmora {

class ConsoleHost;

namespace settingsforms {

// "<code> : <error>" in an error dialog and in the system log at Error level.
void ReportError(QWidget* parent, const char* code, const std::exception& e);
void ReportError(QWidget* parent, const char* code, const QString& errorText);
// The text in the form's status bar and, when there is a main window, in its status bar.
void ShowStatus(ConsoleHost* host, QStatusBar* bar, const QString& text);
// A push button of `form` with its caption and the object name the tests look for.
QPushButton* NewButton(QWidget* form, const QString& caption, const char* objectName);
// A status bar for `form`, without a size grip, with the object name the tests look for.
QStatusBar* NewStatusBar(QWidget* form, const char* objectName);
// Installs `filter` on every control of `form` that takes focus, but not on `except`: the
// settings forms enable "Apply" when the user enters any field.
void WatchFocus(QWidget* form, QObject* filter, std::initializer_list<const QWidget*> except);
// Whether the text is a whole decimal number (blanks around it allowed, sign allowed).
bool IsInteger(const QString& text);
// The std::string of a QString (UTF-8) and back.
std::string Utf8(const QString& text);
QString FromUtf8(const std::string& text);

} // namespace settingsforms
} // namespace velmora
