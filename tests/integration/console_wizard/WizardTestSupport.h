#pragma once
// Common ground of the wizard and update-form tests: an offscreen QApplication, a fresh
// velmoradb on the private MariaDB server, headless dialogs, and small drivers for the pages.
#include "console/Dialogs.h"
#include "console/TFrameServiceForm.h"
#include "console/TServiceEditPages.h"

#include "store/ZUVOzedovUzivara.h"
#include "tests/support/TestSupport.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QRadioButton>
#include <QTreeWidget>
#include <QWidget>

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace velmora::test {

class ConsoleDbTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // One value of the service row with this id.
    std::string ServiceValue(long long id, const std::string& column);
    long long Count(const std::string& sqlWhereFrom);
    long long AddPerson(const std::string& name);
    long long AddGroup(const std::string& name, const std::vector<long long>& members);
    // The messages shown since the last call, joined by "|".
    std::string Shown();

    std::unique_ptr<AppDirScope> scope;
};

// Fields and controls by objectName.
template <typename T>
T* Child(QWidget* root, const QString& name) {
    T* w = root->findChild<T*>(name);
    EXPECT_NE(w, nullptr) << name.toStdString();
    return w;
}

void SetField(TServiceEditPages* pages, const QString& type, const std::string& column,
              const QString& text);
// Chooses the schedule: "Hourly" (minute), "Daily" (hour, minute), "Minutely" (interval).
void ChooseSchedule(QWidget* root, const QString& by, const QString& a, const QString& b = {});
void TickContact(TServiceEditPages* pages, const QString& name, bool tick = true);
bool ContactTicked(TServiceEditPages* pages, const QString& name);
// A screenshot into <build>/screenshots/<name>.png.
void Screenshot(QWidget* w, const QString& name);

} // namespace velmora::test
