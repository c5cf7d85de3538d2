#include "console/TFrameURLForm.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>

namespace velmora {

namespace {
// Name and value of a post field are kept apart in the item's data.
constexpr int kNameRole = Qt::UserRole;
constexpr int kValueRole = Qt::UserRole + 1;
} // namespace

TFrameURLForm::TFrameURLForm(QWidget* parent) : TFrameServiceForm(QStringLiteral("URL"), parent) {
    method_ = AddComboText("url_method", "Method",
                           {"Get", "Post", "Trace", "Put", "Delete", "Head", "Options"}, "Get");
    AddText("ip", "URL", {}, "URL");
    AddNumber("port", "Port", "80", "URL Port");
    AddNumber("timeout", "Connection Timeout", "5000", "URL Connection Timeout");
    AddNumber("read_timeout", "Read Timeout", "5000", "URL Read Timeout");
    QStringList redirects;
    for (int i = 1; i <= 99; ++i) {
        redirects << QString::number(i);
    }
    AddComboText("url_max_redirect", "Max Redirect", redirects, "10");
    auth_ = AddOption("FrameURL_Authentication", "Authentication");
    QLineEdit* user = AddText("username", "Username");
    QLineEdit* pass = AddText("password", "Password", {}, {}, 0, true);
    proxy_ = AddOption("FrameURL_UseProxy", "Use Proxy Server");
    QLineEdit* pip = AddText("proxy_ip", "Proxy Server");
    QLineEdit* pport = AddNumber("proxy_port", "Proxy Port", {});
    proxyAuth_ = AddOption("FrameURL_ProxyAuth", "Proxy Authentication");
    QLineEdit* puser = AddText("proxy_username", "Proxy Username");
    QLineEdit* ppass = AddText("proxy_password", "Proxy Password", {}, {}, 0, true);
    RequireWhen("proxy_ip", "URL Proxy IP", [this] { return proxy_->isChecked(); });
    RequireWhen("proxy_port", "URL Proxy Port", [this] { return proxy_->isChecked(); });
    AddText("url_header_data", "Header Info");
    AddText("url_content_type", "Content Type", "text/html");
    AddText("url_referer", "Referer");
    AddText("url_cookie", "Cookie");
    AddText("url_user_agent", "User Agent", "Mozilla/3.0");
    AddText("url_content_version", "Content Version");
    AddText("url_content_language", "Content Language");
    AddText("url_content_encoding", "Content Encoding");
    AddText("url_accept", "Accept", "text/html, */*");
    AddText("url_accept_charSet", "Accept Charset");
    AddText("url_accept_encoding", "Accept Encoding");
    AddText("url_accept_language", "Accept Language");
    EnableWith(auth_, {user, pass});
    EnableWith(proxy_, {pip, pport, proxyAuth_});
    EnableWith(proxyAuth_, {puser, ppass});

    post_ = new QGroupBox("Post Fields", this);
    post_->setObjectName("FrameURL_PostFields");
    auto* g = new QGridLayout(post_);
    postName_ = new QLineEdit(post_);
    postName_->setObjectName("FrameURL_PostName");
    postValue_ = new QLineEdit(post_);
    postValue_->setObjectName("FrameURL_PostValue");
    auto* add = new QPushButton("Add >>", post_);
    add->setObjectName("FrameURL_PostAdd");
    postList_ = new QListWidget(post_);
    postList_->setObjectName("FrameURL_PostList");
    postList_->setMaximumHeight(70);
    postList_->setContextMenuPolicy(Qt::CustomContextMenu);
    g->addWidget(new QLabel("Name", post_), 0, 0);
    g->addWidget(postName_, 0, 1);
    g->addWidget(new QLabel("Value", post_), 0, 2);
    g->addWidget(postValue_, 0, 3);
    g->addWidget(add, 0, 4);
    g->addWidget(postList_, 1, 0, 1, 5);
    Grid()->addWidget(post_, Grid()->rowCount(), 0, 1, 4);

    connect(method_, &QComboBox::currentIndexChanged, this, [this] { MethodChanged(); });
    connect(add, &QPushButton::clicked, this, [this] {
        AddPostField();
        emit Edited();
    });
    connect(postList_, &QListWidget::itemDoubleClicked, this, [this](QListWidgetItem* item) {
        RemovePostField(item);
        emit Edited();
    });
    connect(postList_, &QListWidget::customContextMenuRequested, this, [this](const QPoint& pos) {
        QListWidgetItem* item = postList_->itemAt(pos);
        if (!item) {
            return;
        }
        QMenu menu(this);
        QAction* remove = menu.addAction("Remove");
        if (menu.exec(postList_->mapToGlobal(pos)) == remove) {
            RemovePostField(item);
            emit Edited();
        }
    });
    Reset();
}

void TFrameURLForm::MethodChanged() {
    const QString m = method_->currentText();
    post_->setEnabled(m == "Post" || m == "Put");
}

void TFrameURLForm::AddPostField() {
    if (postName_->text().isEmpty() || postValue_->text().isEmpty()) {
        return;
    }
    auto* item = new QListWidgetItem(postName_->text() + "=" + postValue_->text(), postList_);
    item->setData(kNameRole, postName_->text());
    item->setData(kValueRole, postValue_->text());
    postName_->clear();
    postValue_->clear();
    emit StatusText(QStringLiteral(
        "You can right click or double click on the below list to remove the selected record."));
}

void TFrameURLForm::RemovePostField(QListWidgetItem* item) {
    if (!item) {
        return;
    }
    postName_->setText(item->data(kNameRole).toString());
    postValue_->setText(item->data(kValueRole).toString());
    delete postList_->takeItem(postList_->row(item));
}

void TFrameURLForm::Reset() {
    TFrameServiceForm::Reset();
    postName_->clear();
    postValue_->clear();
    postList_->clear();
    MethodChanged();
}

void TFrameURLForm::Load(const ServiceRow& row) {
    auth_->setChecked(!row.Get("username").empty() || !row.Get("password").empty());
    proxy_->setChecked(!row.Get("proxy_ip").empty() && row.GetInt("proxy_port", 0) != 0);
    proxyAuth_->setChecked(!row.Get("proxy_username").empty() || !row.Get("proxy_password").empty());
    TFrameServiceForm::Load(row);
    postList_->clear();
    for (const auto& [name, value] : row.urlDetails) {
        auto* item = new QListWidgetItem(QString::fromStdString(name + "=" + value), postList_);
        item->setData(kNameRole, QString::fromStdString(name));
        item->setData(kValueRole, QString::fromStdString(value));
    }
    MethodChanged();
}

void TFrameURLForm::Store(ServiceRow& row) const {
    TFrameServiceForm::Store(row);
    if (!auth_->isChecked()) {
        row.Set("username", "");
        row.Set("password", "");
    }
    if (!proxy_->isChecked()) {
        for (const char* c : {"proxy_ip", "proxy_username", "proxy_password"}) {
            row.Set(c, "");
        }
        row.Set("proxy_port", "0");
    } else if (!proxyAuth_->isChecked()) {
        row.Set("proxy_username", "");
        row.Set("proxy_password", "");
    }
    row.urlDetails.clear();
    for (int i = 0; i < postList_->count(); ++i) {
        const QListWidgetItem* item = postList_->item(i);
        row.urlDetails.emplace_back(item->data(kNameRole).toString().toStdString(),
                                    item->data(kValueRole).toString().toStdString());
    }
}

} // namespace velmora
