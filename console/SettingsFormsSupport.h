#pragma once
// Small pieces shared by the settings forms (alarm methods, contacts, groups, scheduling,
// general options): reporting a database failure, status texts, integer fields.
#include <QString>

#include <exception>
#include <string>

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
// Whether the text is a whole decimal number (blanks around it allowed, sign allowed).
bool IsInteger(const QString& text);
// The std::string of a QString (UTF-8) and back.
std::string Utf8(const QString& text);
QString FromUtf8(const std::string& text);

} // namespace settingsforms
} // namespace velmora
