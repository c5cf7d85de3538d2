#include "console/TFrameMySQLForm.h"

namespace velmora {

TFrameMySQLForm::TFrameMySQLForm(QWidget* parent) : TFrameServiceForm(QStringLiteral("MySQL"), parent) {
    AddText("ip", "Host", {}, "Database Host");
    AddNumber("port", "Port", "3306", "Database Port");
    AddText("database_name", "Database Name", {}, "Database Name");
    AddText("username", "Username");
    AddText("password", "Password", {}, {}, 0, true);
    Reset();
}

} // namespace velmora
