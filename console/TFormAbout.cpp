#include "TFormAbout.h"

#include "TFormMenu.h"
#include "TFormMenuPictures.h"

#include <QLabel>
#include <QPushButton>
#include <QTextEdit>
#include <QVBoxLayout>

namespace velmora {

TFormAbout::TFormAbout(TFormMenu* menu, QWidget* parent) : QDialog(parent), menu_(menu) {
    setObjectName("TFormAbout");
    setWindowTitle("About...");
    auto* layout = new QVBoxLayout(this);
    auto* picture = new QLabel(this);
    picture->setObjectName("ImageProduct");
    picture->setPixmap(pictures::Product(420, 96));
    layout->addWidget(picture);
    auto* version = new QLabel(QStringLiteral("Version %1").arg(kConsoleVersion), this);
    version->setObjectName("LabelVersion");
    layout->addWidget(version);
    MemoNotice = new QTextEdit(this);
    MemoNotice->setObjectName("MemoNotice");
    MemoNotice->setReadOnly(true);
    MemoNotice->setPlainText(
        "Velmora Pro - network service monitor\n"
        "Copyright (c) Corvane. All rights reserved.\n\n"
        "Velmora Pro watches your network servers and the services they offer (web, mail, "
        "file transfer, name service, time, remote shell, database and management services) "
        "and alarms the people in charge by e-mail, SMS, pager, syslog and SNMP trap as soon "
        "as a service stops answering.\n\n"
        "This program is protected by copyright law. Unauthorised reproduction or "
        "distribution of this program, or any portion of it, is not permitted.\n\n"
        "For support, please write to support@velmorapro.example.");
    MemoNotice->setMinimumHeight(150);
    layout->addWidget(MemoNotice);
    TntButtonOK = new QPushButton("OK", this);
    TntButtonOK->setObjectName("TntButtonOK");
    TntButtonOK->setDefault(true);
    layout->addWidget(TntButtonOK, 0, Qt::AlignRight);
    connect(TntButtonOK, &QPushButton::clicked, this, &QDialog::accept);
    resize(460, 360);
}

void TFormAbout::done(int r) {
    QDialog::done(r);
    if (menu_ != nullptr) {
        menu_->SetMainControlsEnabled(true);
    }
}

} // namespace velmora
