#pragma once
// Common ground of the settings forms' GUI tests: one QApplication on the offscreen platform,
// velmoradb created fresh on the private MariaDB server for each test, dialogs answered
// without a person, a main window stand-in that records what the forms asked of it, and
// screenshots under <build>/screenshots.
#include "console/ConsoleHost.h"
#include "console/Dialogs.h"

#include "foundation/InitSettings.h"
#include "store/ZUVOzedovUzivara.h"
#include "tests/support/OffscreenApp.h"
#include "tests/support/TestDatabase.h"
#include "tests/support/TestSupport.h"

#include <QApplication>
#include <QDir>
#include <QStringList>
#include <QWidget>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace velmora::test {

class RecordingHost : public ConsoleHost {
public:
    MonitorEngine* Engine() override { return nullptr; }
    void NestedFormOpened() override { calls << QStringLiteral("opened"); }
    void NestedFormClosed() override { calls << QStringLiteral("closed"); }
    void ServicesChanged() override { calls << QStringLiteral("services"); }
    void ContactsChanged() override { calls << QStringLiteral("contacts"); }
    void AlarmMethodsChanged() override { calls << QStringLiteral("methods"); }
    void ShowStatus(const QString& text) override { status << text; }
    QStringList calls, status;
};

// The texts of the dialogs shown since the last call (and forgets them).
inline QStringList TakeMessages() {
    QStringList out;
    for (const auto& m : dialogs::ShownMessages()) out << m.kind + QStringLiteral(": ") + m.text;
    dialogs::ClearShown();
    return out;
}

inline void Shot(QWidget& w, const QString& name) {
    const QString dir = QString::fromStdString(BinaryDir()) + QStringLiteral("/screenshots");
    QDir().mkpath(dir);
    QApplication::processEvents();
    ASSERT_TRUE(w.grab().save(dir + QLatin1Char('/') + name + QStringLiteral(".png"))) << name.toStdString();
}

template <typename T>
T* Child(QWidget& form, const char* name) {
    T* w = form.findChild<T*>(QString::fromLatin1(name));
    EXPECT_NE(w, nullptr) << name;
    return w;
}

class ConsoleDbTest : public ::testing::Test {
protected:
    void SetUp() override {
        OffscreenApp();
        dialogs::SetHeadless(true);
        dialogs::ClearShown();
        ASSERT_GT(ServerPort("mariadb"), 0) << "the mariadb fixture did not start";
        UseTestServer();
        admin.Open(TestServerParams());
        admin.Execute("drop database if exists velmoradb");
        Database().Close();
        ASSERT_TRUE(Database().OpenAtStart());
    }
    void TearDown() override { dialogs::ClearShown(); }

    static std::vector<std::vector<std::string>> Rows(const std::string& sql) {
        std::vector<std::vector<std::string>> out;
        for (const DbRow& r : Database().Query(sql)) {
            std::vector<std::string> row;
            for (size_t i = 0; i < r.size(); ++i) row.push_back(r.At(i));
            out.push_back(row);
        }
        return out;
    }
    static std::string One(const std::string& sql) {
        const auto r = Rows(sql);
        return r.empty() || r[0].empty() ? std::string("<none>") : r[0][0];
    }

    AppDirScope scope;
    ZUVOzedovUzivara admin;
    RecordingHost host;
};

} // namespace velmora::test
