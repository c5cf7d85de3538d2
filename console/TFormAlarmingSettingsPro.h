#pragma once
// "Alarming Options": the six alarm methods (alarm_method, alarm_method_extra_fields), one
// tab each, and a test of each method with the values of the form.
#include "alarms/AlarmMethodSettings.h"
#include "alarms/TrapSender.h"

#include <QDialog>

#include <memory>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QStatusBar;
class QTabWidget;
class QTreeWidget;
class QWidget;

namespace velmora {

class AlarmSender;
class ConsoleHost;

class TFormAlarmingSettingsPro : public QDialog {
    Q_OBJECT

public:
    explicit TFormAlarmingSettingsPro(ConsoleHost* host, QWidget* parent = nullptr);
    ~TFormAlarmingSettingsPro() override;

    enum Page { PageEmail = 0, PageSms = 1, PageSmsHttp = 2, PageSysLog = 3, PageSnmp = 4, PageSnpp = 5 };

    void FormShow();
    // Validates every enabled method and saves; false when a check refused or a save failed.
    bool TntButtonOKClick();
    void TntButtonCancelClick();
    // Runs the active tab's test; false when a check refused or the test failed.
    bool TntButtonTestClick();
    void TntButtonHelpClick();
    bool AddExtraField();
    void RemoveExtraField();

    // The settings as last loaded (ExtraPostFields is what the "Post" test sends).
    const AlarmMethodSettings& LoadedMethods() const { return methods_; }
    QString StatusText() const;

protected:
    void showEvent(QShowEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct MethodTab;
    void BuildEmail();
    void BuildSms();
    void BuildSmsHttp();
    void BuildSysLog();
    void BuildSnmp();
    void BuildSnpp();
    void SetDefaults();
    void FillFromRows();
    void FillExtraFields();
    void ApplyEnableLogic();
    void SnmpVersionChanged();
    void UpdateTestButton();
    // Information dialog, tab (and sub-tab) in front, focus in the field.
    void Refuse(const QString& text, QWidget* field);
    bool NotEmpty(QWidget* field, const char* name);
    bool IsNumber(QLineEdit* field, const char* name);
    bool Validate(int page);
    bool ValidateTestFields(int page);
    // Every method in turn; false when one of them could not be stored (reported).
    bool SaveMethods();
    // Runs the sender on a worker thread while the form keeps painting; returns when done.
    void RunSender(AlarmSender& sender);
    void Status(const QString& text);

    ConsoleHost* host_;
    AlarmMethodSettings methods_;
    std::unique_ptr<TrapSender> trapSender_;
    bool running_ = false;

    QTabWidget* tabs_ = nullptr;
    QCheckBox* enable_[6] = {};
    QWidget* body_[6] = {};

    // Email
    QLineEdit *emIp_, *emPort_, *emAgent_, *emFrom_, *emUser_, *emPass_, *emTimeout_, *emRead_;
    QCheckBox* emAuth_;
    QLineEdit* emTestTo_;
    QPlainTextEdit* emTestMsg_;
    // SMS
    QLineEdit *smIp_, *smPort_, *smTimeout_, *smUser_, *smPass_, *smVersion_, *smSysType_, *smTon_, *smNpi_;
    QLineEdit *smOa_, *smDestTon_, *smDestNpi_, *smOrigTon_, *smOrigNpi_;
    QCheckBox* smAuth_;
    QTabWidget* smSub_;
    QLineEdit* smTestPhone_;
    QPlainTextEdit* smTestMsg_;
    // SMS by HTTP
    QPlainTextEdit* htUrl_;
    QLineEdit *htPort_, *htTimeout_, *htRead_, *htMsisdn_, *htMessage_, *htFieldName_, *htFieldValue_;
    QLineEdit *htUser_, *htPass_, *htProxy_, *htProxyPort_, *htProxyUser_, *htProxyPass_;
    QComboBox* htMethod_;
    QCheckBox* htAuth_;
    QTabWidget* htSub_;
    QTreeWidget* htExtra_;
    QPushButton *htAdd_, *htRemove_;
    QLineEdit *htTestMsisdn_, *htTestMessage_;
    QPlainTextEdit* htResponse_;
    // SysLog
    QLineEdit *slIp_, *slPort_, *slTimeout_;
    QComboBox *slFacility_, *slSeverity_;
    QPlainTextEdit* slTestMsg_;
    // SNMP
    QLineEdit *snIp_, *snPort_, *snTrapPort_, *snEngineId_, *snLocalhost_;
    QComboBox *snVersion_, *snCommunity_;
    QLineEdit *snOid_, *snEnterprise_, *snUsername_;
    QLabel *snHint_, *snCommunityLabel_, *snEnterpriseLabel_;
    // SNPP
    QLineEdit *spIp_, *spPort_, *spTimeout_, *spRead_, *spTestPager_;
    QPlainTextEdit* spTestMsg_;

    QPushButton *help_, *test_, *ok_, *cancel_;
    QStatusBar* status_ = nullptr;
};

} // namespace velmora
