#include "console/TFrameServiceForm.h"

#include "store/ValueTables.h"

#include <QGridLayout>
#include <QLabel>
#include <QVBoxLayout>

#include <algorithm>

namespace velmora {

bool ParseInteger(const QString& text, long long* value) {
    bool ok = false;
    const long long v = text.trimmed().toLongLong(&ok);
    if (ok && value) {
        *value = v;
    }
    return ok;
}

std::string IntegerText(const QString& text) {
    long long v = 0;
    return std::to_string(ParseInteger(text, &v) ? v : 0);
}

TFrameServiceForm::TFrameServiceForm(const QString& type, QWidget* parent)
    : QWidget(parent), type_(type) {
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(4, 4, 4, 4);
    grid_ = new QGridLayout;
    outer->addLayout(grid_);
    outer->addStretch(1);
    grid_->setHorizontalSpacing(8);
    grid_->setVerticalSpacing(4);
    grid_->setColumnStretch(1, 1);
    grid_->setColumnStretch(3, 1);
}

void TFrameServiceForm::AddRowWidget(const QString& caption, QWidget* w) {
    // Two fields side by side per line, so the longest frame fits the page.
    const int line = row_ / 2;
    const int col = (row_ % 2) * 2;
    ++row_;
    if (!caption.isEmpty()) {
        auto* label = new QLabel(caption, this);
        label->setBuddy(w);
        grid_->addWidget(label, line, col);
        captions_[w] = label;
        grid_->addWidget(w, line, col + 1);
    } else {
        grid_->addWidget(w, line, col, 1, 2);
    }
}

void TFrameServiceForm::Hook(QWidget* w) {
    if (auto* e = qobject_cast<QLineEdit*>(w)) {
        connect(e, &QLineEdit::textEdited, this, &TFrameServiceForm::Edited);
    } else if (auto* c = qobject_cast<QComboBox*>(w)) {
        connect(c, &QComboBox::activated, this, &TFrameServiceForm::Edited);
    } else if (auto* b = qobject_cast<QCheckBox*>(w)) {
        connect(b, &QCheckBox::clicked, this, &TFrameServiceForm::Edited);
    }
}

static QString ObjectNameFor(const QString& type, const std::string& column) {
    QString t = type;
    t.remove(' ');
    return "Frame" + t + "_" + QString::fromStdString(column);
}

QLineEdit* TFrameServiceForm::AddText(const std::string& column, const QString& caption,
                                      const QString& def, const QString& required, int maxLength,
                                      bool password) {
    auto* e = new QLineEdit(this);
    e->setObjectName(ObjectNameFor(type_, column));
    if (maxLength > 0) {
        e->setMaxLength(maxLength);
    }
    if (password) {
        e->setEchoMode(QLineEdit::Password);
    }
    AddRowWidget(caption, e);
    Hook(e);
    Field f;
    f.column = column;
    f.kind = Kind::Text;
    f.widget = e;
    f.defaultText = def;
    f.required = required;
    fields_.push_back(f);
    return e;
}

QLineEdit* TFrameServiceForm::AddNumber(const std::string& column, const QString& caption,
                                        const QString& def, const QString& required) {
    QLineEdit* e = AddText(column, caption, def, required);
    fields_.back().kind = Kind::Number;
    return e;
}

QComboBox* TFrameServiceForm::AddComboText(const std::string& column, const QString& caption,
                                           const QStringList& items, const QString& def) {
    auto* c = new QComboBox(this);
    c->setObjectName(ObjectNameFor(type_, column));
    c->addItems(items);
    AddRowWidget(caption, c);
    Hook(c);
    Field f;
    f.column = column;
    f.kind = Kind::ComboText;
    f.widget = c;
    f.defaultText = def;
    fields_.push_back(f);
    return c;
}

QComboBox* TFrameServiceForm::AddComboIndex(const std::string& column, const QString& caption,
                                            const QStringList& items, int def) {
    QComboBox* c = AddComboText(column, caption, items, {});
    fields_.back().kind = Kind::ComboIndex;
    fields_.back().defaultIndex = def;
    return c;
}

QComboBox* TFrameServiceForm::AddAuthCombo(const QString& caption, const QStringList& items,
                                           const QString& def) {
    QComboBox* c = AddComboText("auth_type", caption, items, def);
    fields_.back().kind = Kind::AuthLabel;
    return c;
}

QCheckBox* TFrameServiceForm::AddCheck(const std::string& column, const QString& caption,
                                       bool def) {
    auto* b = new QCheckBox(caption, this);
    b->setObjectName(ObjectNameFor(type_, column));
    AddRowWidget({}, b);
    Hook(b);
    Field f;
    f.column = column;
    f.kind = Kind::Check;
    f.widget = b;
    f.defaultIndex = def ? 1 : 0;
    fields_.push_back(f);
    return b;
}

QCheckBox* TFrameServiceForm::AddOption(const QString& objectName, const QString& caption) {
    auto* b = new QCheckBox(caption, this);
    b->setObjectName(objectName);
    AddRowWidget({}, b);
    Hook(b);
    return b;
}

void TFrameServiceForm::AddHint(const QString& text) {
    if (row_ % 2) {
        ++row_;
    }
    auto* l = new QLabel(text, this);
    l->setWordWrap(true);
    l->setStyleSheet("color: #555;");
    grid_->addWidget(l, row_ / 2, 0, 1, 4);
    row_ += 2;
}

void TFrameServiceForm::RequireWhen(const std::string& column, const QString& label,
                                    std::function<bool()> when) {
    if (Field* f = FindField(column)) {
        f->required = label;
        f->requiredWhen = std::move(when);
    }
}

void TFrameServiceForm::EnableWith(QCheckBox* box, const std::vector<QWidget*>& widgets) {
    enables_.push_back({box, widgets});
    connect(box, &QCheckBox::toggled, this, [this] { RefreshEnables(); });
    RefreshEnables();
}

void TFrameServiceForm::RefreshEnables() {
    // In order, so a box inside a disabled group stays off as well.
    for (auto& [box, widgets] : enables_) {
        const bool on = box->isEnabled() && box->isChecked();
        for (QWidget* w : widgets) {
            w->setEnabled(on);
            if (auto it = captions_.find(w); it != captions_.end()) {
                it->second->setEnabled(on);
            }
        }
    }
}

TFrameServiceForm::Field* TFrameServiceForm::FindField(const std::string& column) {
    for (Field& f : fields_) {
        if (f.column == column) {
            return &f;
        }
    }
    return nullptr;
}

const TFrameServiceForm::Field* TFrameServiceForm::FindField(const std::string& column) const {
    return const_cast<TFrameServiceForm*>(this)->FindField(column);
}

QWidget* TFrameServiceForm::FieldWidget(const std::string& column) const {
    const Field* f = FindField(column);
    return f ? f->widget : nullptr;
}

QString TFrameServiceForm::FieldText(const std::string& column) const {
    const Field* f = FindField(column);
    if (!f) {
        return {};
    }
    if (auto* e = qobject_cast<QLineEdit*>(f->widget)) {
        return e->text();
    }
    if (auto* c = qobject_cast<QComboBox*>(f->widget)) {
        return c->currentText();
    }
    return {};
}

void TFrameServiceForm::SetFieldText(const std::string& column, const QString& text) {
    if (Field* f = FindField(column)) {
        if (auto* e = qobject_cast<QLineEdit*>(f->widget)) {
            e->setText(text);
        }
    }
}

void TFrameServiceForm::Reset() {
    for (Field& f : fields_) {
        switch (f.kind) {
        case Kind::Text:
        case Kind::Number:
            static_cast<QLineEdit*>(f.widget)->setText(f.defaultText);
            break;
        case Kind::ComboText:
        case Kind::AuthLabel: {
            auto* c = static_cast<QComboBox*>(f.widget);
            const int i = c->findText(f.defaultText);
            c->setCurrentIndex(i < 0 ? 0 : i);
            break;
        }
        case Kind::ComboIndex:
            static_cast<QComboBox*>(f.widget)->setCurrentIndex(f.defaultIndex);
            break;
        case Kind::Check:
            static_cast<QCheckBox*>(f.widget)->setChecked(f.defaultIndex != 0);
            break;
        }
    }
    for (auto& [box, widgets] : enables_) {
        bool isColumn = false;
        for (const Field& f : fields_) {
            isColumn = isColumn || f.widget == box;
        }
        if (!isColumn) {
            box->setChecked(false);
        }
    }
    RefreshEnables();
}

void TFrameServiceForm::Load(const ServiceRow& row) {
    for (Field& f : fields_) {
        const QString v = QString::fromStdString(row.Get(f.column));
        switch (f.kind) {
        case Kind::Text:
            static_cast<QLineEdit*>(f.widget)->setText(v);
            break;
        case Kind::Number:
            static_cast<QLineEdit*>(f.widget)->setText(v == "0" ? QString() : v);
            break;
        case Kind::ComboText: {
            auto* c = static_cast<QComboBox*>(f.widget);
            const int i = c->findText(v);
            if (i >= 0) {
                c->setCurrentIndex(i);
            }
            break;
        }
        case Kind::AuthLabel: {
            auto* c = static_cast<QComboBox*>(f.widget);
            const int i = c->findText(QString::fromStdString(
                AuthTypeLabel(type_.toStdString(), row.GetInt("auth_type", 0))));
            if (i >= 0) {
                c->setCurrentIndex(i);
            }
            break;
        }
        case Kind::ComboIndex: {
            auto* c = static_cast<QComboBox*>(f.widget);
            const long long i = row.GetInt(f.column, 0);
            c->setCurrentIndex(i >= 0 && i < c->count() ? static_cast<int>(i) : 0);
            break;
        }
        case Kind::Check:
            static_cast<QCheckBox*>(f.widget)->setChecked(row.GetInt(f.column, 0) != 0);
            break;
        }
    }
    RefreshEnables();
}

void TFrameServiceForm::Store(ServiceRow& row) const {
    for (const Field& f : fields_) {
        switch (f.kind) {
        case Kind::Text:
            row.Set(f.column, static_cast<QLineEdit*>(f.widget)->text().toStdString());
            break;
        case Kind::Number:
            row.Set(f.column, IntegerText(static_cast<QLineEdit*>(f.widget)->text()));
            break;
        case Kind::ComboText:
            row.Set(f.column, static_cast<QComboBox*>(f.widget)->currentText().toStdString());
            break;
        case Kind::AuthLabel:
            row.Set(f.column, std::to_string(AuthTypeFromLabel(
                                  type_.toStdString(),
                                  static_cast<QComboBox*>(f.widget)->currentText().toStdString())));
            break;
        case Kind::ComboIndex:
            row.Set(f.column,
                    std::to_string(std::max(0, static_cast<QComboBox*>(f.widget)->currentIndex())));
            break;
        case Kind::Check:
            row.Set(f.column, static_cast<QCheckBox*>(f.widget)->isChecked() ? "1" : "0");
            break;
        }
    }
    for (const auto& [column, value] : fixed_) {
        row.Set(column, value);
    }
}

std::vector<std::string> TFrameServiceForm::Columns() const {
    std::vector<std::string> out;
    for (const Field& f : fields_) {
        out.push_back(f.column);
    }
    for (const auto& kv : fixed_) {
        out.push_back(kv.first);
    }
    return out;
}

QString TFrameServiceForm::Validate(QWidget** focus) const {
    for (const Field& f : fields_) {
        if (f.required.isEmpty() || (f.requiredWhen && !f.requiredWhen())) {
            continue;
        }
        const QString text = static_cast<QLineEdit*>(f.widget)->text();
        if (f.kind == Kind::Text && text.isEmpty()) {
            if (focus) {
                *focus = f.widget;
            }
            return f.required + " field is empty.";
        }
        long long v = 0;
        if (f.kind == Kind::Number && (!ParseInteger(text, &v) || v == 0)) {
            if (focus) {
                *focus = f.widget;
            }
            return f.required + " is invalid integer, zero or empty.";
        }
    }
    return {};
}

QString TFrameServiceForm::HostText() const { return FieldText("ip"); }
QString TFrameServiceForm::PortText() const { return FieldText("port"); }

} // namespace velmora
