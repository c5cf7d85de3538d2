#pragma once
// Common set-up of the history window and import tests: a QApplication on the offscreen
// platform, settings pointing at the private MariaDB server, a fresh velmoradb opened by
// the program's data module, and dialogs answered from queues.
#include "console/ConsoleHost.h"
#include "console/Dialogs.h"

#include "foundation/InitSettings.h"
#include "foundation/Program.h"
#include "store/ZUVOzedovUzivara.h"
#include "tests/support/OffscreenApp.h"
#include "tests/support/TestDatabase.h"
#include "tests/support/TestSupport.h"

#include <QApplication>
#include <QDir>
#include <QWidget>

#include <gtest/gtest.h>

#include <string>

namespace velmora::test {

// What a form asked of the main window.
struct StubHost : ConsoleHost {
    MonitorEngine* Engine() override { return nullptr; }
    void NestedFormOpened() override { ++opened; }
    void NestedFormClosed() override { ++closed; }
    void ServicesChanged() override { ++servicesChanged; }
    void ContactsChanged() override {}
    void AlarmMethodsChanged() override {}
    void ShowStatus(const QString& text) override { status = text; }
    int opened = 0, closed = 0, servicesChanged = 0;
    QString status;
};

class ConsoleDbTest : public ::testing::Test {
protected:
    void SetUp() override {
        OffscreenApp();
        ASSERT_GT(ServerPort("mariadb"), 0) << "the mariadb fixture did not start";
        UseTestServer();
        // The console's dialog hooks, as its main installs them, into the test's record.
        Program().variant = ProgramVariant::Console;
        Program().showError = [](const std::string& t) { dialogs::Error(nullptr, QString::fromStdString(t)); };
        Program().showWarning = [](const std::string& t) { dialogs::Warning(nullptr, QString::fromStdString(t)); };
        dialogs::SetHeadless(true);
        dialogs::ClearShown();
        DropProgramDatabase();
        Database().Close();
        ASSERT_TRUE(Database().OpenAtStart());
    }
    void TearDown() override {
        Database().Close();
        dialogs::ClearShown();
    }

    // Adds a service and returns its id.
    long long AddService(const std::string& type, const std::string& ip, int port) {
        ZUVOzedovUzivara& db = Database();
        db.Execute("insert into service (service, ip, port, title) values (" + db.Quote(type) + "," +
                   db.Quote(ip) + "," + std::to_string(port) + ",\"t\")");
        return static_cast<long long>(db.LastInsertId());
    }

    static std::string ScreenshotDir() {
        const std::string dir = BinaryDir() + "/screenshots";
        QDir().mkpath(QString::fromStdString(dir));
        return dir;
    }

    static std::string LastShown(const char* kind) {
        std::string text;
        for (const auto& m : dialogs::ShownMessages()) {
            if (m.kind == kind) {
                text = m.text.toStdString();
            }
        }
        return text;
    }

    AppDirScope scope;
};

} // namespace velmora::test
