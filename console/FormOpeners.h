#pragma once
// The main window opens every other form through these functions, so the main window and
// the forms are built and tested apart. Each function lives in its own Open*.cpp beside the
// form it opens.
class QWidget;

namespace velmora {

class ConsoleHost;

// "New Service": the new-service wizard.
void OpenNewServiceWizard(ConsoleHost* host, QWidget* parent);
// "Update Service": the update form, with `serviceId` loaded when it is not 0.
void OpenUpdateServices(ConsoleHost* host, QWidget* parent, long long serviceId = 0);
// "Alarming Options".
void OpenAlarmSettings(ConsoleHost* host, QWidget* parent);
// Contacts and contact groups.
void OpenContacts(ConsoleHost* host, QWidget* parent);
void OpenContactGroups(ConsoleHost* host, QWidget* parent);
// The weekly hour grid.
void OpenScheduling(ConsoleHost* host, QWidget* parent);
// "Options"; returns true when the settings were applied.
bool OpenGeneralSettings(ConsoleHost* host, QWidget* parent);
// History and charts.
void OpenHistoryCharts(ConsoleHost* host, QWidget* parent);
// "Import Service(s)" from a CSV file or a service.xml file.
void ImportServicesCsv(ConsoleHost* host, QWidget* parent);
void ImportServicesXml(ConsoleHost* host, QWidget* parent);

} // namespace velmora
