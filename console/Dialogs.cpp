#include "Dialogs.h"

#include <QFileDialog>

namespace velmora::dialogs {

namespace {

struct State {
    std::deque<QMessageBox::StandardButton> answers;
    std::deque<QString> fileNames;
    std::deque<Shown> shown;
    bool headless = false;
};

State& S() {
    static State s;
    return s;
}

void Message(QWidget* parent, QMessageBox::Icon icon, const char* kind, const QString& text) {
    S().shown.push_back({kind, text});
    if (S().headless) {
        return;
    }
    QMessageBox box(icon, QStringLiteral("Velmora Pro"), text, QMessageBox::Ok, parent);
    box.exec();
}

QString FileName(const std::function<QString()>& real) {
    if (!S().fileNames.empty()) {
        QString n = S().fileNames.front();
        S().fileNames.pop_front();
        return n;
    }
    if (S().headless) {
        return {};
    }
    return real();
}

} // namespace

void Error(QWidget* parent, const QString& text) {
    Message(parent, QMessageBox::Critical, "error", text);
}

void Warning(QWidget* parent, const QString& text) {
    Message(parent, QMessageBox::Warning, "warning", text);
}

void Information(QWidget* parent, const QString& text) {
    Message(parent, QMessageBox::Information, "information", text);
}

QMessageBox::StandardButton Question(QWidget* parent, const QString& text,
                                     QMessageBox::StandardButtons buttons) {
    S().shown.push_back({"question", text});
    if (!S().answers.empty()) {
        const auto a = S().answers.front();
        S().answers.pop_front();
        return a;
    }
    if (S().headless) {
        return QMessageBox::No;
    }
    return QMessageBox::question(parent, QStringLiteral("Velmora Pro"), text, buttons);
}

QString OpenFileName(QWidget* parent, const QString& caption, const QString& filter,
                     const QString& start) {
    return FileName([&] { return QFileDialog::getOpenFileName(parent, caption, start, filter); });
}

QString SaveFileName(QWidget* parent, const QString& caption, const QString& filter,
                     const QString& start) {
    return FileName([&] { return QFileDialog::getSaveFileName(parent, caption, start, filter); });
}

QString ExistingDirectory(QWidget* parent, const QString& caption) {
    return FileName([&] { return QFileDialog::getExistingDirectory(parent, caption); });
}

void QueueAnswer(QMessageBox::StandardButton answer) { S().answers.push_back(answer); }
void QueueFileName(const QString& name) { S().fileNames.push_back(name); }
const std::deque<Shown>& ShownMessages() { return S().shown; }
void ClearShown() { S().shown.clear(); }
void SetHeadless(bool headless) { S().headless = headless; }

} // namespace velmora::dialogs
