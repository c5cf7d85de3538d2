#pragma once
// What a console form may ask of the main window that opened it. TFormMenu implements it;
// a form built without a main window (GUI tests) gets nullptr and skips these calls.
#include <QString>

namespace velmora {

class MonitorEngine;

class ConsoleHost {
public:
    virtual ~ConsoleHost() = default;
    // The console's engine (for test runs through its pool); may be nullptr before start.
    virtual MonitorEngine* Engine() = 0;
    // A form opened from the main window disables the main window's controls meanwhile.
    virtual void NestedFormOpened() = 0;
    virtual void NestedFormClosed() = 0;
    // Services were added, changed or deleted: refill the address tree and service list.
    virtual void ServicesChanged() = 0;
    // Contacts or groups changed: forms that list them refresh.
    virtual void ContactsChanged() = 0;
    // The alarm methods were saved: the engine reloads them.
    virtual void AlarmMethodsChanged() = 0;
    // Text in the main window's status bar.
    virtual void ShowStatus(const QString& text) = 0;
};

} // namespace velmora
