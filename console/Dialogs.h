#pragma once
// Every modal message and file dialog of the console goes through here, so GUI tests can
// answer them without a person: queue the next answers or file names before the action,
// and read what was shown afterwards. With nothing queued, the real dialog opens.
#include <QMessageBox>
#include <QString>
#include <QStringList>
#include <deque>
#include <functional>

class QWidget;

namespace velmora::dialogs {

void Error(QWidget* parent, const QString& text);
void Warning(QWidget* parent, const QString& text);
void Information(QWidget* parent, const QString& text);
// Yes/No (or the given buttons) question; returns the button chosen.
QMessageBox::StandardButton Question(
    QWidget* parent, const QString& text,
    QMessageBox::StandardButtons buttons = QMessageBox::Yes | QMessageBox::No);

// File dialogs; an empty result means the user canceled. `start` is the folder (or folder
// and proposed file name) the dialog opens in; empty: the current folder.
QString OpenFileName(QWidget* parent, const QString& caption, const QString& filter,
                     const QString& start = {});
QString SaveFileName(QWidget* parent, const QString& caption, const QString& filter,
                     const QString& start = {});
QString ExistingDirectory(QWidget* parent, const QString& caption);

// --- Test hooks -----------------------------------------------------------------------
struct Shown {
    QString kind;   // "error", "warning", "information", "question"
    QString text;
};
// Answers for the next questions, in order; file names (or "" for cancel) likewise.
void QueueAnswer(QMessageBox::StandardButton answer);
void QueueFileName(const QString& name);
// Every message shown (or answered from the queue) since the last ClearShown().
const std::deque<Shown>& ShownMessages();
void ClearShown();
// When set, messages with no queued answer are recorded and not shown (offscreen tests).
void SetHeadless(bool headless);

} // namespace velmora::dialogs
