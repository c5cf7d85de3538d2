#pragma once
// The pages that the new-service wizard and the update form share: schedule, service type
// with its parameter frames, TLS settings, alarm methods and contacts. Both forms put these
// widgets into their own page layout and read one ServiceRow back from them.
#include "store/ServiceRow.h"

#include <QObject>
#include <QString>
#include <QStringList>

#include <string>
#include <utility>
#include <vector>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QStackedWidget;
class QTabWidget;
class QTreeWidget;
class QWidget;

namespace velmora {

class TFrameServiceForm;

class TServiceEditPages : public QObject {
    Q_OBJECT

public:
    // `hourlyFirst`: the wizard lists "By Hourly" first, the update form "By Daily".
    TServiceEditPages(QWidget* owner, bool hourlyFirst);

    QWidget* SchedulePage() const { return schedulePage_; }
    QWidget* ServicePage() const { return servicePage_; }
    QWidget* SslPage() const { return sslPage_; }
    QWidget* AlarmPage() const { return alarmPage_; }
    QWidget* ContactPage() const { return contactPage_; }

    // Every field to its initial value. The contact list is not touched (ReloadContacts).
    void Reset();
    // The contact persons, then the groups, unchecked. Throws DatabaseError.
    void ReloadContacts();
    // Ticks the persons whose names are listed (groups are never ticked here).
    void CheckPersons(const QStringList& names);
    // Fills every page from a stored row (the inverse of Collect).
    void Load(const ServiceRow& row);

    // The chosen type and its frame.
    QString ServiceType() const;
    TFrameServiceForm* CurrentFrame() const;
    TFrameServiceForm* Frame(const QString& type) const;
    void SelectType(const QString& type);
    // Whether the type has a TLS variant.
    static bool TypeHasTls(const QString& type);

    // Validation; each returns the message of the first problem or an empty text.
    QString ValidateSchedule() const;
    QString ValidateService(QWidget** focus) const;
    // True when a method that needs contacts is ticked and no line of the contact list is.
    bool MissingContacts() const;

    // The whole row as the forms store it (every column the pages own; reset_to_zero from
    // the hidden list). The URL host is stored lower case without its scheme.
    ServiceRow Collect() const;
    // The columns an update writes for the chosen type: the shared ones, the type's own,
    // the alarm and the TLS columns.
    std::vector<std::string> UpdateColumns() const;
    // The ticked lines of the contact list in list order: (is group, name).
    std::vector<std::pair<bool, std::string>> CheckedContacts() const;
    // The TLS settings as the check builders read them from a row, for a test run.
    bool SslEnabled() const;

    // Controls the forms reach directly.
    QComboBox* TypeList() const { return typeList_; }
    QTreeWidget* ContactList() const { return contacts_; }
    QLabel* SslHeading() const { return sslHeading_; }
    QPushButton* ConfigAlarmButton() const { return configAlarm_; }

signals:
    // The user entered something on one of the pages.
    void Edited();
    void StatusText(const QString& text);
    // The user chose a type in the type list.
    void TypeChosen(const QString& type);
    // "New Contact" (menu or double click on the contact list).
    void NewContactRequested();
    void ConfigAlarmRequested();

private:
    void BuildSchedule(bool hourlyFirst);
    void BuildService();
    void BuildSsl();
    void BuildAlarm();
    void BuildContacts();
    void ScheduleChanged();
    void TypeChanged();
    void SslEnableChanged();
    void AlarmTabsChanged();
    void SnmpVersionChanged();
    void BrowseFile(QLineEdit* edit, const QString& what);
    void HookEdits(QWidget* page);

    QWidget* owner_;
    QWidget* schedulePage_ = nullptr;
    QWidget* servicePage_ = nullptr;
    QWidget* sslPage_ = nullptr;
    QWidget* alarmPage_ = nullptr;
    QWidget* contactPage_ = nullptr;

    // schedule
    QRadioButton* byHourly_ = nullptr;
    QRadioButton* byDaily_ = nullptr;
    QRadioButton* byMinutely_ = nullptr;
    QComboBox* hourlyMinute_ = nullptr;
    QComboBox* dailyHour_ = nullptr;
    QComboBox* dailyMinute_ = nullptr;
    QComboBox* minutely_ = nullptr;
    QWidget* hourlyBox_ = nullptr;
    QWidget* dailyBox_ = nullptr;
    QWidget* minutelyBox_ = nullptr;
    QComboBox* status_ = nullptr;
    QLineEdit* title_ = nullptr;

    // service
    QComboBox* typeList_ = nullptr;
    QStackedWidget* frames_ = nullptr;
    std::vector<TFrameServiceForm*> frameList_;

    // TLS
    QLabel* sslHeading_ = nullptr;
    QCheckBox* sslEnable_ = nullptr;
    QComboBox* sslMethod_ = nullptr;
    QComboBox* sslMode_ = nullptr;
    QTabWidget* sslTabs_ = nullptr;
    QLineEdit* sslCert_ = nullptr;
    QLineEdit* sslKey_ = nullptr;
    QLineEdit* sslRoot_ = nullptr;
    QCheckBox* sslPeer_ = nullptr;
    QCheckBox* sslFail_ = nullptr;
    QCheckBox* sslOnce_ = nullptr;
    QLineEdit* sslDepth_ = nullptr;
    QLineEdit* sslDirs_ = nullptr;
    QLineEdit* sslCipher_ = nullptr;
    QWidget* sslControls_ = nullptr;

    // alarm
    QTabWidget* alarmTabs_ = nullptr;
    std::vector<QCheckBox*> failure_;   // Email, SMS, SMS by HTTP, SysLog, SNMP, SNPP
    std::vector<QCheckBox*> recovery_;
    QComboBox* consErrors_ = nullptr;
    QComboBox* keepOnSending_ = nullptr;
    QComboBox* resetTo_ = nullptr;
    QComboBox* snmpVersion_ = nullptr;
    QLineEdit* snmpOid_ = nullptr;
    QComboBox* snmpCommunity_ = nullptr;  // editable; "Username" for version 3
    QLineEdit* snmpEnterprise_ = nullptr; // "Password" for version 3
    QLabel* snmpCommunityLabel_ = nullptr;
    QLabel* snmpEnterpriseLabel_ = nullptr;
    QLabel* snmpHint_ = nullptr;
    QComboBox* facility_ = nullptr;
    QComboBox* severity_ = nullptr;
    QPushButton* configAlarm_ = nullptr;

    // contacts
    QTreeWidget* contacts_ = nullptr;
};

} // namespace velmora
