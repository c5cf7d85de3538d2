#pragma once
// The common part of the per-type parameter frames that the new-service wizard and the
// update form embed: a grid of labelled fields, each bound to a `service` column, with its
// default, its required label and the rule that enables it. A frame fills a ServiceRow from
// its fields (Store), fills its fields from a row (Load), and checks its required fields in
// order (Validate).
#include "store/ServiceRow.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QString>
#include <QStringList>
#include <QWidget>

#include <functional>
#include <map>
#include <string>
#include <vector>

class QGridLayout;

namespace velmora {

class TFrameServiceForm : public QWidget {
    Q_OBJECT

public:
    TFrameServiceForm(const QString& type, QWidget* parent = nullptr);

    const QString& Type() const { return type_; }

    // Every field back to its default, dependent fields enabled by their boxes.
    virtual void Reset();
    // The fields from a stored row; a stored number "0" shows as an empty field.
    virtual void Load(const ServiceRow& row);
    // The fields into the row (the columns of Columns()).
    virtual void Store(ServiceRow& row) const;
    // The first problem of the required fields in order: the message, and the field to focus
    // in *focus. Empty when every required field is good.
    virtual QString Validate(QWidget** focus) const;
    // The columns Store writes.
    std::vector<std::string> Columns() const;

    // What the wizard's Step 4 shows: the host (or URL, or computer name), and the caption
    // and value of the port line.
    virtual QString HostText() const;
    virtual QString PortCaption() const { return QStringLiteral("Port : "); }
    virtual QString PortText() const;
    // Whether an empty port is worth a "Please input valid port." note.
    virtual bool NeedsPort() const { return true; }

    // The widget of a field by its column (nullptr when the frame has none).
    QWidget* FieldWidget(const std::string& column) const;

signals:
    // The user entered something in one of the fields.
    void Edited();
    // A text for the status bar.
    void StatusText(const QString& text);

protected:
    enum class Kind { Text, Number, ComboText, ComboIndex, Check, AuthLabel };
    struct Field {
        std::string column;
        Kind kind = Kind::Text;
        QWidget* widget = nullptr;
        QString defaultText;     // Text/Number default, ComboText default entry
        int defaultIndex = 0;    // ComboIndex default, Check default (0/1)
        QString required;        // label for the messages; empty when optional
        std::function<bool()> requiredWhen;  // required only while this holds
    };

    // Field builders; each adds a row "caption field" to the frame's grid.
    QLineEdit* AddText(const std::string& column, const QString& caption, const QString& def = {},
                       const QString& required = {}, int maxLength = 0, bool password = false);
    QLineEdit* AddNumber(const std::string& column, const QString& caption, const QString& def,
                         const QString& required = {});
    QComboBox* AddComboText(const std::string& column, const QString& caption,
                            const QStringList& items, const QString& def);
    QComboBox* AddComboIndex(const std::string& column, const QString& caption,
                             const QStringList& items, int def = 0);
    // `auth_type` shown by its words for this type (first word 1, other 0).
    QComboBox* AddAuthCombo(const QString& caption, const QStringList& items, const QString& def);
    QCheckBox* AddCheck(const std::string& column, const QString& caption, bool def = false);
    // A check box that is not a column (enables other fields).
    QCheckBox* AddOption(const QString& objectName, const QString& caption);
    // A hint line under the fields.
    void AddHint(const QString& text);
    // A column written with a fixed value.
    void SetFixed(const std::string& column, const std::string& value) { fixed_[column] = value; }
    // The last added field becomes required with `label` while `when` holds.
    void RequireWhen(const std::string& column, const QString& label, std::function<bool()> when);
    // `box` enables `widgets` (and their captions).
    void EnableWith(QCheckBox* box, const std::vector<QWidget*>& widgets);
    void RefreshEnables();
    Field* FindField(const std::string& column);
    const Field* FindField(const std::string& column) const;
    QString FieldText(const std::string& column) const;
    void SetFieldText(const std::string& column, const QString& text);
    void AddRowWidget(const QString& caption, QWidget* w);
    QGridLayout* Grid() const { return grid_; }

    std::vector<Field> fields_;

private:
    void Hook(QWidget* w);

    QString type_;
    QGridLayout* grid_ = nullptr;
    int row_ = 0;
    std::map<std::string, std::string> fixed_;
    std::vector<std::pair<QCheckBox*, std::vector<QWidget*>>> enables_;
    std::map<QWidget*, QWidget*> captions_;
};

// Whether a text is a whole number (blanks around allowed); *value gets it.
bool ParseInteger(const QString& text, long long* value = nullptr);
// The integer value as text, "0" when the text is not a whole number.
std::string IntegerText(const QString& text);

} // namespace velmora
