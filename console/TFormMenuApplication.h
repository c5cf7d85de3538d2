#pragma once
// The console's application object. An error that no handler caught reaches it: it is
// written to the system log at ERROR level and shown in an error dialog, as a request to
// report it to support, and the console carries on.
#include <QApplication>

namespace velmora {

class TFormMenuApplication : public QApplication {
public:
    TFormMenuApplication(int& argc, char** argv) : QApplication(argc, argv) {}
    bool notify(QObject* receiver, QEvent* event) override;
};

// Logs and shows one unhandled error.
void ApplicationEventsException(const std::string& errorText);

} // namespace velmora
